#include "ui/QtPrintSurface.h"

#include <QFile>
#include <QFontMetrics>
#include <QPrinterInfo>

#include "platform/Errors.h"
#include "ui/Fonts.h"

namespace qor {

QtPrintSurface::QtPrintSurface(const QString& pdfPath) : pdfPath_(pdfPath) {}

bool QtPrintSurface::HasDefaultPrinter() {
  return !QPrinterInfo::defaultPrinter().isNull();
}

void QtPrintSurface::SetLandscape(bool landscape) {
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void QtPrintSurface::SetJobTitle(const std::string& title) {
  printer_.setDocName(QString::fromStdString(title));
}

void QtPrintSurface::BeginJob() {
  if (pdfPath_.isEmpty()) {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) throw EInOutError("Aucune imprimante par défaut n'est installée.");
    printer_.setPrinterName(printer.printerName());
  } else {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(pdfPath_);
  }
  if (!painter_.begin(&printer_)) {
    throw EInOutError(pdfPath_.isEmpty()
                          ? "L'imprimante par défaut refuse l'impression."
                          : "Je ne peux pas écrire le fichier \"" + pdfPath_.toStdString() + "\".");
  }
  page_ = 1;
}

void QtPrintSurface::NewPage() {
  printer_.newPage();
  ++page_;
}

void QtPrintSurface::EndJob() {
  painter_.end();
}

void QtPrintSurface::AbortJob() {
  printer_.abort();
  painter_.end();
  // A PDF cut short is no listing: nothing of it stays.
  if (!pdfPath_.isEmpty()) QFile::remove(pdfPath_);
}

int QtPrintSurface::PageWidth() {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
}

int QtPrintSurface::PageHeight() {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

void QtPrintSurface::SetFont(const FontSpec& font) {
  // The listing's fixed-pitch font is the tree's, which draws every character of its numbers.
  font_ = font.name == "Courier New" ? FixedPitchFont(font.size)
                                     : QFont(QString::fromStdString(font.name), font.size);
  font_.setPointSize(font.size);
  font_.setBold(font.bold);
  font_.setItalic(font.italic);
  font_.setUnderline(font.underline);
  font_.setStrikeOut(font.strikeOut);
  painter_.setFont(font_);
}

void QtPrintSurface::SetBrushColor(std::uint32_t rgb) {
  brush_ = QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

void QtPrintSurface::TextOut(int x, int y, const std::string& text) {
  painter_.setBackgroundMode(Qt::OpaqueMode);
  painter_.setBackground(brush_);
  painter_.setPen(Qt::black);
  painter_.drawText(x, y + QFontMetrics(font_, &printer_).ascent(), QString::fromStdString(text));
}

int QtPrintSurface::TextWidth(const std::string& text) {
  return QFontMetrics(font_, &printer_).horizontalAdvance(QString::fromStdString(text));
}

int QtPrintSurface::TextHeight(const std::string&) {
  return QFontMetrics(font_, &printer_).height();
}

void QtPrintSurface::Line(int x1, int y1, int x2, int y2) {
  painter_.setPen(QPen(Qt::black, 1));
  painter_.drawLine(x1, y1, x2, y2);
}

}  // namespace qor

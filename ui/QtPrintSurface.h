#pragma once
// The print document's pages on the default printer, or in a PDF file, through QtPrintSupport.

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include "print/PrintSurface.h"
#include "workflow/FrontEnd.h"

namespace qor {

class QtPrintSurface : public PrintSurface {
 public:
  // The default printer; with a path, a PDF file instead.
  explicit QtPrintSurface(const QString& pdfPath = QString());
  static bool HasDefaultPrinter();

  void SetLandscape(bool landscape) override;
  void SetJobTitle(const std::string& title) override;
  void BeginJob() override;
  void NewPage() override;
  void EndJob() override;
  void AbortJob() override;
  int PageWidth() override;
  int PageHeight() override;
  int PageNumber() override { return page_; }
  void SetFont(const FontSpec& font) override;
  void SetBrushColor(std::uint32_t rgb) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void Line(int x1, int y1, int x2, int y2) override;

 private:
  QString pdfPath_;
  QPrinter printer_{QPrinter::HighResolution};
  QPainter painter_;
  QFont font_;
  QColor brush_ = Qt::white;
  int page_ = 0;
};

// The printer as the workflow asks for it.
class QtPrintTarget : public PrintTarget {
 public:
  bool HasDefaultPrinter() override { return QtPrintSurface::HasDefaultPrinter(); }
  std::unique_ptr<PrintSurface> Surface(const std::string& pdfPath) override {
    return std::make_unique<QtPrintSurface>(QString::fromStdString(pdfPath));
  }
};

}  // namespace qor

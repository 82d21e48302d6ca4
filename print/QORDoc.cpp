#include "print/QORDoc.h"

#include "lang/Tr.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "text/Trim.h"
#include "util/Color.h"
#include "util/DateFormat.h"
#include "util/FitText.h"
#include "util/ProgramTitle.h"
#include "util/TextFields.h"

namespace qor {

namespace {

// The local date and time as days since 30 December 1899.
double Now() {
  const platform::LocalTime local = platform::LocalNow();
  // Days from the civil date, counted from 1 March of year 0 so that leap days fall last.
  const int y = local.year - (local.month <= 2 ? 1 : 0);
  const int m = local.month;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + local.day - 1;
  const long days =
      era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 693899;  // from 30 December 1899
  return static_cast<double>(days) +
         (local.hour * 3600 + local.minute * 60 + local.second) / 86400.0;
}

// The number of characters of a UTF-8 text.
int Characters(const std::string& text) {
  int n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

TQORDoc::TQORDoc() : clock_(Now) {}

TQORDoc::~TQORDoc() {
  try {
    EndPrint();
  } catch (...) {
    // A job that cannot be handed over at the end of the program has nobody left to tell.
  }
}

void TQORDoc::SetSurface(std::unique_ptr<PrintSurface> surface) {
  surface_ = std::move(surface);
}
void TQORDoc::SetClock(std::function<double()> clock) {
  clock_ = std::move(clock);
}

void TQORDoc::Setup(const std::string& title, const std::string& subtitle, Orientation orientation,
                    const FontSpec& bodyFont, int leftMargin, int rightMargin, int bottomMargin) {
  EndPrint();
  title_ = title;
  subtitle_ = subtitle;
  orientation_ = orientation;
  body_ = bodyFont;
  leftMargin_ = leftMargin;
  rightMargin_ = rightMargin;
  bottomMargin_ = bottomMargin;
}

bool TQORDoc::ForgetJob() {
  const bool wasPrinting = printing_;
  printing_ = false;
  title_.clear();
  subtitle_.clear();
  body_ = FontSpec{};
  orientation_ = Orientation::Portrait;
  leftMargin_ = rightMargin_ = bottomMargin_ = 0;
  return wasPrinting;
}

void TQORDoc::EndPrint() {
  if (ForgetJob()) surface_->EndJob();
}

int TQORDoc::LineHeight() {
  return surface_->TextHeight("H");
}

void TQORDoc::BodyFont(bool withStyle) {
  FontSpec font = body_;
  if (!withStyle) font.bold = font.italic = font.underline = font.strikeOut = false;
  surface_->SetFont(font);
}

void TQORDoc::BeginPrint() {
  if (!surface_) throw EInOutError(Tr("Aucune imprimante n'est choisie pour imprimer."));
  surface_->SetLandscape(orientation_ == Orientation::Landscape);
  surface_->SetJobTitle(ProgramTitle(4));
  surface_->BeginJob();
  BodyFont(true);
  x_ = 0;
  y_ = 0;
  printing_ = true;
  BeginPage(true);
}

int TQORDoc::BeginPage(bool first) {
  if (!first) surface_->NewPage();
  x_ = 0;
  y_ = 20;
  surface_->SetFont(FontSpec{"Arial", 8});
  surface_->TextOut(0, 20, ProgramTitle(4) + " " + DateTimeStr(true, false, false, clock_()));
  const std::string page = Tr("Page %1", {std::to_string(surface_->PageNumber())});
  x_ = surface_->PageWidth() - surface_->TextWidth(page + "   ");
  surface_->TextOut(x_, 20, page);
  y_ += 2 * LineHeight();

  surface_->SetFont(FontSpec{"Arial", 12, true});
  std::string rest = title_;
  while (!rest.empty()) {
    std::string found;
    const std::string line(Trim(CutFieldAny(rest, {"\t", "\r\n"}, found)));
    x_ = (surface_->PageWidth() - leftMargin_ - rightMargin_ - surface_->TextWidth(line)) / 2;
    surface_->TextOut(x_, y_, line);
    y_ += LineHeight();
    if (found == "\r\n") {
      y_ += LineHeight() / 4;
      BodyFont(false);
    }
  }
  BodyFont(false);
  y_ += LineHeight();
  x_ = leftMargin_;
  if (!subtitle_.empty()) {
    leftMargin_ = (surface_->PageWidth() - surface_->TextWidth(subtitle_)) / 2;
    rightMargin_ = leftMargin_;
    x_ = leftMargin_;
    surface_->TextOut(x_, y_, subtitle_);
    y_ += LineHeight();
    DrawRule(false, 0, Characters(subtitle_));
    y_ += LineHeight();
  }
  BodyFont(true);
  return surface_->PageNumber();
}

void TQORDoc::PrintText(const std::string& text, bool newLine, std::uint32_t backColor) {
  if (!printing_) BeginPrint();
  const std::string t(Trim(text));
  const bool rule = !t.empty() && (t.find_first_not_of('-') == std::string::npos ||
                                   t.find_first_not_of('=') == std::string::npos);
  if (rule) {
    const int blanks = static_cast<int>(text.find_first_not_of(' '));
    DrawRule(t[0] == '=', blanks, blanks + Characters(t));
    return;
  }
  surface_->SetBrushColor(backColor);
  surface_->TextOut(x_, y_, text);
  surface_->SetBrushColor(kWhite);
  if (newLine) {
    x_ = leftMargin_;
    y_ += LineHeight();
    if (y_ + LineHeight() + bottomMargin_ >= surface_->PageHeight()) BeginPage(false);
  } else {
    x_ += surface_->TextWidth(text);
  }
}

void TQORDoc::DrawRule(bool isDouble, int fromCol, int toCol) {
  const int x1 = leftMargin_ + (fromCol != 0 ? surface_->TextWidth(RepeatStr("W", fromCol)) : 0);
  const int x2 = toCol != 0 ? leftMargin_ + surface_->TextWidth(RepeatStr("W", toCol))
                            : surface_->PageWidth() - rightMargin_;
  if (x1 >= x2) return;
  const int h = LineHeight();
  if (isDouble) {
    y_ += h / 6;
    surface_->Line(x1, y_, x2, y_);
    y_ += h / 8;
    surface_->Line(x1, y_, x2, y_);
    y_ += h / 6;
  } else {
    y_ += h / 8;
    surface_->Line(x1, y_, x2, y_);
    y_ += h / 8;
  }
  x_ = leftMargin_;
}

void TQORDoc::PrintTree(const std::string& title, const std::vector<PrintNode>& tree, bool striped,
                        int skipImageIndex, bool allNodes) {
  BeginTree(title);
  for (std::size_t i = 0; i < tree.size(); ++i) {
    PrintTreeNode(tree[i], i, striped, skipImageIndex, allNodes);
  }
  EndPrint();
}

void TQORDoc::BeginTree(const std::string& title) {
  Setup(title, "", Orientation::Portrait, FontSpec{"Courier New", 10}, 10, 10, 10);
}

void TQORDoc::PrintTreeNode(const PrintNode& node, std::size_t index, bool striped,
                            int skipImageIndex, bool allNodes) {
  if (!allNodes && !node.visible) return;
  if (node.imageIndex == skipImageIndex) return;
  const std::uint32_t back = striped && index % 2 == 0 ? RGBColor(240, 240, 240) : kWhite;
  PrintText(RepeatStr("   ", node.level) + node.text, true, back);
}

void TQORDoc::AbortPrint() {
  if (ForgetJob()) surface_->AbortJob();
}

TQORDoc& PrintDoc() {
  static TQORDoc doc;
  return doc;
}

}  // namespace qor

#pragma once
// A page surface that remembers what was drawn, with simple metrics: a character is 5 units
// wide per point of font size, a line 6 units high per point.

#include <string>
#include <vector>

#include "print/PrintSurface.h"

namespace qor::test {

class RecordingSurface : public PrintSurface {
 public:
  struct Text {
    int page, x, y;
    std::string text;
    FontSpec font;
    std::uint32_t brush;
  };
  struct Rule {
    int page, x1, y1, x2, y2;
  };

  void SetLandscape(bool landscape) override { this->landscape = landscape; }
  void SetJobTitle(const std::string& title) override { jobTitle = title; }
  void BeginJob() override {
    ++jobs;
    page = 1;
  }
  void NewPage() override { ++page; }
  void EndJob() override { ++endedJobs; }
  void AbortJob() override { ++abortedJobs; }
  int PageWidth() override { return 2000; }
  int PageHeight() override { return 2800; }
  int PageNumber() override { return page; }
  void SetFont(const FontSpec& f) override { font = f; }
  void SetBrushColor(std::uint32_t rgb) override { brush = rgb; }
  void TextOut(int x, int y, const std::string& text) override {
    texts.push_back({page, x, y, text, font, brush});
  }
  int TextWidth(const std::string& text) override {
    int chars = 0;
    for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars * font.size * 5;
  }
  int TextHeight(const std::string&) override { return font.size * 6; }
  void Line(int x1, int y1, int x2, int y2) override { rules.push_back({page, x1, y1, x2, y2}); }

  bool landscape = false;
  std::string jobTitle;
  int jobs = 0, endedJobs = 0, abortedJobs = 0, page = 0;
  FontSpec font;
  std::uint32_t brush = 0xFFFFFF;
  std::vector<Text> texts;
  std::vector<Rule> rules;
};

}  // namespace qor::test

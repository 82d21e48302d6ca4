#pragma once
// What the print document draws on: a printer's pages, a PDF file, or a record for the tests.
// Positions and lengths are in device units, from the top-left of the printable area.

#include <cstdint>
#include <string>

namespace qor {

struct FontSpec {
  std::string name;
  int size = 0;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool operator==(const FontSpec&) const = default;
};

class PrintSurface {
 public:
  virtual ~PrintSurface() = default;
  virtual void SetLandscape(bool landscape) = 0;
  virtual void SetJobTitle(const std::string& title) = 0;
  // Raise EInOutError when the job cannot be made (no printer, a file that cannot be written).
  virtual void BeginJob() = 0;
  virtual void NewPage() = 0;
  virtual void EndJob() = 0;
  // Gives the job up: a printer's job is cancelled, a PDF file removed.
  virtual void AbortJob() = 0;
  virtual int PageWidth() = 0;
  virtual int PageHeight() = 0;
  virtual int PageNumber() = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetBrushColor(std::uint32_t rgb) = 0;  // R + G * 256 + B * 65536
  // Text with its top-left corner at (x, y), its character cells filled in the brush colour.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
  // A line with the default pen: solid black, one device unit wide.
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
};

}  // namespace qor

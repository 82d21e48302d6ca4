#pragma once
// The window's fonts, made for the screen's dots per inch: the controls' text, the status
// line's, and the fixed-pitch font of the airport tree, whose columns line up only in one.

#include <windows.h>

namespace qor::winui {

class Fonts {
 public:
  Fonts() = default;
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  void Make(int dpi);
  HFONT Text() const { return text_; }
  HFONT Status() const { return status_; }
  HFONT FixedPitch() const { return fixed_; }

 private:
  HFONT text_ = nullptr;
  HFONT status_ = nullptr;
  HFONT fixed_ = nullptr;
};

// The width of a control's text in its own font, its access key's '&' left out: where a
// control is laid out as wide as its text in the language spoken.
int TextWidth(HWND control);

}  // namespace qor::winui

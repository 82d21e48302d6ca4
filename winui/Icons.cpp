#include "winui/Icons.h"

#include <functional>

namespace qor::winui {

namespace {

HBITMAP Drawn(int width, int height, const std::function<void(HDC)>& draw) {
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  draw(dc);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

void Fill(HDC dc, int x, int y, int w, int h, COLORREF colour) {
  const RECT r{x, y, x + w, y + h};
  const HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

void Line(HDC dc, int width, COLORREF colour, int x1, int y1, int x2, int y2) {
  const HPEN pen = ::CreatePen(PS_SOLID, width, colour);
  const HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

}  // namespace

HBITMAP Flag(lang::Language language) {
  return Drawn(27, 19, [language](HDC dc) {
    switch (language) {
      case lang::Language::kEnglish:
        // The Union flag: the saltires, then the crosses over them.
        Fill(dc, 0, 0, 27, 19, RGB(1, 33, 105));
        Line(dc, 4, RGB(255, 255, 255), 0, 0, 27, 19);
        Line(dc, 4, RGB(255, 255, 255), 0, 19, 27, 0);
        Line(dc, 1, RGB(200, 16, 46), 0, 0, 27, 19);
        Line(dc, 1, RGB(200, 16, 46), 0, 19, 27, 0);
        Fill(dc, 10, 0, 7, 19, RGB(255, 255, 255));
        Fill(dc, 0, 6, 27, 7, RGB(255, 255, 255));
        Fill(dc, 12, 0, 3, 19, RGB(200, 16, 46));
        Fill(dc, 0, 8, 27, 3, RGB(200, 16, 46));
        break;
      case lang::Language::kGerman:
        Fill(dc, 0, 0, 27, 7, RGB(0, 0, 0));
        Fill(dc, 0, 7, 27, 6, RGB(221, 0, 0));
        Fill(dc, 0, 13, 27, 6, RGB(255, 206, 0));
        break;
      default:
        Fill(dc, 0, 0, 9, 19, RGB(0, 35, 149));
        Fill(dc, 9, 0, 9, 19, RGB(255, 255, 255));
        Fill(dc, 18, 0, 9, 19, RGB(237, 41, 57));
        break;
    }
    const HBRUSH frame = ::CreateSolidBrush(RGB(96, 96, 96));
    const RECT r{0, 0, 27, 19};
    ::FrameRect(dc, &r, frame);
    ::DeleteObject(frame);
  });
}

HBITMAP PrinterIcon() {
  return Drawn(16, 16, [](HDC dc) {
    Fill(dc, 0, 0, 16, 16, ::GetSysColor(COLOR_BTNFACE));
    Fill(dc, 4, 1, 8, 6, RGB(40, 40, 40));
    Fill(dc, 5, 2, 6, 4, RGB(255, 255, 255));  // the sheet going in
    Fill(dc, 1, 6, 14, 7, RGB(40, 40, 40));
    Fill(dc, 2, 7, 12, 5, RGB(170, 170, 170));  // the body
    Fill(dc, 4, 10, 8, 6, RGB(40, 40, 40));
    Fill(dc, 5, 11, 6, 4, RGB(255, 255, 255));  // the sheet coming out
    Fill(dc, 12, 8, 1, 1, RGB(0, 160, 0));
  });
}

}  // namespace qor::winui

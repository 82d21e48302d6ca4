#include "winui/Fonts.h"

#include <cstring>
#include <string>

namespace qor::winui {

namespace {

HFONT MakeFont(const std::wstring& name, int points, int dpi, BYTE pitchAndFamily) {
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(points, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  font.lfPitchAndFamily = pitchAndFamily;
  std::wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&font);
}

// "Courier New" where it is installed (every Windows), else the first scalable fixed-pitch
// font of the system: Wine has no Courier New, and its font mapper would give a proportional
// one for the name.
struct FixedPitchFaces {
  bool courierNew = false;
  std::wstring first;
};

int CALLBACK NoteFixedPitchFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto* found = reinterpret_cast<FixedPitchFaces*>(data);
  const std::wstring face = font->lfFaceName;
  if (face == L"Courier New") found->courierNew = true;
  if (found->first.empty() && (font->lfPitchAndFamily & 3) == FIXED_PITCH &&
      (type & TRUETYPE_FONTTYPE) != 0 && !face.empty() && face[0] != L'@') {
    found->first = face;
  }
  return 1;
}

std::wstring FixedPitchFace() {
  FixedPitchFaces found;
  LOGFONTW all{};
  all.lfCharSet = DEFAULT_CHARSET;
  const HDC screen = ::GetDC(nullptr);
  ::EnumFontFamiliesExW(screen, &all, NoteFixedPitchFace, reinterpret_cast<LPARAM>(&found), 0);
  ::ReleaseDC(nullptr, screen);
  return found.courierNew || found.first.empty() ? L"Courier New" : found.first;
}

}  // namespace

Fonts::~Fonts() {
  for (const HFONT font : {text_, status_, fixed_}) {
    if (font != nullptr) ::DeleteObject(font);
  }
}

void Fonts::Make(int dpi) {
  text_ = MakeFont(L"MS Sans Serif", 8, dpi, VARIABLE_PITCH | FF_SWISS);
  status_ = MakeFont(L"MS Sans Serif", 10, dpi, VARIABLE_PITCH | FF_SWISS);
  fixed_ = MakeFont(FixedPitchFace(), 9, dpi, FIXED_PITCH | FF_MODERN);
}

int TextWidth(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  std::erase(text, L'&');
  const HDC dc = ::GetDC(control);
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size.cx;
}

}  // namespace qor::winui

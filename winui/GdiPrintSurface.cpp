#include "winui/GdiPrintSurface.h"

#include <vector>

#include "platform/Errors.h"
#include "platform/Text_win32.h"

#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

// <windows.h> renames TextOut; the surface's own member keeps its name.
#undef TextOut

namespace qor {

namespace {

constexpr const char* kNoPrinter = "Aucune imprimante par défaut n'est installée.";
constexpr const char* kPrinterRefuses = "L'imprimante refuse l'impression.";

// A global memory block locked for as long as it is in view.
template <typename T>
class Locked {
 public:
  explicit Locked(HGLOBAL block) : block_(block), data_(static_cast<T*>(::GlobalLock(block))) {}
  ~Locked() {
    if (data_ != nullptr) ::GlobalUnlock(block_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  T* get() const { return data_; }

 private:
  HGLOBAL block_;
  T* data_;
};

}  // namespace

struct GdiPrintSurface::Gdi {
  bool toMetafiles = false;
  std::string prefix;
  int width = 0, height = 0;  // a metafile page, in portrait
  bool landscape = false;
  std::wstring title;
  HGLOBAL devMode = nullptr, devNames = nullptr;  // the printer chosen in the dialog

  HDC dc = nullptr;
  bool inJob = false;
  int page = 0;
  std::vector<std::string> written;  // the metafile pages of the job
  FontSpec fontSpec;
  bool hasFont = false;
  HFONT font = nullptr;
  HPEN pen = nullptr;
  COLORREF back = RGB(255, 255, 255);

  ~Gdi() {
    if (devMode != nullptr) ::GlobalFree(devMode);
    if (devNames != nullptr) ::GlobalFree(devNames);
  }

  // A printer's device context with the job's orientation.
  HDC PrinterDc() {
    HGLOBAL mode = devMode, names = devNames;
    PRINTDLGW defaults{};
    if (names == nullptr) {
      defaults.lStructSize = sizeof defaults;
      defaults.Flags = PD_RETURNDEFAULT;
      if (!::PrintDlgW(&defaults)) throw EInOutError(kNoPrinter);
      mode = defaults.hDevMode;
      names = defaults.hDevNames;
    }
    HDC printer = nullptr;
    {
      Locked<DEVNAMES> where(names);
      Locked<DEVMODEW> settings(mode);
      if (settings.get() != nullptr) {
        settings.get()->dmFields |= DM_ORIENTATION;
        settings.get()->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      }
      if (where.get() != nullptr) {
        const auto* base = reinterpret_cast<const wchar_t*>(where.get());
        printer = ::CreateDCW(base + where.get()->wDriverOffset, base + where.get()->wDeviceOffset,
                              nullptr, settings.get());
      }
    }
    if (names != devNames) {
      if (mode != nullptr) ::GlobalFree(mode);
      ::GlobalFree(names);
    }
    if (printer == nullptr) throw EInOutError(kPrinterRefuses);
    return printer;
  }

  void StartPage() {
    ++page;
    if (toMetafiles) {
      const std::string path = MetafilePath(prefix, page);
      HDC screen = ::GetDC(nullptr);
      const int w = landscape ? height : width, h = landscape ? width : height;
      // The frame is in hundredths of a millimetre.
      const RECT frame{
          0, 0,
          ::MulDiv(w, ::GetDeviceCaps(screen, HORZSIZE) * 100, ::GetDeviceCaps(screen, HORZRES)),
          ::MulDiv(h, ::GetDeviceCaps(screen, VERTSIZE) * 100, ::GetDeviceCaps(screen, VERTRES))};
      ::ReleaseDC(nullptr, screen);
      const std::wstring description = title + L'\0' + L"Page " + std::to_wstring(page) + L'\0';
      dc = ::CreateEnhMetaFileW(nullptr, platform::Wide(path).c_str(), &frame, description.c_str());
      if (dc == nullptr) {
        throw EInOutError("Je ne peux pas écrire le fichier \"" + path + "\" (" +
                          platform::ReasonOfError(::GetLastError()) + ").");
      }
      written.push_back(path);
    } else if (::StartPage(dc) <= 0) {
      throw EInOutError(kPrinterRefuses);
    }
    // A new page may come with a fresh device context: everything is selected again.
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    if (pen == nullptr) pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    ::SelectObject(dc, pen);
    if (hasFont) SelectFont(fontSpec);
  }

  void EndPage() {
    if (toMetafiles) {
      ReleaseObjects();
      ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
      dc = nullptr;
    } else if (::EndPage(dc) <= 0) {
      throw EInOutError(kPrinterRefuses);
    }
  }

  void SelectFont(const FontSpec& spec) {
    LOGFONTW logFont{};
    logFont.lfHeight = -::MulDiv(spec.size, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = spec.italic;
    logFont.lfUnderline = spec.underline;
    logFont.lfStrikeOut = spec.strikeOut;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = platform::Wide(spec.name).substr(0, LF_FACESIZE - 1);
    face.copy(logFont.lfFaceName, face.size());
    HFONT created = ::CreateFontIndirectW(&logFont);
    ::SelectObject(dc, created);
    if (font != nullptr) ::DeleteObject(font);
    font = created;
  }

  // The stock objects back in the device context, so that ours can be deleted.
  void ReleaseObjects() {
    if (dc == nullptr) return;
    ::SelectObject(dc, ::GetStockObject(SYSTEM_FONT));
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  }

  // Ends the job's device context and objects, whatever state the job is in.
  void Close(bool abort) {
    if (dc != nullptr) {
      ReleaseObjects();
      if (toMetafiles) {
        ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
      } else {
        if (abort) ::AbortDoc(dc);
        ::DeleteDC(dc);
      }
      dc = nullptr;
    }
    if (font != nullptr) ::DeleteObject(font);
    if (pen != nullptr) ::DeleteObject(pen);
    font = nullptr;
    pen = nullptr;
    inJob = false;
    if (abort) {
      for (const std::string& path : written) ::DeleteFileW(platform::Wide(path).c_str());
    }
    written.clear();
  }
};

GdiPrintSurface::GdiPrintSurface() : gdi_(std::make_unique<Gdi>()) {}

GdiPrintSurface::~GdiPrintSurface() {
  if (gdi_->inJob) gdi_->Close(true);
}

std::unique_ptr<GdiPrintSurface> GdiPrintSurface::Metafiles(const std::string& pathPrefix,
                                                            int width, int height) {
  auto surface = std::make_unique<GdiPrintSurface>();
  surface->gdi_->toMetafiles = true;
  surface->gdi_->prefix = pathPrefix;
  surface->gdi_->width = width;
  surface->gdi_->height = height;
  return surface;
}

std::string GdiPrintSurface::MetafilePath(const std::string& pathPrefix, int page) {
  return pathPrefix + std::to_string(page) + ".emf";
}

bool GdiPrintSurface::ChoosePrinter(HWND__* owner) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.hDevMode = gdi_->devMode;
  dialog.hDevNames = gdi_->devNames;
  dialog.Flags =
      PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  const bool chosen = ::PrintDlgW(&dialog) != 0;
  // The dialog may hand back other blocks than it was given; they are ours either way.
  gdi_->devMode = dialog.hDevMode;
  gdi_->devNames = dialog.hDevNames;
  return chosen;
}

bool GdiPrintSurface::HasDefaultPrinter() {
  DWORD size = 0;
  if (::GetDefaultPrinterW(nullptr, &size)) return true;
  return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > 0;
}

void GdiPrintSurface::SetLandscape(bool landscape) {
  gdi_->landscape = landscape;
}

void GdiPrintSurface::SetJobTitle(const std::string& title) {
  gdi_->title = platform::Wide(title);
}

void GdiPrintSurface::BeginJob() {
  Gdi& g = *gdi_;
  if (g.inJob) g.Close(true);
  g.page = 0;
  g.hasFont = false;
  g.back = RGB(255, 255, 255);
  try {
    if (!g.toMetafiles) {
      g.dc = g.PrinterDc();
      DOCINFOW job{};
      job.cbSize = sizeof job;
      job.lpszDocName = g.title.c_str();
      if (::StartDocW(g.dc, &job) <= 0) {
        ::DeleteDC(g.dc);
        g.dc = nullptr;
        throw EInOutError(kPrinterRefuses);
      }
    }
    g.inJob = true;
    g.StartPage();
  } catch (...) {
    g.Close(true);
    throw;
  }
}

void GdiPrintSurface::NewPage() {
  Gdi& g = *gdi_;
  if (!g.inJob) return;
  try {
    g.EndPage();
    g.StartPage();
  } catch (...) {
    g.Close(true);
    throw;
  }
}

void GdiPrintSurface::EndJob() {
  Gdi& g = *gdi_;
  if (!g.inJob) return;
  try {
    g.EndPage();
    if (!g.toMetafiles && ::EndDoc(g.dc) <= 0) throw EInOutError(kPrinterRefuses);
  } catch (...) {
    g.Close(true);
    throw;
  }
  g.Close(false);
}

void GdiPrintSurface::AbortJob() {
  if (gdi_->inJob) gdi_->Close(true);
}

int GdiPrintSurface::PageWidth() {
  const Gdi& g = *gdi_;
  if (g.toMetafiles) return g.landscape ? g.height : g.width;
  return g.dc != nullptr ? ::GetDeviceCaps(g.dc, HORZRES) : 0;
}

int GdiPrintSurface::PageHeight() {
  const Gdi& g = *gdi_;
  if (g.toMetafiles) return g.landscape ? g.width : g.height;
  return g.dc != nullptr ? ::GetDeviceCaps(g.dc, VERTRES) : 0;
}

int GdiPrintSurface::PageNumber() {
  return gdi_->page;
}

void GdiPrintSurface::SetFont(const FontSpec& font) {
  Gdi& g = *gdi_;
  if (g.hasFont && g.fontSpec == font && g.font != nullptr) return;
  g.fontSpec = font;
  g.hasFont = true;
  if (g.dc != nullptr) g.SelectFont(font);
}

void GdiPrintSurface::SetBrushColor(std::uint32_t rgb) {
  // The document's colour is laid out as a COLORREF: red in the low byte.
  gdi_->back = static_cast<COLORREF>(rgb & 0xFFFFFF);
  if (gdi_->dc != nullptr) ::SetBkColor(gdi_->dc, gdi_->back);
}

void GdiPrintSurface::TextOut(int x, int y, const std::string& text) {
  if (gdi_->dc == nullptr) return;
  const std::wstring wide = platform::Wide(text);
  ::TextOutW(gdi_->dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

int GdiPrintSurface::TextWidth(const std::string& text) {
  if (gdi_->dc == nullptr) return 0;
  const std::wstring wide = platform::Wide(text);
  SIZE size{};
  ::GetTextExtentPoint32W(gdi_->dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int GdiPrintSurface::TextHeight(const std::string& text) {
  if (gdi_->dc == nullptr) return 0;
  // An empty text still has the height of a line.
  const std::wstring wide = platform::Wide(text.empty() ? std::string("H") : text);
  SIZE size{};
  ::GetTextExtentPoint32W(gdi_->dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cy;
}

void GdiPrintSurface::Line(int x1, int y1, int x2, int y2) {
  if (gdi_->dc == nullptr) return;
  ::MoveToEx(gdi_->dc, x1, y1, nullptr);
  ::LineTo(gdi_->dc, x2, y2);
}

}  // namespace qor

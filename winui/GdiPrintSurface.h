#pragma once
// The print document's pages drawn by GDI: on a printer (the default one, or one the user picks
// in the print dialog), or into enhanced metafiles, one file a page, which the tests read back.

#include <memory>
#include <string>

#include "print/PrintSurface.h"
#include "workflow/FrontEnd.h"

struct HWND__;  // a window handle, without <windows.h> and its macros in every includer

namespace qor {

class GdiPrintSurface : public PrintSurface {
 public:
  // The default printer's pages.
  GdiPrintSurface();
  ~GdiPrintSurface() override;
  GdiPrintSurface(const GdiPrintSurface&) = delete;
  GdiPrintSurface& operator=(const GdiPrintSurface&) = delete;

  // Pages of width by height units of the screen (portrait; landscape turns them), page n
  // written to MetafilePath(pathPrefix, n).
  static std::unique_ptr<GdiPrintSurface> Metafiles(const std::string& pathPrefix, int width,
                                                    int height);
  static std::string MetafilePath(const std::string& pathPrefix, int page);

  // The print dialog over owner; false when the user cancels it. Jobs then go to the printer
  // and settings chosen there instead of the default printer.
  bool ChoosePrinter(HWND__* owner);

  static bool HasDefaultPrinter();

  void SetLandscape(bool landscape) override;
  void SetJobTitle(const std::string& title) override;
  void BeginJob() override;
  void NewPage() override;
  void EndJob() override;
  void AbortJob() override;
  int PageWidth() override;
  int PageHeight() override;
  int PageNumber() override;
  void SetFont(const FontSpec& font) override;
  void SetBrushColor(std::uint32_t rgb) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void Line(int x1, int y1, int x2, int y2) override;

 private:
  struct Gdi;
  std::unique_ptr<Gdi> gdi_;
};

// The printer as the workflow asks for it. Windows has no PDF writer here: without a default
// printer the window says so.
class GdiPrintTarget : public PrintTarget {
 public:
  bool HasDefaultPrinter() override { return GdiPrintSurface::HasDefaultPrinter(); }
  bool CanWritePdf() const override { return false; }
  std::unique_ptr<PrintSurface> Surface(const std::string&) override {
    return std::make_unique<GdiPrintSurface>();
  }
};

}  // namespace qor

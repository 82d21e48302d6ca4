#pragma once
// The window's place on the screen as the saved placement reads and writes it: always its
// normal bounds, also while it is maximised, so that it starts in its normal size next time.
// Before the window is shown, the state asked for waits for its first showing.

#include <windows.h>

#include "util/FormPlacement.h"

namespace qor::winui {

class WindowPlacement final : public PlacementForm {
 public:
  void Attach(HWND window) { window_ = window; }
  // How the window is first shown: maximised when the placement asked for it, else show.
  int FirstShow(int show) const;

  std::string ComponentName() const override { return "fMain"; }
  int Left() const override;
  int Top() const override;
  int Width() const override;
  int Height() const override;
  void SetLeft(int v) override;
  void SetTop(int v) override;
  void SetWidth(int v) override;
  void SetHeight(int v) override;
  WindowState State() const override;
  void SetState(WindowState state) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;

 private:
  RECT Normal() const;
  void SetNormal(const RECT& bounds);

  HWND window_ = nullptr;
  WindowState pending_ = WindowState::Normal;
};

}  // namespace qor::winui

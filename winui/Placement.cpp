#include "winui/Placement.h"

namespace qor::winui {

namespace {

WINDOWPLACEMENT PlacementOf(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(window, &placement);
  return placement;
}

}  // namespace

int WindowPlacement::FirstShow(int show) const {
  return pending_ == WindowState::Maximized ? SW_SHOWMAXIMIZED : show;
}

RECT WindowPlacement::Normal() const {
  return PlacementOf(window_).rcNormalPosition;
}

void WindowPlacement::SetNormal(const RECT& bounds) {
  WINDOWPLACEMENT p = PlacementOf(window_);
  p.rcNormalPosition = bounds;
  p.showCmd = ::IsWindowVisible(window_) ? p.showCmd : SW_HIDE;
  ::SetWindowPlacement(window_, &p);
}

int WindowPlacement::Left() const {
  return Normal().left;
}
int WindowPlacement::Top() const {
  return Normal().top;
}
int WindowPlacement::Width() const {
  const RECT r = Normal();
  return r.right - r.left;
}
int WindowPlacement::Height() const {
  const RECT r = Normal();
  return r.bottom - r.top;
}
void WindowPlacement::SetLeft(int v) {
  RECT r = Normal();
  r.right = v + (r.right - r.left);
  r.left = v;
  SetNormal(r);
}
void WindowPlacement::SetTop(int v) {
  RECT r = Normal();
  r.bottom = v + (r.bottom - r.top);
  r.top = v;
  SetNormal(r);
}
void WindowPlacement::SetWidth(int v) {
  RECT r = Normal();
  r.right = r.left + v;
  SetNormal(r);
}
void WindowPlacement::SetHeight(int v) {
  RECT r = Normal();
  r.bottom = r.top + v;
  SetNormal(r);
}
WindowState WindowPlacement::State() const {
  if (::IsZoomed(window_)) return WindowState::Maximized;
  if (::IsIconic(window_)) return WindowState::Minimized;
  return WindowState::Normal;
}
void WindowPlacement::SetState(WindowState state) {
  if (!::IsWindowVisible(window_)) {
    pending_ = state;
    return;
  }
  ::ShowWindow(window_, state == WindowState::Maximized   ? SW_MAXIMIZE
                        : state == WindowState::Minimized ? SW_MINIMIZE
                                                          : SW_RESTORE);
}
int WindowPlacement::ScreenWidth() const {
  return ::GetSystemMetrics(SM_CXSCREEN);
}
int WindowPlacement::ScreenHeight() const {
  return ::GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace qor::winui

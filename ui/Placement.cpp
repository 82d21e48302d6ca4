#include "ui/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qor {

QRect WindowPlacement::NormalBounds() const {
  const bool normal = !window_.isMaximized() && !window_.isMinimized() && !window_.isFullScreen();
  if (normal || !window_.normalGeometry().isValid()) return QRect(window_.pos(), window_.size());
  // The normal geometry is the inside of the window; its position counts the frame, as
  // window_.pos().
  const QPoint frame = window_.geometry().topLeft() - window_.pos();
  return QRect(window_.normalGeometry().topLeft() - frame, window_.normalGeometry().size());
}

void WindowPlacement::SetNormalBounds(const QRect& bounds) {
  window_.move(bounds.topLeft());
  window_.resize(bounds.size());
}

int WindowPlacement::Left() const {
  return NormalBounds().x();
}
int WindowPlacement::Top() const {
  return NormalBounds().y();
}
int WindowPlacement::Width() const {
  return NormalBounds().width();
}
int WindowPlacement::Height() const {
  return NormalBounds().height();
}
void WindowPlacement::SetLeft(int v) {
  SetNormalBounds(NormalBounds().adjusted(v - Left(), 0, v - Left(), 0));
}
void WindowPlacement::SetTop(int v) {
  SetNormalBounds(NormalBounds().adjusted(0, v - Top(), 0, v - Top()));
}
void WindowPlacement::SetWidth(int v) {
  QRect r = NormalBounds();
  r.setWidth(v);
  SetNormalBounds(r);
}
void WindowPlacement::SetHeight(int v) {
  QRect r = NormalBounds();
  r.setHeight(v);
  SetNormalBounds(r);
}

WindowState WindowPlacement::State() const {
  if (window_.isMaximized()) return WindowState::Maximized;
  if (window_.isMinimized()) return WindowState::Minimized;
  return WindowState::Normal;
}

void WindowPlacement::SetState(WindowState state) {
  switch (state) {
    case WindowState::Maximized:
      window_.setWindowState(Qt::WindowMaximized);
      break;
    case WindowState::Minimized:
      window_.setWindowState(Qt::WindowMinimized);
      break;
    case WindowState::Normal: {
      // The system gives the normal bounds back later; they are wanted now.
      const QRect bounds = NormalBounds();
      window_.setWindowState(Qt::WindowNoState);
      SetNormalBounds(bounds);
      break;
    }
  }
}

int WindowPlacement::ScreenWidth() const {
  return QGuiApplication::primaryScreen()->size().width();
}
int WindowPlacement::ScreenHeight() const {
  return QGuiApplication::primaryScreen()->size().height();
}

}  // namespace qor

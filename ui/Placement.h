#pragma once
// The window's place on the screen as the saved placement reads and writes it: always its
// normal bounds, also while it is maximised, so that it starts in its normal size next time.

#include <QRect>

#include "util/FormPlacement.h"

class QWidget;

namespace qor {

class WindowPlacement final : public PlacementForm {
 public:
  explicit WindowPlacement(QWidget& window) : window_(window) {}

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
  QRect NormalBounds() const;
  void SetNormalBounds(const QRect& bounds);

  QWidget& window_;
};

}  // namespace qor

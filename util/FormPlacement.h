#pragma once
// Saving a window's position, size and maximised state as one setting named after the window,
// and restoring it at the next start. The setting holds five decimal integers, one tab between
// each: left, top, width, height and 1 for maximised, 0 otherwise ("100\t50\t800\t600\t1").

#include <string>

namespace qor {

enum class WindowState { Normal, Minimized, Maximized };

// What the placement functions need of a top-level window; the Qt window implements it, the
// tests fake it.
class PlacementForm {
 public:
  virtual ~PlacementForm() = default;
  virtual std::string ComponentName() const = 0;  // names the setting: "fMain"
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetLeft(int left) = 0;
  virtual void SetTop(int top) = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual WindowState State() const = 0;
  virtual void SetState(WindowState state) = 0;
  // The primary screen's size in pixels.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
};

// Writes the form's normal-state bounds (setting it to the normal state first when it is not)
// with the maximised flag taken from state, not from the form.
void SaveFormPlacement(PlacementForm& form, WindowState state);
// Applies the stored placement. Without one, the form is centred when both defaults are -1,
// else moved to the defaults; its size and state stay.
void RestoreFormPlacement(PlacementForm& form, int defaultLeft, int defaultTop);
// Centres the form on the primary screen; a form larger than the screen gets a negative edge.
void CenterForm(PlacementForm& form);

}  // namespace qor

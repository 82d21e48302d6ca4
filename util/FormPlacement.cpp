#include "util/FormPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

#include "text/Trim.h"
#include "util/Evaluator.h"
#include "util/Settings.h"
#include "util/TextFields.h"

namespace qor {

namespace {

// A field as the user's texts are read everywhere, then as an integer (reals rounded, out of
// range held at the ends of int).
int FieldValue(std::string_view field) {
  const std::int64_t v = StrToValue(field).AsInt64();
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

void SaveFormPlacement(PlacementForm& form, WindowState state) {
  const int maximised = state == WindowState::Maximized ? 1 : 0;
  // Bounds read while minimised or maximised are not the ones to come back to.
  if (form.State() != WindowState::Normal) form.SetState(WindowState::Normal);
  const std::string text = std::to_string(form.Left()) + '\t' + std::to_string(form.Top()) + '\t' +
                           std::to_string(form.Width()) + '\t' + std::to_string(form.Height()) +
                           '\t' + std::to_string(maximised);
  WriteSetting(form.ComponentName(), text);
}

void RestoreFormPlacement(PlacementForm& form, int defaultLeft, int defaultTop) {
  std::string text = ReadSetting(form.ComponentName());
  if (Trim(text).empty()) {
    if (defaultLeft == -1 && defaultTop == -1) {
      CenterForm(form);
    } else {
      form.SetLeft(defaultLeft);
      form.SetTop(defaultTop);
    }
    return;
  }
  int fields[5];
  for (int& field : fields) field = FieldValue(CutField(text, "\t"));
  form.SetLeft(fields[0]);
  form.SetTop(fields[1]);
  form.SetWidth(fields[2]);
  form.SetHeight(fields[3]);
  form.SetState(fields[4] == 1 ? WindowState::Maximized : WindowState::Normal);
}

void CenterForm(PlacementForm& form) {
  // C++ division truncates toward zero, as the edges must.
  form.SetLeft((form.ScreenWidth() - form.Width()) / 2);
  form.SetTop((form.ScreenHeight() - form.Height()) / 2);
}

}  // namespace qor

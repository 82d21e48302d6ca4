#pragma once
// The progress box of a long print-out: its text, a bar, and a button that cancels the work.
// Not modal: the window goes on painting, and the workflow holds back what the user asks.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace qor::winui {

HWND MakeProgressBox(HWND owner, std::function<void()> cancel);
void UpdateProgressBox(HWND box, const std::string& text, std::size_t done, std::size_t total);

}  // namespace qor::winui

#pragma once
// A start that checks itself, for an installed or relocated copy: with QORBGL_START_CHECK set in
// the environment, the window starts as usual, then prints the help page it shows and the sizes
// of its icon, and ends. The exit status is 0 when both are there.

class QWidget;

namespace qor {

bool StartCheckWanted();
// Prints the report on standard output; returns the exit status.
int ReportStart(const QWidget& window);

}  // namespace qor

#pragma once
// The application: an error that escapes an event handler is shown in a box captioned
// "QORBgl" with a stop icon, and the window goes on working.

#include <QApplication>

#include "lang/Language.h"

namespace qor {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Speaks language from now on: the program's texts and Qt's own buttons and dialogs.
void ApplyLanguage(lang::Language language);

// Shows an error's text as the application's error report.
void ReportError(const std::string& text);

}  // namespace qor

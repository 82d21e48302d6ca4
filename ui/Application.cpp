#include "ui/Application.h"

#include <exception>

#include "ui/Controls.h"

namespace qor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("QORBgl");
}

void ReportError(const std::string& text) {
  MsgBox(text, "QORBgl", UserDialog::kIconStop | UserDialog::kOk);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    ReportError("Mémoire insuffisante.");
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
  return false;
}

}  // namespace qor

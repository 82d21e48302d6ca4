#include "ui/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "ui/Dialogs.h"
#include "ui/Icons.h"

namespace qor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("QORBgl");
  setWindowIcon(AppIcon());
  // The desktop entry that started the window: its icon and name in the task bar.
  setDesktopFileName("fr.qor_soft.QORBgl");
  // The program speaks French whatever the user's language: Qt's own buttons and dialogs too.
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  auto* translator = new QTranslator(this);
  if (translator->load(QLocale(QLocale::French), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(translator);
  }
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

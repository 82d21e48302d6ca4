#include "ui/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>
#include <optional>

#include "lang/Tr.h"
#include "ui/Dialogs.h"
#include "ui/Icons.h"
#include "workflow/LanguageChoice.h"

namespace qor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("QORBgl");
  setWindowIcon(AppIcon());
  // The desktop entry that started the window: its icon and name in the task bar.
  setDesktopFileName("fr.qor_soft.QORBgl");
  // The language saved from the flag's menu, else French, whatever the user's own language.
  ApplyLanguage(SavedLanguage());
}

void ApplyLanguage(lang::Language language) {
  lang::SetCurrent(language);
  // Qt's own buttons and dialogs speak it too (English is Qt's own; the pseudo-language of the
  // tests leaves them French), their translations loaded once a language.
  static std::optional<lang::Language> applied;
  if (applied == language) return;
  applied = language;
  static QTranslator* translator = nullptr;
  if (translator != nullptr) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  const QLocale locale =
      language == lang::Language::kEnglish  ? QLocale(QLocale::English, QLocale::UnitedKingdom)
      : language == lang::Language::kGerman ? QLocale(QLocale::German, QLocale::Germany)
                                            : QLocale(QLocale::French, QLocale::France);
  QLocale::setDefault(locale);
  if (language == lang::Language::kEnglish) return;
  auto* next = new QTranslator(qApp);
  if (next->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(next);
    translator = next;
  } else {
    delete next;
  }
}

void ReportError(const std::string& text) {
  MsgBox(text, "QORBgl", UserDialog::kIconStop | UserDialog::kOk);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    ReportError(Tr("Mémoire insuffisante."));
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
  return false;
}

}  // namespace qor

#include "ui/StartCheck.h"

#include <QTextBrowser>
#include <QTextDocument>
#include <cstdio>

namespace qor {

bool StartCheckWanted() {
  return qEnvironmentVariableIsSet("QORBGL_START_CHECK");
}

int ReportStart(const QWidget& window) {
  const auto* help = window.findChild<QTextBrowser*>("wbAide");
  // The browser keeps an empty document when the page it was sent to cannot be read.
  const bool helpShown = help != nullptr && !help->document()->isEmpty();
  QString sizes;
  for (const QSize& size : window.windowIcon().availableSizes()) {
    sizes += QString(" %1x%2").arg(size.width()).arg(size.height());
  }
  QString report;
  report += "Aide :" + (help != nullptr ? " " + help->source().toLocalFile() : QString()) + "\n";
  report += "Titre de l'aide :" +
            (helpShown ? " " + help->document()->metaInformation(QTextDocument::DocumentTitle)
                       : QString()) +
            "\n";
  report += "Icône :" + sizes + "\n";
  std::fputs(report.toUtf8().constData(), stdout);
  std::fflush(stdout);
  return helpShown && !sizes.isEmpty() ? 0 : 1;
}

}  // namespace qor

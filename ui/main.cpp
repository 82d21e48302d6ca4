// QORBgl [FILE | FOLDER]: the window.

#include "ui/MainWindow.h"

#include <QTimer>

#include "print/QORDoc.h"
#include "ui/Application.h"
#include "ui/SingleInstance.h"
#include "ui/StartCheck.h"
#include "util/Environment.h"

int main(int argc, char** argv) {
  qor::InitEnvironment();
  qor::PrintDoc();  // the print document lives from start to end of the program
  qor::Application app(argc, argv);
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  // A second start hands its arguments to the running instance and ends unseen; a start check
  // that met one has seen no window of its own.
  if (qor::SingleInstance::ActivatePrevInstance(arguments)) return qor::StartCheckWanted() ? 1 : 0;
  qor::TfMain window;
  window.FormCreate(arguments.isEmpty() ? QString() : arguments.front());
  if (qor::StartCheckWanted()) {
    QTimer::singleShot(0, &window, [&] { app.exit(qor::ReportStart(window)); });
  }
  return app.exec();
}

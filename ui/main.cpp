// QORBgl [FILE | FOLDER]: the window.

#include "ui/Main.h"
#include "print/QORDoc.h"
#include "ui/Application.h"
#include "ui/SingleInstance.h"
#include "util/Environment.h"

int main(int argc, char** argv) {
  qor::InitEnvironment();
  qor::PrintDoc();  // the print document lives from start to end of the program
  qor::Application app(argc, argv);
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  // A second start hands its arguments to the running instance and ends unseen.
  if (qor::SingleInstance::ActivatePrevInstance(arguments)) return 0;
  qor::TfMain window;
  window.FormCreate(arguments.isEmpty() ? QString() : arguments.front());
  return app.exec();
}

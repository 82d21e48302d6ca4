#pragma once
// One running instance per user and display: a second start hands its arguments to the running one,
// which comes forward and opens what they name, and ends without showing a window.

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace qor {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // The arguments as the running instance receives them: each followed by one blank, without
  // those up to and including the last that names a ".exe" (in any case).
  static QString HandOverText(const QStringList& arguments);
  // The socket's path: in the user's runtime folder, named after the program and the display.
  static QString ServerName();

  // When another instance runs, hands it the arguments (if any) and returns true: this process
  // is to end. False when this is the only instance.
  static bool ActivatePrevInstance(const QStringList& arguments);

  // Starts answering later starts. False when it cannot.
  bool Listen();

 signals:
  // A later start asked this instance to come forward, with its hand-over text (may be empty).
  void activated(const QString& text);

 private:
  QLocalServer server_;
};

}  // namespace qor

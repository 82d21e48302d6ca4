#include "ui/SingleInstance.h"

#include <QLocalSocket>
#include <cstdlib>

#include "platform/Process.h"
#include "util/Environment.h"

namespace qor {

namespace {

constexpr int kWaitMs = 2000;

}  // namespace

QString SingleInstance::HandOverText(const QStringList& arguments) {
  QString text;
  for (const QString& argument : arguments) {
    text += argument + " ";
    if (text.toUpper().contains(".EXE")) text.clear();
  }
  return text;
}

QString SingleInstance::ServerName() {
  // One window per user and display: a start on another display, or in another login session,
  // is not swallowed by a window its user cannot see.
  QString display;
  for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
    if (const char* value = std::getenv(name); value != nullptr && *value) {
      display = QString::fromLocal8Bit(value);
      break;
    }
  }
  QString safe;
  for (const QChar c : display) {
    safe += c.isLetterOrNumber() || c == '.' || c == '-' ? c : QChar('_');
  }
  const QString name = QString::fromStdString(ProgName()) + "-" + safe;
  const std::string folder = platform::UserRuntimeFolder();
  return folder.empty() ? name : QString::fromStdString(folder) + name;
}

bool SingleInstance::ActivatePrevInstance(const QStringList& arguments) {
  QLocalSocket socket;
  socket.connectToServer(ServerName());
  if (!socket.waitForConnected(kWaitMs)) return false;
  // The running instance answers once it has dealt with the text, as the window message did.
  socket.write(HandOverText(arguments).toUtf8() + '\n');
  socket.waitForBytesWritten(kWaitMs);
  socket.waitForReadyRead(kWaitMs);
  return true;
}

bool SingleInstance::Listen() {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->canReadLine()) return;
        const QString text = QString::fromUtf8(client->readLine()).chopped(1);
        emit activated(text);
        client->write("ok\n");
        client->flush();
      });
    }
  });
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(ServerName())) return true;
  // A socket left behind by an instance that ended without closing it.
  QLocalServer::removeServer(ServerName());
  return server_.listen(ServerName());
}

}  // namespace qor

#include "ui/SingleInstance.h"

#include <unistd.h>

#include <QLocalSocket>

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
  return QString::fromStdString(ProgName()) + "-" + QString::number(::getuid());
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

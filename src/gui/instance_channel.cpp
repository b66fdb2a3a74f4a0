#include "gui/instance_channel.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace zivivar {
namespace {

constexpr char kShowRequest[] = "show\n";
constexpr int kConnectTimeoutMs = 2000;

}  // namespace

InstanceChannel::InstanceChannel(const std::string& lock_directory, QObject* parent)
    : QObject(parent) {
  if (!lock_directory.empty())
    m_name = QString::fromStdString(lock_directory) + QStringLiteral("zivivar-window.socket");
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::Listen() {
  if (m_name.isEmpty())
    return false;
  if (m_server == nullptr) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
          if (socket->readAll().contains('\n'))
            emit showRequested();
          socket->disconnectFromServer();
        });
      }
    });
  }
  // Only the holder of the instance lock gets here, so a socket file that
  // exists is a crashed copy's.
  QLocalServer::removeServer(m_name);
  return m_server->listen(m_name);
}

bool InstanceChannel::AskToShow() const {
  if (m_name.isEmpty())
    return false;
  QLocalSocket socket;
  socket.connectToServer(m_name);
  if (!socket.waitForConnected(kConnectTimeoutMs))
    return false;
  socket.write(kShowRequest);
  const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  return sent;
}

}  // namespace zivivar

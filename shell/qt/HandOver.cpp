#include "HandOver.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstdint>

namespace ovin {

Result SendShowForm(const std::string& name, std::chrono::milliseconds timeout)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(QString::fromStdString(name));
    const int ms = static_cast<int>(timeout.count());
    // Nobody listens under the name: the running instance has no window to show (yet, or at all).
    if (!socket.waitForConnected(ms))
        return Result::failure(texts::kNoWindowToHandOverTo);
    socket.write(kShowFormMessage.data(), static_cast<qint64>(kShowFormMessage.size()));
    if (!socket.waitForBytesWritten(ms))
        return Result::failure(texts::kNoAnswerToHandOver);
    while (socket.bytesAvailable() < 4) {
        if (!socket.waitForReadyRead(ms))
            return Result::failure(texts::kNoAnswerToHandOver);
    }
    return {};
}

HandOverListener::HandOverListener(const std::string& name, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    m_server->listen(QString::fromStdString(name));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray data = socket->readAll();
                const qsizetype end = data.indexOf('\0');
                const QString text = QString::fromUtf8(end < 0 ? data : data.left(end));
                emit received(text);
                const std::int32_t length = static_cast<std::int32_t>(text.size());
                socket->write(reinterpret_cast<const char*>(&length), sizeof length);
                socket->flush();
            });
        }
    });
}

bool HandOverListener::isListening() const { return m_server->isListening(); }

QString HandOverListener::errorString() const { return m_server->errorString(); }

}  // namespace ovin

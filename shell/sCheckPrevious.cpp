#include "sCheckPrevious.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <functional>
#include <system_error>

namespace ovin {

namespace {

// Names of shared memory objects are file names: longer paths are shortened
// and told apart by a hash of the whole name.
constexpr std::size_t kMaxShmNameLength = 200;

struct BlockState {
    std::string name;
    int fd = -1;
    void* view = nullptr;
    bool admitted = true;
    bool tested = false;
};

BlockState& state()
{
    static BlockState s;
    return s;
}

std::string shmName(const std::string& blockName)
{
    std::string name = blockName;
    if (name.size() > kMaxShmNameLength)
        name = name.substr(0, kMaxShmNameLength) + "-" + std::to_string(std::hash<std::string>{}(blockName));
    return "/" + name;
}

std::int32_t* field(void* view, std::size_t offset)
{
    return reinterpret_cast<std::int32_t*>(static_cast<char*>(view) + offset);
}

[[noreturn]] void raiseLastError(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

std::string InstanceBlockName(std::string_view exePath)
{
    std::string name;
    for (const char c : exePath) {
        if (c != '/' && c != '\\')
            name += c;
    }
    return name;
}

bool CheckPreviousInstance(std::uint32_t window, std::int32_t maxInstances, std::string_view exePath)
{
    BlockState& s = state();
    s.name = InstanceBlockName(exePath);
    const std::string name = shmName(s.name);
    s.fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (s.fd < 0)
        raiseLastError("Cannot create the instance block " + s.name);

    // Alone with the block: whoever held it before has ended, so it is new.
    const bool isNew = flock(s.fd, LOCK_EX | LOCK_NB) == 0;
    if (isNew && ftruncate(s.fd, 0) != 0)
        raiseLastError("Cannot create the instance block " + s.name);
    if (ftruncate(s.fd, InstanceBlockLayout::kSizeBytes) != 0)
        raiseLastError("Cannot create the instance block " + s.name);
    s.view = mmap(nullptr, InstanceBlockLayout::kSizeBytes, PROT_READ | PROT_WRITE, MAP_SHARED, s.fd, 0);
    if (s.view == MAP_FAILED) {
        s.view = nullptr;
        return true;
    }
    if (isNew) {
        *field(s.view, InstanceBlockLayout::kWindowOffset) = static_cast<std::int32_t>(window);
        *field(s.view, InstanceBlockLayout::kCountOffset) = 1;
    }
    // Every holder keeps a shared lock for as long as it runs.
    flock(s.fd, LOCK_SH);
    if (isNew)
        return false;

    std::int32_t* count = field(s.view, InstanceBlockLayout::kCountOffset);
    if (maxInstances > *count) {
        *field(s.view, InstanceBlockLayout::kWindowOffset) = static_cast<std::int32_t>(window);
        *count += 1;
        return false;
    }
    // The running instance restores and raises its own window when it gets
    // "showform"; a window id of another process cannot be raised from here.
    s.admitted = false;
    return true;
}

void SetInstanceWindow(std::uint32_t window)
{
    BlockState& s = state();
    if (s.view && s.admitted)
        *field(s.view, InstanceBlockLayout::kWindowOffset) = static_cast<std::int32_t>(window);
}

void SetInstanceTested(bool tested) { state().tested = tested; }

void ReleasePreviousInstance()
{
    BlockState& s = state();
    if (s.tested && s.admitted && s.view)
        *field(s.view, InstanceBlockLayout::kCountOffset) -= 1;
    if (s.view)
        munmap(s.view, InstanceBlockLayout::kSizeBytes);
    if (s.fd >= 0) {
        // The last holder takes the block away, as the system does elsewhere.
        if (flock(s.fd, LOCK_EX | LOCK_NB) == 0)
            shm_unlink(shmName(s.name).c_str());
        close(s.fd);
    }
    s = BlockState{};
}

bool SendShowForm(const std::string& blockName, std::chrono::milliseconds timeout)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(QString::fromStdString(blockName));
    const int ms = static_cast<int>(timeout.count());
    if (!socket.waitForConnected(ms))
        return false;
    socket.write(kShowFormMessage.data(), static_cast<qint64>(kShowFormMessage.size()));
    if (!socket.waitForBytesWritten(ms))
        return false;
    while (socket.bytesAvailable() < 4) {
        if (!socket.waitForReadyRead(ms))
            return false;
    }
    return true;
}

HandOverListener::HandOverListener(const std::string& blockName, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    m_server->listen(QString::fromStdString(blockName));
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

}  // namespace ovin

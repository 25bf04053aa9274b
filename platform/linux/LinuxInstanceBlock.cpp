#include "LinuxInstanceBlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "PrivateShm.h"

namespace ovin {

namespace {

constexpr std::size_t kWindowOffset = 0;
constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kSizeBytes = 8;
// The hand-over listens on a local socket in the abstract namespace, whose
// name takes the socket address's path field less its leading zero byte and
// the terminating one that Qt keeps room for: far less than a shared-memory
// name, so a deep folder needs it shortened.
constexpr std::size_t kMaxHandOverNameBytes = sizeof(sockaddr_un::sun_path) - 2;

// The executable's full path with every "/" and "\" removed.
std::string pathKey(std::string_view exePath)
{
    std::string key;
    for (const char c : exePath) {
        if (c != '/' && c != '\\')
            key += c;
    }
    return key;
}

[[noreturn]] void raise(int err, const std::string& name)
{
    throw std::system_error(err, std::generic_category(), "Cannot create the instance block " + name);
}

}  // namespace

std::unique_ptr<InstanceBlock> createInstanceBlock(std::string_view exePath)
{
    return std::make_unique<LinuxInstanceBlock>(pathKey(exePath));
}

LinuxInstanceBlock::LinuxInstanceBlock(std::string key) : m_base(privateshm::baseName("ovin-", key)), m_name(m_base) {}

LinuxInstanceBlock::~LinuxInstanceBlock() { close(); }

bool LinuxInstanceBlock::createOrOpen()
{
    close();
    bool created = false;
    m_fd = privateshm::openPrivate(m_base, m_name, created);
    if (m_fd < 0) {
        if (errno == EEXIST) {
            m_name = m_base;
            m_private[0] = m_private[1] = 0;
            return false;
        }
        raise(errno, m_name);
    }
    // Alone with the block: whoever held it before has ended, so it is new.
    const bool isNew = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    if (isNew && ::ftruncate(m_fd, 0) != 0)
        raise(errno, m_name);
    if (::ftruncate(m_fd, kSizeBytes) != 0)
        raise(errno, m_name);
    void* view = ::mmap(nullptr, kSizeBytes, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED)
        raise(errno, m_name);
    m_view = view;
    // Every holder keeps a shared lock for as long as it runs.
    ::flock(m_fd, LOCK_SH);
    return !isNew;
}

std::int32_t* LinuxInstanceBlock::field(std::size_t offset) const
{
    if (!m_view)
        return const_cast<std::int32_t*>(&m_private[offset / sizeof(std::int32_t)]);
    return reinterpret_cast<std::int32_t*>(static_cast<char*>(m_view) + offset);
}

std::int32_t LinuxInstanceBlock::window() const { return *field(kWindowOffset); }
void LinuxInstanceBlock::setWindow(std::int32_t window) { *field(kWindowOffset) = window; }
std::int32_t LinuxInstanceBlock::count() const { return *field(kCountOffset); }
void LinuxInstanceBlock::setCount(std::int32_t count) { *field(kCountOffset) = count; }

void LinuxInstanceBlock::close()
{
    if (m_view) {
        ::munmap(m_view, kSizeBytes);
        m_view = nullptr;
    }
    if (m_fd >= 0) {
        // The last holder takes the block away, as the system does elsewhere.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            ::shm_unlink(m_name.c_str());
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string LinuxInstanceBlock::handOverName() const
{
    return privateshm::fitted(m_name.substr(1), kMaxHandOverNameBytes);
}

}  // namespace ovin

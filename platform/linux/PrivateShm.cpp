#include "PrivateShm.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace ovin::privateshm {

namespace {

// A name is a file name in the shared-memory folder (255 bytes at most);
// room is left for the alternate's suffix and the hash.
constexpr std::size_t kMaxKeyBytes = 200;
constexpr mode_t kPrivateMode = 0600;

// A hash that stays the same from build to build, so two builds of the
// program at one path still meet at one name.
std::uint64_t fnv1a(std::string_view text)
{
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// Errors that say the name is someone else's (or no file at all), as
// opposed to the system being unable to give a block. A folder under the
// name gives EINVAL: the C library turns EISDIR into that.
bool takenByOthers(int err)
{
    return err == EEXIST || err == ELOOP || err == EACCES || err == EPERM || err == EISDIR || err == EINVAL ||
           err == ENXIO;
}

// "-" and 16 hexadecimal digits.
constexpr std::size_t kHashSuffixBytes = 17;

std::string hashSuffix(std::string_view text)
{
    char hash[kHashSuffixBytes + 1];
    std::snprintf(hash, sizeof hash, "-%016llx", static_cast<unsigned long long>(fnv1a(text)));
    return hash;
}

}  // namespace

std::string baseName(std::string_view prefix, std::string_view key)
{
    std::string name = "/" + std::string(prefix) + std::to_string(::geteuid()) + "-";
    if (key.size() > kMaxKeyBytes)
        name += std::string(key.substr(0, kMaxKeyBytes)) + hashSuffix(key);
    else
        name += key;
    return name;
}

std::string fitted(std::string_view name, std::size_t maxBytes)
{
    if (name.size() <= maxBytes)
        return std::string(name);
    if (maxBytes < kHashSuffixBytes)
        return std::string(name.substr(0, maxBytes));
    return std::string(name.substr(0, maxBytes - kHashSuffixBytes)) + hashSuffix(name);
}

std::string alternate(const std::string& base, int index)
{
    return index == 0 ? base : base + "~" + std::to_string(index + 1);
}

int openPrivate(const std::string& base, std::string& name, bool& created)
{
    // A name that vanishes between the two opens is tried again, but not
    // forever: someone may be making and removing it on purpose.
    int retriesLeft = kNameCount;
    for (int i = 0; i < kNameCount; ++i) {
        name = alternate(base, i);
        created = true;
        int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateMode);
        if (fd >= 0) {
            // The umask must not leave the owner unable to open it again.
            ::fchmod(fd, kPrivateMode);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
        created = false;
        fd = ::shm_open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
        if (fd < 0) {
            if (errno == ENOENT && retriesLeft-- > 0) {
                // Taken away between the two calls: try the same name again.
                --i;
                continue;
            }
            if (!takenByOthers(errno) && errno != ENOENT)
                return -1;
            continue;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            ::fchmod(fd, kPrivateMode);
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

}  // namespace ovin::privateshm

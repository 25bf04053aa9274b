#include "LinuxFilePublisher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "PosixIo.h"

namespace ovin {

namespace {

// strerror_r: the writes run on a worker thread while the rest of the program may ask for other errors' texts.
std::string systemText(int err)
{
    char buffer[256] = {};
    return ::strerror_r(err, buffer, sizeof buffer);
}

}  // namespace

Result LinuxFilePublisher::checkFolder(const std::string& folder) const
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return Result::failure(systemText(errno));
    if (!S_ISDIR(st.st_mode))
        return Result::failure(systemText(ENOTDIR));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return Result::failure(systemText(errno));
    return {};
}

Result LinuxFilePublisher::publish(const std::string& path, std::string_view bytes)
{
    // A hidden name that the exporter's "*.prom" never matches; whatever stands there (a file left by a run that
    // died mid-write, or a link or a pipe planted by someone) is removed, and the new file is made afresh, so that
    // nothing is written through and no open waits for a reader of a pipe.
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string temp = folder + "." + base + ".tmp";
    ::unlink(temp.c_str());
    const int raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (raw < 0)
        return Result::failure(systemText(errno));
    UniqueFd fd(raw);
    if (!writeAll(fd.get(), bytes.data(), bytes.size())) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Result::failure(systemText(err != 0 ? err : ENOSPC));
    }
    if (::close(fd.release()) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Result::failure(systemText(err));
    }
    return {};
}

}  // namespace ovin

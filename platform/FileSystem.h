#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace ovin {

/// What identifies one state of a file on disk: a writer that finds the same
/// identity knows nobody else has touched the file since. `volume` and
/// `fileId` name the file itself, whatever path leads to it.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t fileId = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

/// File services of the platform. Paths are UTF-8 text in the platform's own
/// form; a relative path is taken against the current working folder.
///
/// A "file" is a regular file on a disk: a folder, a pipe, a socket or a
/// device is no file, so that no read ever waits for a writer or never ends.
/// Where any user can make symbolic links, a link is followed only when it
/// belongs to the program's own user or to the system's administrator; a
/// link planted by anyone else counts as no file and is never read or
/// written through (a write replaces the link itself).
///
/// Content is text: the program holds UTF-8, the files hold the system's
/// 8-bit code page. Reads hand over UTF-8 and writes take UTF-8; where the
/// system's code page is not UTF-8 the conversion is exact both ways, so a
/// file's bytes read and written again come out unchanged. A copy moves the
/// bytes as they are.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// True when the path names an existing file.
    virtual bool fileExists(const std::string& path) const = 0;

    /// Last modification in local time packed as an MS-DOS date-time (date in
    /// the upper 16 bits, time in the lower, seconds halved), or -1.
    virtual std::int32_t dateStamp(const std::string& path) const = 0;

    /// Size in bytes of the directory entry (a folder included), or nothing
    /// when there is no such entry.
    virtual std::optional<std::int64_t> entrySize(const std::string& path) const = 0;

    /// Identity of a file as it stands now, or nothing when it is not there.
    virtual std::optional<FileIdentity> identity(const std::string& path) const = 0;

    /// Reads the whole file into `content`: the bytes it holds when it is
    /// opened, no more. The room `content` has reserved already is kept, so
    /// that a caller who will add to the text can make room for it beforehand.
    virtual Result readFile(const std::string& path, std::string& content) const = 0;

    /// Hands the bytes the file holds when it is opened to `sink`, in order,
    /// in pieces of a bounded size, holding nothing more itself. Stops early
    /// when `sink` returns false.
    virtual Result readChunks(const std::string& path, const std::function<bool(std::string_view)>& sink) const = 0;

    /// Replaces the whole file with `content` so that the file holds either its
    /// old content or the new one, never less, and the new content is on disk
    /// when this returns. A read-only file is not replaced.
    virtual Result replaceFile(const std::string& path, std::string_view content) = 0;

    /// Appends `content` to an existing file; when the write fails the file is
    /// left as it was.
    virtual Result appendFile(const std::string& path, std::string_view content) = 0;

    /// Copies a file; refuses to overwrite an existing target.
    virtual Result copyFile(const std::string& from, const std::string& to) = 0;

    /// Takes away what keeps a file from being changed or deleted: its
    /// read-only state (on Windows every attribute: read-only, hidden, system).
    virtual Result makeWritable(const std::string& path) = 0;

    /// Deletes a file; a read-only file is not deleted.
    virtual Result deleteFile(const std::string& path) = 0;

    /// True when a user other than the program's own and the administrator
    /// can change the file or put another one in its place: the file or a
    /// folder on its way is theirs or open to their writes. Running such a
    /// program would run their code under this program's user.
    virtual bool othersCanChange(const std::string& path) const = 0;

    /// The platform's path separator, used where a path is composed.
    virtual char separator() const = 0;

    /// True for each character that ends a folder in a path on this platform.
    virtual bool isSeparator(char c) const = 0;
};

}  // namespace ovin

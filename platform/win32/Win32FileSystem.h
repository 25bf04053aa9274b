#pragma once

#include "platform/FileSystem.h"

namespace ovin {

/// Files on Windows, through the wide-character calls, so that a folder
/// name in any script works. A name that reaches a device rather than a
/// file (CON, NUL, COM1, anything under \\.\ such as a pipe) is no file:
/// it is never opened, so no read waits on a console, a port or a pipe's
/// other end. Content is converted between UTF-8 and the system's ANSI code
/// page at the edge.
///
/// Symbolic links are followed: on Windows only an administrator (or a user
/// the administrator allowed to) can make one.
class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) const override;
    std::int32_t dateStamp(const std::string& path) const override;
    std::optional<std::int64_t> entrySize(const std::string& path) const override;
    std::optional<FileIdentity> identity(const std::string& path) const override;
    Result readFile(const std::string& path, std::string& content) const override;
    Result readChunks(const std::string& path, const std::function<bool(std::string_view)>& sink) const override;
    Result replaceFile(const std::string& path, std::string_view content) override;
    Result appendFile(const std::string& path, std::string_view content) override;
    Result copyFile(const std::string& from, const std::string& to) override;
    Result makeWritable(const std::string& path) override;
    Result deleteFile(const std::string& path) override;
    bool othersCanChange(const std::string& path) const override;
    char separator() const override { return '\\'; }
    bool isSeparator(char c) const override { return c == '\\' || c == '/' || c == ':'; }

    /// True when the path reaches a device rather than a file on a disk.
    static bool isDevicePath(const std::string& path);
};

}  // namespace ovin

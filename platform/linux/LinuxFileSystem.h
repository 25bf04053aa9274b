#pragma once

#include "platform/FileSystem.h"

namespace ovin {

/// Files on Linux. A file without its owner's write bit counts as read-only,
/// as the read-only attribute does elsewhere: it is neither replaced nor
/// deleted until it is made writable, whoever runs the program.
///
/// A symbolic link is trusted when it belongs to the program's user or to
/// root: the rule the kernel applies in sticky folders, without its clause
/// for the folder's owner, since the owner of the program's folder is not
/// necessarily the user the program runs as.
class LinuxFileSystem final : public FileSystem {
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
    char separator() const override { return '/'; }
    bool isSeparator(char c) const override { return c == '/'; }
};

}  // namespace ovin

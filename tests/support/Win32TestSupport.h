#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Handle.h"
#include "support/WaitFor.h"

namespace ovin::test {

/// A path of the build host as Wine sees it (drive Z: is the host's root);
/// a Windows path stays as it is.
std::string hostPath(const std::string& path);

/// A new empty folder of the test's own under the system's temporary folder,
/// whose name holds letters of several scripts; taken away with everything in
/// it when the object goes.
class TempFolder final {
public:
    explicit TempFolder(const std::string& what);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string at(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

/// Raw bytes of a file, past every conversion; empty when it cannot be read.
std::string readBytes(const std::string& path);
/// Writes raw bytes; false on failure.
bool writeBytes(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
/// The names in a folder, "." and ".." left out.
std::vector<std::string> listFolder(const std::string& folder);

/// Starts a program with the given command line (the program's path first,
/// quoted as needed); an invalid handle when it could not start.
win32::UniqueHandle startProcess(const std::string& program, const std::string& arguments, DWORD* pid = nullptr);

}  // namespace ovin::test

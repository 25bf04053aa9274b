#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ovin {

class FileSystem;

/// The name of the parameter file, relative: it is looked for in the current working folder.
inline constexpr const char* kParamFile = "tmp_param";

/// True when `word` is a switch of this run: a command-line argument after the program path (`arguments`
/// holds the program path first), or a line of the file `paramFile`, compared whole and without regard to
/// case (Czech letters included). Only a regular file counts as the parameter file (a pipe or a device under
/// that name is no file), and it is read anew on every call, in pieces, so the test never waits and a long
/// file costs no memory. Throws std::runtime_error when the file exists but cannot be read.
bool HasSwitch(std::string_view word, const std::vector<std::string>& arguments, const std::string& paramFile,
               const FileSystem& files);

/// The switches of this run: the command line as the platform split it and the parameter file, with the file
/// services to read it. The entry makes it; the windows ask it.
class Switches final {
public:
    Switches(std::vector<std::string> arguments, const FileSystem& files, std::string paramFile = kParamFile)
        : m_arguments(std::move(arguments)), m_files(files), m_paramFile(std::move(paramFile))
    {
    }

    /// `HasSwitch` on this run's command line and parameter file.
    bool HasSwitch(std::string_view word) const;

private:
    std::vector<std::string> m_arguments;
    const FileSystem& m_files;
    std::string m_paramFile;
};

}  // namespace ovin

#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "MachineReport.h"

namespace ovin {
class FileSystem;
}

namespace ovin::report {

/// Where the report's texts go: the table or the data to the output, the
/// messages for people to the error output.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(std::string_view text) = 0;
    virtual void err(std::string_view text) = 0;
};

enum class Format { Table, Csv, Json, Html };

/// A month file or a folder of them, and the machine it belongs to.
struct Source {
    std::string path;
    std::string name;  ///< empty: the folder's last part
};

struct Options {
    std::vector<Source> sources;
    Period period;
    Format format = Format::Table;
    std::string htmlFile;
    bool help = false;
};

/// The command line without the program's name, or the message that says
/// what is wrong with it.
std::variant<Options, std::string> parseArguments(const std::vector<std::string>& args);

/// Exit codes: the report was made (though some files may have been
/// unreadable), nothing could be read at all, the command line was wrong, the
/// page could not be written.
constexpr int kExitOk = 0;
constexpr int kExitNothingRead = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotWritten = 3;

/// Reads the logs the command line names and writes the report; the machines
/// are read side by side on all cores. Returns the exit code.
int runReport(const std::vector<std::string>& args, FileSystem& files, Console& console);

/// The machine a path belongs to when no name is given: the last part of the
/// folder, or of the folder a file lies in.
std::string defaultMachineName(const std::string& path, bool isFolder);

}  // namespace ovin::report

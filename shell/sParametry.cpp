#include "shell/sParametry.h"

#include <stdexcept>

#include "platform/FileSystem.h"
#include "settings/TextLines.h"
#include "watchdog/ProcessOps.h"

namespace ovin {

namespace {

// No switch is longer; a longer line is not kept whole, it cannot match.
constexpr std::size_t kMaxLineBytes = 4096;

// True when a line of the file, lower-cased, is `wanted`.
bool paramFileHas(const FileSystem& files, const std::string& path, const std::string& wanted)
{
    bool found = false;
    std::string line;
    bool overlong = false;
    auto endLine = [&] {
        found = !overlong && LowerCase(line) == wanted;
        line.clear();
        overlong = false;
        return !found;
    };
    LineSplitter lines;
    const Result read = files.readChunks(path, [&](std::string_view piece) {
        return lines.feed(
            piece,
            [&](std::string_view run) {
                if (line.size() + run.size() <= kMaxLineBytes)
                    line += run;
                else
                    overlong = true;
                return true;
            },
            endLine);
    });
    if (!read.ok)
        throw std::runtime_error("Cannot open file \"" + path + "\". " + read.error);
    if (!found && (!line.empty() || overlong))
        endLine();
    return found;
}

}  // namespace

bool HasSwitch(std::string_view word, const std::vector<std::string>& arguments, const std::string& paramFile,
               const FileSystem& files)
{
    const std::string wanted = LowerCase(word);
    bool found = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (LowerCase(arguments[i]) == wanted) {
            found = true;
            break;
        }
    }
    // The file is read anew on every call: it may be changed while we run.
    if (files.fileExists(paramFile) && paramFileHas(files, paramFile, wanted))
        found = true;
    return found;
}

bool Switches::HasSwitch(std::string_view word) const
{
    return ovin::HasSwitch(word, m_arguments, m_paramFile, m_files);
}

}  // namespace ovin

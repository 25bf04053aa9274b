#include "sParametry.h"

#include <QCoreApplication>
#include <QFile>

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"

namespace ovin {

namespace {

constexpr const char* kParamFile = "tmp_param";
// No switch is longer; a longer line is not kept whole, it cannot match.
constexpr std::size_t kMaxLineBytes = 4096;

const FileSystem& files()
{
    static const std::unique_ptr<FileSystem> fs = createFileSystem();
    return *fs;
}

// True when a line of the file, lower-cased, is `wanted`. The file is read
// in pieces: only a regular file is read, so a pipe or a device under that
// name never holds up the start, and a long file costs no memory.
bool paramFileHas(const std::string& path, const QString& wanted)
{
    bool found = false;
    std::string line;
    bool overlong = false;
    bool afterCr = false;
    auto endLine = [&] {
        found = !overlong && QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).toLower() == wanted;
        line.clear();
        overlong = false;
    };
    const Result read = files().readChunks(path, [&](std::string_view piece) {
        for (const char c : piece) {
            const bool crLf = afterCr && c == '\n';
            afterCr = c == '\r';
            if (crLf)
                continue;
            if (c == '\r' || c == '\n')
                endLine();
            else if (line.size() < kMaxLineBytes)
                line += c;
            else
                overlong = true;
            if (found)
                return false;
        }
        return true;
    });
    if (!read.ok)
        throw std::runtime_error("Cannot open file \"" + path + "\". " + read.error);
    if (!found && (!line.empty() || overlong))
        endLine();
    return found;
}

}  // namespace

bool HasSwitch(const QString& word, const QStringList& arguments, const QString& paramFile)
{
    const QString wanted = word.toLower();
    bool found = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].toLower() == wanted) {
            found = true;
            break;
        }
    }
    // The file is read anew on every call: it may be changed while we run.
    const std::string path = QFile::encodeName(paramFile).toStdString();
    if (files().fileExists(path) && paramFileHas(path, wanted))
        found = true;
    return found;
}

bool HasSwitch(const QString& word) { return HasSwitch(word, QCoreApplication::arguments(), kParamFile); }

}  // namespace ovin

#pragma once

#include <QString>
#include <QStringList>

namespace ovin {

/// True when `word` is a switch of this run: a command-line argument after
/// the program path, or a line of the file "tmp_param" in the current working
/// folder, compared whole and without regard to case. Only a regular file
/// counts as "tmp_param" (a pipe or a device under that name is no file), so
/// the test never waits. Throws std::runtime_error when "tmp_param" exists
/// but cannot be read.
bool HasSwitch(const QString& word);

/// The same test on given arguments (program path first) and parameter file.
bool HasSwitch(const QString& word, const QStringList& arguments, const QString& paramFile);

}  // namespace ovin

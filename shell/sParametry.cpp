#include "sParametry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <stdexcept>

namespace ovin {

namespace {

constexpr const char* kParamFile = "tmp_param";

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
    const QFileInfo info(paramFile);
    if (info.exists() && !info.isDir()) {
        QFile file(paramFile);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("Cannot open file \"" + paramFile.toStdString() + "\". " +
                                     file.errorString().toStdString());
        // The file is read anew on every call: it may be changed while we run.
        const QString text = QString::fromUtf8(file.readAll());
        const QStringList lines = text.split(QRegularExpression("\r\n|\r|\n"));
        for (const QString& line : lines) {
            if (line.toLower() == wanted) {
                found = true;
                break;
            }
        }
    }
    return found;
}

bool HasSwitch(const QString& word) { return HasSwitch(word, QCoreApplication::arguments(), kParamFile); }

}  // namespace ovin

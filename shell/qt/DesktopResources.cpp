#include "DesktopResources.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace ovin {

namespace {

// Metric twins of the fonts the window, the question dialog and the menu were
// laid out with. They lie outside the system's font path, so the program
// loads them itself when they are there; without them the controls grow to
// fit their captions. Not the bold Tahoma that comes with them: it draws as
// thin as the regular face, and wider; without it bold Tahoma is the regular
// face emboldened, which reads as bold.
constexpr const char* kWindowFonts[] = {
    "/usr/share/wine/fonts/ms_sans_serif.ttf",
    "/usr/share/wine/fonts/tahoma.ttf",
};

}  // namespace

void LoadDesktopResources(QApplication& app)
{
    for (const char* file : kWindowFonts) {
        const QString path = QString::fromLatin1(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }

    // Czech whatever the user's locale: the program's own texts are Czech, so
    // the standard boxes and the file dialog must not answer in another language.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    QGuiApplication::setDesktopFileName(QStringLiteral("ovin"));
}

}  // namespace ovin

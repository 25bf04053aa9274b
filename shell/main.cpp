#include <QApplication>

#include <cstdio>
#include <exception>

#include "Main.h"
#include "csTinyForm.h"
#include "platform/Platform.h"
#include "sParametry.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The window's close box only hides it; the watchdog lives on.
    app.setQuitOnLastWindowClosed(false);
    try {
        const bool show = ovin::HasSwitch(QStringLiteral("show"));
        ovin::TTinyForm::SetApplicationTitle(QStringLiteral("TrovanWatch"));
        ovin::Platform platform = ovin::createPlatform();
        ovin::TfmWex fmWex(platform);
        if (show)
            fmWex.show();
        return app.exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ovin: %s\n", e.what());
        return 1;
    }
}

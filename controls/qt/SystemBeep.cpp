#include "controls/qt/SystemBeep.h"

#include <QApplication>

#include <utility>

namespace ovin {

namespace {

BeepHandler& installedHandler()
{
    static BeepHandler handler;
    return handler;
}

} // namespace

void systemBeep()
{
    if (const BeepHandler& handler = installedHandler())
        handler();
    else
        QApplication::beep();
}

BeepHandler setBeepHandler(BeepHandler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

} // namespace ovin

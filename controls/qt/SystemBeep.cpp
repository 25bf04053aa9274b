#include "controls/qt/SystemBeep.h"

#include <QApplication>

namespace ovin {

void systemBeep() { QApplication::beep(); }

}  // namespace ovin

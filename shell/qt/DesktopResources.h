#pragma once

class QApplication;

namespace ovin {

/// What the program needs of the desktop before its first window: the fonts
/// its windows were laid out for, Qt's own dialogs in Czech like the rest of
/// the program, and the desktop file that names its icon.
void LoadDesktopResources(QApplication& app);

}  // namespace ovin

#pragma once

#include <string>

namespace ovin {

/// What the watchdog needs of the window that owns it: the visible side of
/// the watch cycle and the settings panel.
class WatchdogHost {
public:
    virtual ~WatchdogHost() = default;

    /// Handles every pending event (timer events included) and returns when
    /// none is left; does not wait for new ones.
    virtual void ProcessMessages() = 0;

    /// Puts the icon into the desktop's notification area; true when the
    /// desktop accepted it.
    virtual bool AddTrayIcon() = 0;

    /// Shows image `index` of the icon images (0 idle, 1 busy, 2 the idle
    /// image while the router keeps failing).
    virtual void SetTrayImage(int index) = 0;

    /// What the icon's tip says below the application's title: empty
    /// normally; while the router keeps failing, that it does and when it is
    /// tried next. Kept for an icon that is added later.
    virtual void SetTrayNotice(const std::string& notice) = 0;

    /// Colours the activity indicator: red while a tick runs.
    virtual void setActivity(bool busy) = 0;

    /// Copies the Watch settings into the settings panel.
    virtual void ShowSettings() = 0;

    /// The wait after launching the router, in seconds, as the settings panel
    /// shows it now.
    virtual int routerWaitSeconds() = 0;

    /// The application's error report: a message box with the text. Reports
    /// do not pile up while one is open.
    virtual void reportError(const std::string& text) = 0;
};

}  // namespace ovin

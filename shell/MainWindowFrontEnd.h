#pragma once

#include <string>

#include "shell/QuestionDialog.h"

namespace ovin {

/// What the main window's behaviour (`MainWindow`) asks of the front end that paints it: the window itself,
/// its dialogs, the icon and the event loop. Each call runs on the user-interface thread; the dialogs run a
/// nested event loop and return the user's answer.
class MainWindowFrontEnd {
public:
    virtual ~MainWindowFrontEnd() = default;

    /// `ShowForm`: makes the window visible and brings it to the front.
    virtual void ShowForm() = 0;
    /// Restores the window if it is minimised (before `ShowForm` on a hand-over).
    virtual void restoreWindow() = 0;
    /// Hides the window.
    virtual void hideWindow() = 0;

    /// `Confirm`: the question dialog with the caption "Dotaz:"; true when the answer was yes.
    virtual bool Confirm(const std::string& text, TMsgDlgType kind) = 0;
    /// The platform's plain message box with Yes (the default) and No and no icon (`kPlainBoxLook`), over the
    /// window, or in the middle of the screen when the window is not shown; the buttons' accelerator letters
    /// answer without Alt. True unless the answer was No.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    /// Shows the application's error report (a message box with the text and the application's title as
    /// caption) without waiting for it; the front end calls `MainWindow::errorReportClosed` when it is gone.
    virtual void showErrorReport(const std::string& text) = 0;
    /// Shows the application's error report as `showErrorReport` does, but returns only once it has been
    /// answered: the program ends right after, and a report left open would go with it unseen. Where there is
    /// no display to show it on, the standard error stream has had it.
    virtual void showFinalErrorReport(const std::string& text) = 0;

    /// `RemoveTrayIcon`: takes the icon out of the notification area; nothing when there is none.
    virtual void RemoveTrayIcon() = 0;
    /// Ends the event loop; the window's destruction then writes the settings.
    virtual void quit() = 0;
};

}  // namespace ovin

#pragma once

#include <string>
#include <string_view>

#include "controls/Geometry.h"
#include "settings/Texts.h"
#include "shell/PopupMenuTable.h"

namespace ovin {

/// The main window (`fmWex`) as both front ends draw it.
struct MainWindowLook {
    const char* caption = texts::kMainCaption;
    Size clientSize{590, 493};
    const char* fontName = "MS Sans Serif";
    int fontPt = 8;
    /// The log view (`Memo1`) above the settings panel.
    const char* logFontName = "Arial";
    int logFontPt = 8;
    Rgb logBackground{192, 192, 192};
};
inline constexpr MainWindowLook kMainWindowLook{};

/// The plain box that "Konec" asks in, as the desktop the program comes from draws its standard box: the text
/// centred over Yes and No, no pictures, the box in the middle of the screen when the window was never shown.
struct PlainBoxLook {
    int marginPx = 12;
    Size button{75, 23};
    int buttonGapPx = 6;
};
inline constexpr PlainBoxLook kPlainBoxLook{};

class MainWindowFrontEnd;
class ProcessTable;
class Watchdog;

/// Which mouse button an event is about.
enum class MouseButton { Left, Right, Middle, Other };

/// What the main window (`TfmWex`) decides, whatever paints it: the tray menu's commands, every way to end the
/// program, the hand-over from a later start and the error report that does not pile up. The front end
/// forwards its events here and does what `MainWindowFrontEnd` asks.
class MainWindow final {
public:
    MainWindow(Watchdog& watchdog, ProcessTable& processes, MainWindowFrontEnd& frontEnd);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    /// A command chosen in the tray icon's menu, run once the menu has closed.
    void RunMenuCommand(MenuCommand command);
    /// "Otevřít": shows the window.
    void Open1Click();
    /// "Ukončit Trovan + Ovin": asks, logs, ends every router process and quits.
    void UkonitTrovaniOvin1Click();
    /// "Konec": asks in a message box and quits unless the answer is No.
    void Exit1Click();

    /// Asked whenever something wants the window closed: hides the window and lets it close only while the
    /// session ends, writing the closing lines then.
    bool FormCloseQuery();
    /// The desktop session or the system is ending: the close is asked twice, as the desktop asks the window
    /// again before it lets the session end, and the program ends.
    void ShutdownQuery();
    /// The session ended under the program: the display is gone and the process ends on the spot, as when the
    /// display connection breaks or a desktop without a session manager ends. The run ends as a log-off does:
    /// the closing lines (twice, unless the session's end wrote them already) and the settings are written;
    /// nothing is shown any more, and later error reports go to the standard error stream only.
    void SessionLost();
    /// A mouse button went up on a free spot of the settings panel: the right one quits without a question.
    void Panel1MouseUp(MouseButton button);
    /// A text another start of the program handed over; "showform" (exactly) shows the window.
    void CopyDataReceived(std::string_view text);
    /// Ends the event loop.
    void Quit();
    /// The end of the run: writes the settings file. A failure is reported in a box that is answered before
    /// the program ends.
    void FormDestroy();

    /// The application's error report: always to the standard error stream, and in a box unless one is open
    /// already, so that an error that repeats every tick does not pile up boxes. At the end of the run the box
    /// is shown whatever is open, and answered before the program ends.
    void reportError(const std::string& text);
    /// The error report's box was closed.
    void errorReportClosed() { m_errorReportOpen = false; }

private:
    Watchdog& m_watchdog;
    ProcessTable& m_processes;
    MainWindowFrontEnd& m_frontEnd;
    bool m_shutdown = false;
    bool m_errorReportOpen = false;
    bool m_sessionLost = false;
    bool m_ending = false;
};

}  // namespace ovin

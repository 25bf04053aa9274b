#pragma once

#include <QEvent>
#include <QList>
#include <QWidget>

#include <deque>
#include <string>
#include <vector>

class QDialog;
class QPushButton;

namespace ovin {

class FileSystem;
class ProcessControl;

/// A string list that the caller owns.
using StringList = std::vector<std::string>;

/// The kinds of the question dialog; the kind picks its icon.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// True when the question dialog shows its debug captions: a file "/debug"
/// exists, or one of the words d, debug, -d, -debug is a switch of this run.
/// Any failure while testing counts as false.
bool IsDebugMode();

/// The base of the program's windows, with the services every one of them
/// needs.
class TTinyForm : public QWidget {
    Q_OBJECT
public:
    /// The notification `ShowForm` queues to the window itself.
    static constexpr QEvent::Type kAfterShowEvent = static_cast<QEvent::Type>(QEvent::User + 300);

    TTinyForm(const ProcessControl& process, const FileSystem& files, QWidget* parent = nullptr);

    /// The program's folder, ending with a separator; the same text for the
    /// form's whole life, even if the executable is moved meanwhile.
    const std::string& AppFolder() const;

    /// Handles every pending event, timer events included; does not wait.
    static void ProcessMessages();

    /// A new, empty list of strings.
    static StringList NewStringList() { return {}; }

    /// Makes the window visible and brings it to the front; `AfterShow` runs
    /// on a later pass of the event loop.
    void ShowForm();

    /// A yes/no question with the caption "Dotaz:".
    bool Confirm(const QString& text, TMsgDlgType kind);

    /// The restyled yes/no question: on top of every window, the text bold
    /// and centred under the icon, "&Ano" and "&Ne" (Enter answers yes; Esc
    /// and the close box no). True when the answer was yes.
    bool MessageDialog(const QString& caption, const QString& text, TMsgDlgType kind);

    /// The application's title: the tip of the tray icon and the caption of
    /// error reports.
    static QString ApplicationTitle();
    static void SetApplicationTitle(const QString& title);

    /// Answers the next questions without showing them (yes = true); for
    /// runs that nobody can answer, such as tests.
    static void QueueAnswer(bool yes);

protected:
    /// Runs after `ShowForm` has made the window visible.
    virtual void AfterShow() {}
    bool event(QEvent* event) override;

    /// Lets the accelerator letter of each button answer without Alt, as the
    /// standard dialogs of the desktop the program comes from do: a dialog
    /// with buttons only has no field that would take the letter.
    static void AnswerOnBareAccelerators(QDialog& dialog, const QList<QPushButton*>& buttons);

    /// Takes a queued answer if there is one.
    static bool takeQueuedAnswer(bool& yes);

private:
    const ProcessControl& m_process;
    const FileSystem& m_files;
    mutable std::string m_appFolder;
};

/// The direct base of the main window.
class TTinyFormSQL : public TTinyForm {
    Q_OBJECT
public:
    using TTinyForm::TTinyForm;
};

}  // namespace ovin

#pragma once

#include <QEvent>
#include <QList>
#include <QWidget>

#include <string>
#include <vector>

#include "shell/QuestionDialog.h"
#include "shell/WindowContext.h"

class QDialog;
class QLabel;
class QPushButton;

namespace ovin {

class FileSystem;
class ProcessControl;

/// A string list that the caller owns.
using StringList = std::vector<std::string>;

/// The base of the program's windows, with the services every one of them
/// needs.
class TTinyForm : public QWidget {
    Q_OBJECT
public:
    /// The notification `ShowForm` queues to the window itself.
    static constexpr QEvent::Type kAfterShowEvent = static_cast<QEvent::Type>(QEvent::User + 300);

    TTinyForm(const ProcessControl& process, const FileSystem& files, const WindowContext& context,
              QWidget* parent = nullptr);

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
    QString ApplicationTitle() const;
    void SetApplicationTitle(const QString& title);

protected:
    /// The widgets of the question dialog that the restyle moves.
    struct QuestionParts {
        QLabel* icon;  ///< null for the custom kind
        QLabel* text;
        QPushButton* yes;
        QPushButton* no;
        /// Where the plain dialog put them.
        question::Layout plain;
    };

    /// The answers queued for the dialogs, or null: the dialogs are shown.
    DialogAnswers* queuedAnswers() const { return m_context.answers; }

    /// Runs after `ShowForm` has made the window visible.
    virtual void AfterShow() {}
    bool event(QEvent* event) override;

    /// Lets the accelerator letter of each button answer without Alt, as the
    /// standard dialogs of the desktop the program comes from do: a dialog
    /// with buttons only has no field that would take the letter.
    static void AnswerOnBareAccelerators(QDialog& dialog, const QList<QPushButton*>& buttons);

private:
    /// The platform's standard question: icon at the top left, the text beside it, the buttons centred below.
    QuestionParts buildPlainQuestion(QDialog& dialog, const QString& text, TMsgDlgType kind) const;
    /// Steps 2 to 6 of the restyle: on top, the caption, "Tahoma", the layout and the captions.
    void restyleQuestion(QDialog& dialog, const QuestionParts& parts, const QString& caption) const;
    /// Puts the parts where `layout` says and gives the dialog its size.
    static void placeQuestion(QDialog& dialog, const QuestionParts& parts, const question::Layout& layout);

    const ProcessControl& m_process;
    const FileSystem& m_files;
    WindowContext m_context;
    mutable std::string m_appFolder;
};

/// The direct base of the main window.
class TTinyFormSQL : public TTinyForm {
    Q_OBJECT
public:
    using TTinyForm::TTinyForm;
};

}  // namespace ovin

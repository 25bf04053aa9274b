#pragma once

#include <QWidget>

#include <string>
#include <vector>

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
    TTinyForm(const ProcessControl& process, const FileSystem& files, QWidget* parent = nullptr);

    /// The program's folder, ending with a separator; the same text for the
    /// form's whole life, even if the executable is moved meanwhile.
    const std::string& AppFolder() const;

    /// Handles every pending event, timer events included; does not wait.
    static void ProcessMessages();

    /// A new, empty list of strings.
    static StringList NewStringList() { return {}; }

    /// Makes the window visible and brings it to the front.
    void ShowForm();

    /// The application's title: the tip of the tray icon and the caption of
    /// error reports.
    static QString ApplicationTitle();
    static void SetApplicationTitle(const QString& title);

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

#include "csTinyForm.h"

#include <QCoreApplication>

#include "platform/ProcessControl.h"
#include "watchdog/Watchdog.h"

namespace ovin {

namespace {

QString& applicationTitle()
{
    static QString title;
    return title;
}

}  // namespace

TTinyForm::TTinyForm(const ProcessControl& process, const FileSystem& files, QWidget* parent)
    : QWidget(parent), m_process(process), m_files(files)
{
}

const std::string& TTinyForm::AppFolder() const
{
    if (m_appFolder.empty())
        m_appFolder = Watchdog::AppFolderOf(m_process.executablePath(), m_files);
    return m_appFolder;
}

void TTinyForm::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TTinyForm::ShowForm()
{
    show();
    raise();
    activateWindow();
}

QString TTinyForm::ApplicationTitle() { return applicationTitle(); }

void TTinyForm::SetApplicationTitle(const QString& title) { applicationTitle() = title; }

}  // namespace ovin

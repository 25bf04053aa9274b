#include "Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "LogView.h"
#include "SettingsPanel.h"
#include "controls/qt/ckSpinEditX.h"
#include "TrayIcon.h"
#include "platform/Platform.h"
#include "shell/DialogAnswers.h"
#include "shell/SettingsPanelTable.h"
#include "shell/TrayEvents.h"

namespace ovin::qt {

namespace {

WatchdogServices servicesOf(Platform& p)
{
    return {*p.files, *p.clock,    *p.process, *p.processes,      *p.launcher,
            *p.http,  *p.commands, *p.machine, p.systemLog.get(), p.publisher.get()};
}

void colourPanel(QWidget* panel, const QColor& colour)
{
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
}

}  // namespace

TfmWex::TfmWex(Platform& platform, const WindowContext& context, QWidget* parent)
    : TTinyFormSQL(*platform.process, *platform.files, context, parent), m_platform(platform)
{
    setObjectName(QStringLiteral("fmWex"));
    const MainWindowLook& look = kMainWindowLook;
    setWindowTitle(QString::fromUtf8(look.caption));
    resize(look.clientSize.width, look.clientSize.height);
    setFont(QFont(QString::fromUtf8(look.fontName), look.fontPt));
    setAutoFillBackground(true);
    colourPanel(this, palette().color(QPalette::Button));

    setWindowIcon(TrayIcon::windowIcon());
    m_tray = new TrayIcon(this);
    connect(m_tray, &TrayIcon::showFormRequested, this, &TfmWex::ShowForm);
    connect(m_tray, &TrayIcon::bringToFront, this, [this] {
        if (isVisible()) {
            raise();
            activateWindow();
        }
    });
    connect(m_tray, &TrayIcon::Open1Click, this, &TfmWex::Open1Click);
    connect(m_tray, &TrayIcon::UkonitTrovaniOvin1Click, this, &TfmWex::UkonitTrovaniOvin1Click);
    connect(m_tray, &TrayIcon::Exit1Click, this, &TfmWex::Exit1Click);

    m_watchdog = std::make_unique<Watchdog>(servicesOf(platform), AppFolder(), *this, m_trayTimer, m_timer1,
                                            context.logCapacity);
    m_logic = std::make_unique<MainWindow>(*m_watchdog, *platform.processes, static_cast<MainWindowFrontEnd&>(*this));

    m_logView = std::make_unique<LogView>(m_watchdog->log(), this);
    Memo1 = m_logView.get();
    m_panel = std::make_unique<SettingsPanel>(m_watchdog->conf(), context.answers, this);
    Panel1 = m_panel.get();
    Panel1->setFixedHeight(kPanelHeightPx);
    Panel1->installEventFilter(this);
    colourPanel(Panel1->pActive, palette().color(QPalette::Button));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    layout->addWidget(Panel1);

    FormCreate();
}

TfmWex::~TfmWex()
{
    // A report still open outlives the behaviour it would tell of its end.
    if (m_errorBox)
        disconnect(m_errorBox, nullptr, this, nullptr);
    FormDestroy();
}

void TfmWex::FormCreate()
{
    SetApplicationTitle(QString::fromUtf8(texts::kApplicationTitle));
    m_watchdog->FormCreate();
}

void TfmWex::FormDestroy()
{
    m_trayTimer.setEnabled(false);
    m_timer1.setEnabled(false);
    m_logic->FormDestroy();
    RemoveTrayIcon();
}

void TfmWex::ProcessMessages() { TTinyForm::ProcessMessages(); }

bool TfmWex::AddTrayIcon() { return m_tray->AddTrayIcon(ApplicationTitle()); }

void TfmWex::SetTrayImage(int index) { m_tray->SetTrayImage(index); }

void TfmWex::SetTrayNotice(const std::string& notice) { m_tray->SetTrayNotice(QString::fromStdString(notice)); }

void TfmWex::RemoveTrayIcon() { m_tray->RemoveTrayIcon(); }

void TfmWex::setActivity(bool busy)
{
    colourPanel(Panel1->pActive,
                busy ? QColor(kActivityBusyColour.red, kActivityBusyColour.green, kActivityBusyColour.blue)
                     : palette().color(QPalette::Button));
}

void TfmWex::ShowSettings() { Panel1->ShowSettings(); }

// The field, not the record: a wait typed into it counts from the next launch
// on, before "ULOŽIT".
int TfmWex::routerWaitSeconds() { return Panel1->seWait->Value(); }

void TfmWex::reportError(const std::string& text) { m_logic->reportError(text); }

void TfmWex::showErrorReport(const std::string& text)
{
    auto* box = new QMessageBox(QMessageBox::Critical, ApplicationTitle(), QString::fromStdString(text),
                                QMessageBox::Ok, isVisible() ? this : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(true);
    m_errorBox = box;
    connect(box, &QObject::destroyed, this, [this] { m_logic->errorReportClosed(); });
    box->show();
}

void TfmWex::showFinalErrorReport(const std::string& text)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

void TfmWex::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TfmWex::showEvent(QShowEvent* event)
{
    // Centred the first time only: later the window comes back where the
    // user left it.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* s = screen())
            move(s->geometry().center() - QPoint(width() / 2, height() / 2));
    }
    TTinyFormSQL::showEvent(event);
}

bool TfmWex::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::MouseButtonRelease) {
        // A release that a control inside the panel did not take reaches the
        // panel as well; only one on a free spot of the panel counts.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!Panel1->childAt(mouse->position().toPoint()))
            m_logic->Panel1MouseUp(mouse->button() == Qt::RightButton  ? MouseButton::Right
                                   : mouse->button() == Qt::LeftButton ? MouseButton::Left
                                                                       : MouseButton::Other);
    }
    return TTinyFormSQL::eventFilter(watched, event);
}

void TfmWex::restoreWindow()
{
    if (isMinimized())
        showNormal();
}

bool TfmWex::Confirm(const std::string& text, TMsgDlgType kind)
{
    return TTinyFormSQL::Confirm(QString::fromStdString(text), kind);
}

bool TfmWex::askYesNo(const std::string& caption, const std::string& text)
{
    if (const std::optional<bool> queued = TakeQueuedQuestion(queuedAnswers()))
        return *queued;
    return PlainQuestionBox(QString::fromStdString(caption), QString::fromStdString(text));
}

// The desktop's own standard box with Yes and No and no icon, as the system
// the program comes from shows it: its text centred over the two buttons, no
// pictures on them, in the middle of the screen (a window that was never
// shown is no place to centre on).
bool TfmWex::PlainQuestionBox(const QString& caption, const QString& text)
{
    const PlainBoxLook& look = kPlainBoxLook;
    QDialog box(isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("PlainQuestionBox"));
    box.setWindowTitle(caption);
    auto* label = new QLabel(text, &box);
    label->setObjectName(QStringLiteral("Message"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    auto* yes = new QPushButton(QString::fromUtf8(question::YesCaption(false)), &box);
    auto* no = new QPushButton(QString::fromUtf8(question::NoCaption(false)), &box);
    yes->setObjectName(QStringLiteral("Yes"));
    no->setObjectName(QStringLiteral("No"));
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, &box, &QDialog::accept);
    connect(no, &QPushButton::clicked, &box, &QDialog::reject);
    AnswerOnBareAccelerators(box, {yes, no});

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(look.buttonGapPx);
    buttons->addStretch(1);
    for (QPushButton* button : {yes, no}) {
        button->setFixedSize(look.button.width, look.button.height);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(look.marginPx, look.marginPx, look.marginPx, look.marginPx);
    layout->setSpacing(look.marginPx);
    layout->addWidget(label);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    box.adjustSize();
    if (const QScreen* s = isVisible() ? screen() : QGuiApplication::primaryScreen())
        box.move(s->geometry().center() - box.rect().center());
    return box.exec() == QDialog::Accepted;
}

}  // namespace ovin::qt

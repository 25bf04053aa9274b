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

#include <cstdio>

#include "LogView.h"
#include "SettingsPanel.h"
#include "controls/ckSpinEditX.h"
#include "TrayIcon.h"
#include "platform/Platform.h"
#include "watchdog/ProcessOps.h"

namespace ovin {

namespace {

constexpr int kClientWidthPx = 590;
constexpr int kClientHeightPx = 493;
constexpr int kPanelHeightPx = 130;
constexpr int kFontPt = 8;
// The standard box's own metrics.
constexpr int kBoxMarginPx = 12;
constexpr int kBoxButtonWidthPx = 75;
constexpr int kBoxButtonHeightPx = 23;
constexpr int kBoxButtonGapPx = 6;

WatchdogServices servicesOf(Platform& p)
{
    return {*p.files, *p.clock, *p.process, *p.processes, *p.launcher};
}

void colourPanel(QWidget* panel, const QColor& colour)
{
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
}

}  // namespace

TfmWex::TfmWex(Platform& platform, QWidget* parent)
    : TTinyFormSQL(*platform.process, *platform.files, parent), m_platform(platform)
{
    setObjectName(QStringLiteral("fmWex"));
    setWindowTitle(QStringLiteral("OVIN v. 3.3"));
    resize(kClientWidthPx, kClientHeightPx);
    setFont(QFont(QStringLiteral("MS Sans Serif"), kFontPt));
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

    m_watchdog = std::make_unique<Watchdog>(servicesOf(platform), AppFolder(), *this, m_trayTimer, m_timer1);

    m_logView = std::make_unique<LogView>(m_watchdog->log(), this);
    Memo1 = m_logView.get();
    m_panel = std::make_unique<SettingsPanel>(m_watchdog->conf(), this);
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

TfmWex::~TfmWex() { FormDestroy(); }

void TfmWex::FormCreate()
{
    SetApplicationTitle(QStringLiteral("Trovan Watch"));
    m_watchdog->FormCreate();
}

void TfmWex::FormDestroy()
{
    m_trayTimer.setEnabled(false);
    m_timer1.setEnabled(false);
    m_watchdog->FormDestroy();
    RemoveTrayIcon();
}

void TfmWex::ProcessMessages() { TTinyForm::ProcessMessages(); }

bool TfmWex::AddTrayIcon() { return m_tray->AddTrayIcon(ApplicationTitle()); }

void TfmWex::SetTrayImage(int index) { m_tray->SetTrayImage(index); }

void TfmWex::RemoveTrayIcon() { m_tray->RemoveTrayIcon(); }

void TfmWex::setActivity(bool busy)
{
    colourPanel(Panel1->pActive, busy ? QColor(255, 0, 0) : palette().color(QPalette::Button));
}

void TfmWex::ShowSettings() { Panel1->ShowSettings(); }

// The field, not the record: a wait typed into it counts from the next launch
// on, before "ULOŽIT".
int TfmWex::routerWaitSeconds() { return Panel1->seWait->Value(); }

void TfmWex::reportError(const std::string& text)
{
    std::fprintf(stderr, "ovin: %s\n", text.c_str());
    if (m_sessionLost)
        return;
    // An error that repeats every tick must not pile up boxes: while one is
    // open, later reports go to the standard error stream only.
    if (m_errorBox)
        return;
    m_errorBox = new QMessageBox(QMessageBox::Critical, ApplicationTitle(), QString::fromStdString(text),
                                 QMessageBox::Ok, isVisible() ? this : nullptr);
    m_errorBox->setAttribute(Qt::WA_DeleteOnClose);
    m_errorBox->setModal(true);
    m_errorBox->show();
}

bool TfmWex::FormCloseQuery()
{
    if (m_shutdown)
        RemoveTrayIcon();
    const bool canClose = m_shutdown;
    if (canClose)
        m_watchdog->AddClosingLines();
    hide();
    return canClose;
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
            Panel1MouseUp(mouse->button());
    }
    return TTinyFormSQL::eventFilter(watched, event);
}

// The quiet way out: no question asked.
void TfmWex::Panel1MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        Quit();
}

void TfmWex::Quit() { emit quitRequested(); }

void TfmWex::Open1Click() { ShowForm(); }

void TfmWex::UkonitTrovaniOvin1Click()
{
    const QString question = QStringLiteral("Opravdu chcete ukončit programy Trovan a Ovin ?");
    if (!Confirm(question, TMsgDlgType::mtWarning))
        return;
    try {
        Watchdog& wd = *m_watchdog;
        wd.log().AddLogLine(question.toStdString() + " - ANO");
        if (IsProcessRunning(*m_platform.processes, kRouterExeName)) {
            wd.log().AddLogLine("Ukoncuji Trovan");
            TerminateProcessByName(*m_platform.processes, kRouterExeName);
        }
    } catch (const std::exception& e) {
        reportError(e.what());
    }
    Quit();
}

void TfmWex::Exit1Click()
{
    bool yes = true;
    if (!takeQueuedAnswer(yes))
        yes = PlainQuestionBox(QStringLiteral("Ukončení"), QStringLiteral("Ukončit program Ovin ?"));
    if (yes)
        Quit();
}

// The desktop's own standard box with Yes and No and no icon, as the system
// the program comes from shows it: its text centred over the two buttons, no
// pictures on them, in the middle of the screen (a window that was never
// shown is no place to centre on).
bool TfmWex::PlainQuestionBox(const QString& caption, const QString& text)
{
    QDialog box(isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("PlainQuestionBox"));
    box.setWindowTitle(caption);
    auto* label = new QLabel(text, &box);
    label->setObjectName(QStringLiteral("Message"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    auto* yes = new QPushButton(QStringLiteral("&Ano"), &box);
    auto* no = new QPushButton(QStringLiteral("&Ne"), &box);
    yes->setObjectName(QStringLiteral("Yes"));
    no->setObjectName(QStringLiteral("No"));
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, &box, &QDialog::accept);
    connect(no, &QPushButton::clicked, &box, &QDialog::reject);
    AnswerOnBareAccelerators(box, {yes, no});

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kBoxButtonGapPx);
    buttons->addStretch(1);
    for (QPushButton* button : {yes, no}) {
        button->setFixedSize(kBoxButtonWidthPx, kBoxButtonHeightPx);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(kBoxMarginPx, kBoxMarginPx, kBoxMarginPx, kBoxMarginPx);
    layout->setSpacing(kBoxMarginPx);
    layout->addWidget(label);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    box.adjustSize();
    if (const QScreen* s = isVisible() ? screen() : QGuiApplication::primaryScreen())
        box.move(s->geometry().center() - box.rect().center());
    return box.exec() == QDialog::Accepted;
}

void TfmWex::ShutdownQuery()
{
    m_shutdown = true;
    // The close is asked twice on this path, as the desktop asks the window
    // again before it lets the session end; both times the log gets its
    // closing lines.
    FormCloseQuery();
    FormCloseQuery();
    Quit();
}

void TfmWex::SessionLost()
{
    m_sessionLost = true;
    // The log view would repaint for each new line, on a display that is gone.
    m_watchdog->log().setObserver(nullptr);
    if (!m_shutdown) {
        m_shutdown = true;
        // Twice, as on a log-off, where the desktop asks the window twice.
        m_watchdog->AddClosingLines();
        m_watchdog->AddClosingLines();
    }
    m_watchdog->FormDestroy();
}

void TfmWex::CopyDataReceived(const QString& text)
{
    if (text != QLatin1String("showform"))
        return;
    if (isMinimized())
        showNormal();
    ShowForm();
}

}  // namespace ovin

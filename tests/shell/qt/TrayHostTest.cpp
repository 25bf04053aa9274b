// The tray icon on an X desktop with a real tray host (trayer on Xvfb): refused until the host runs, shown with
// the chosen image, answering real clicks, and gone for good after the balloon-hidden notice.

#include "shell/qt/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace ovin;

namespace {

constexpr int kWaitMs = 10000;

/// The window that the tray host embeds: the icon as the X server sees it.
QWidget* trayWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QSystemTrayIconSys") && widget->isVisible())
            return widget;
    return nullptr;
}

/// Watches for the icon's menu while clicks are under way, and closes it (Escape) as soon as it is up.
class MenuWatch {
public:
    explicit MenuWatch(const TrayIcon& tray)
    {
        // The menu's own event loop runs inside the click's handling, so only a timer can see it open.
        QObject::connect(&m_poll, &QTimer::timeout, [this, &tray] {
            if (QApplication::activePopupWidget() == tray.PopupMenu1()) {
                ++m_seen;
                QTest::keyClick(tray.PopupMenu1(), Qt::Key_Escape);
            }
        });
        m_poll.start(20);
    }
    int seen() const { return m_seen; }

private:
    QTimer m_poll;
    int m_seen = 0;
};

/// Clicks `button` in the middle of the icon with xdotool, once the tray host shows the icon on the screen.
bool clickIcon(int button)
{
    // Qt deletes the icon's window and makes a new one whenever it sees the tray host (re)appear, which a loaded
    // machine may report late, while the wait below runs the event loop: the window is looked up afresh on every
    // pass and never held across one.
    WId id = 0;
    QSize size;
    const bool exposed = QTest::qWaitFor(
        [&] {
            const QWidget* icon = trayWindow();
            if (!icon || !icon->windowHandle() || !icon->windowHandle()->isExposed())
                return false;
            id = icon->winId();
            size = icon->size();
            return true;
        },
        kWaitMs);
    if (!exposed)
        return false;
    return QProcess::execute(QStringLiteral("xdotool"),
                             {"mousemove", "--window", QString::number(id), QString::number(size.width() / 2),
                              QString::number(size.height() / 2), "click", QString::number(button)}) == 0;
}

}  // namespace

class TrayHostTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void iconLifecycle();

private:
    QProcess m_trayHost;  // stopped with the test, by its own process handle
};

void TrayHostTest::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display of its own (run under xvfb-run)");
}

void TrayHostTest::iconLifecycle()
{
    TrayIcon tray;
    QSignalSpy shown(&tray, &TrayIcon::showFormRequested);
    QSignalSpy broughtToFront(&tray, &TrayIcon::bringToFront);
    const QString longTip(200, u'x');

    tray.SetTrayImage(TrayIcon::kBusyImage);
    QVERIFY(!tray.AddTrayIcon(longTip));
    m_trayHost.start(QStringLiteral("trayer"), {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width",
                                                "64", "--heighttype", "pixel", "--height", "32", "--expand", "false"});
    QVERIFY2(m_trayHost.waitForStarted(kWaitMs), "cannot start trayer");
    QTRY_VERIFY_WITH_TIMEOUT(tray.AddTrayIcon(longTip), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(trayWindow() != nullptr, kWaitMs);

    const QSystemTrayIcon* icon = tray.findChild<QSystemTrayIcon*>();
    QCOMPARE(icon->toolTip(), QString(127, u'x'));
    QVERIFY(!icon->contextMenu());
    // The image chosen before the icon existed, then the idle one.
    QCOMPARE(icon->icon().pixmap(32, 32).toImage(), TrayIcon::image(TrayIcon::kBusyImage).toImage());
    tray.SetTrayImage(TrayIcon::kIdleImage);
    QCOMPARE(icon->icon().pixmap(32, 32).toImage(), TrayIcon::image(TrayIcon::kIdleImage).toImage());

    // A loaded machine may deliver a click late, so each wait is bounded by the outcome, not by a fixed time.
    MenuWatch menu(tray);
    QVERIFY(clickIcon(1));
    QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, kWaitMs);
    QCOMPARE(menu.seen(), 0);
    QVERIFY(clickIcon(3));
    QTRY_COMPARE_WITH_TIMEOUT(menu.seen(), 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(broughtToFront.count(), 1, kWaitMs);
    QCOMPARE(shown.count(), 1);

    tray.TrayIconMessage(1027);
    QVERIFY(!trayWindow());
    tray.SetTrayImage(TrayIcon::kBusyImage);
    QVERIFY(!tray.AddTrayIcon(longTip));
    QTRY_VERIFY_WITH_TIMEOUT(tray.findChildren<QSystemTrayIcon*>().isEmpty(), kWaitMs);
    QVERIFY(!trayWindow());
}

QTEST_MAIN(TrayHostTest)
#include "TrayHostTest.moc"

// The tray icon on a desktop without a tray: the event codes, the menu opened by code and the command that
// follows it, and the pictures.

#include "PixelTestSupport.h"

#include "shell/qt/PopupMenu.h"
#include "shell/qt/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ovin;
using namespace ovin::test;

namespace {

constexpr int kMenuWaitMs = 5000;

/// Counts every signal of the icon: showFormRequested, bringToFront, Open1Click, UkonitTrovaniOvin1Click,
/// Exit1Click, in this order.
class SignalCounts {
public:
    explicit SignalCounts(TrayIcon& tray)
        : m_spies{{&tray, &TrayIcon::showFormRequested},
                  {&tray, &TrayIcon::bringToFront},
                  {&tray, &TrayIcon::Open1Click},
                  {&tray, &TrayIcon::UkonitTrovaniOvin1Click},
                  {&tray, &TrayIcon::Exit1Click}}
    {
    }

    QList<int> counts() const
    {
        QList<int> result;
        for (const QSignalSpy& spy : m_spies)
            result << int(spy.count());
        return result;
    }

private:
    QSignalSpy m_spies[5];
};

QImage imageOf(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class TrayIconTest : public QObject {
    Q_OBJECT

private slots:
    void eventCodes_data();
    void eventCodes();
    void noTrayNoIcon();
    void tipCarriesTheNotice_data();
    void tipCarriesTheNotice();
    void menuCommands_data();
    void menuCommands();
    void pictures_data();
    void pictures();
    void menuPosition_data();
    void menuPosition();
    void menuLargerThanTheScreen();
};

void TrayIconTest::eventCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("513 left button pressed") << 513 << QList<int>{1, 0, 0, 0, 0};
    QTest::newRow("514 left button released") << 514 << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("517 right button released") << 517 << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("1027 balloon hidden") << 1027 << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("0") << 0 << QList<int>{0, 0, 0, 0, 0};
}

void TrayIconTest::eventCodes()
{
    QFETCH(int, code);
    QFETCH(QList<int>, counts);

    TrayIcon tray;
    SignalCounts signalCounts(tray);
    tray.TrayIconMessage(code);
    QCoreApplication::processEvents();
    QCOMPARE(signalCounts.counts(), counts);
    QVERIFY(!tray.PopupMenu1()->isVisible());
}

void TrayIconTest::noTrayNoIcon()
{
    // The offscreen desktop has no tray: the icon is refused every time, and nothing breaks around it.
    TrayIcon tray;
    tray.SetTrayImage(TrayIcon::kBusyImage);
    QVERIFY(!tray.AddTrayIcon(QStringLiteral("Trovan Watch")));
    tray.RemoveTrayIcon();
    tray.RemoveTrayIcon();
    tray.TrayIconMessage(1027);
    QVERIFY(!tray.AddTrayIcon(QStringLiteral("Trovan Watch")));
    QVERIFY(tray.findChildren<QObject*>().isEmpty());
}

void TrayIconTest::tipCarriesTheNotice_data()
{
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("tip");

    const QString failing = QStringLiteral("Trovan opakovaně padá - další pokus v 14:05:32");
    QTest::newRow("none") << QString() << QStringLiteral("Trovan Watch");
    QTest::newRow("pause") << failing << QStringLiteral("Trovan Watch\n") + failing;
    QTest::newRow("cut") << QString(200, QLatin1Char('x'))
                         << QStringLiteral("Trovan Watch\n") + QString(114, QLatin1Char('x'));
}

void TrayIconTest::tipCarriesTheNotice()
{
    QFETCH(QString, notice);
    QFETCH(QString, tip);
    // Told before the icon exists, as the first pause may be: the icon takes it when it is added.
    TrayIcon tray;
    tray.SetTrayNotice(notice);
    tray.AddTrayIcon(QStringLiteral("Trovan Watch"));
    QCOMPARE(tray.tip(), tip);
    tray.SetTrayNotice(QString());
    QCOMPARE(tray.tip(), QStringLiteral("Trovan Watch"));
}

void TrayIconTest::menuCommands_data()
{
    QTest::addColumn<int>("downPresses");
    QTest::addColumn<int>("closingKey");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("Otevřít") << 1 << int(Qt::Key_Return) << QList<int>{0, 1, 1, 0, 0};
    QTest::newRow("Ukončit Trovan + Ovin") << 2 << int(Qt::Key_Return) << QList<int>{0, 1, 0, 1, 0};
    QTest::newRow("Konec, past the separator") << 3 << int(Qt::Key_Enter) << QList<int>{0, 1, 0, 0, 1};
    QTest::newRow("Escape chooses nothing") << 2 << int(Qt::Key_Escape) << QList<int>{0, 1, 0, 0, 0};
}

void TrayIconTest::menuCommands()
{
    QFETCH(int, downPresses);
    QFETCH(int, closingKey);
    QFETCH(QList<int>, counts);

    TrayIcon tray;
    QMenu* menu = tray.PopupMenu1();
    SignalCounts signalCounts(tray);
    const QPoint cursor(210, 140);
    QCursor::setPos(cursor);
    QTRY_COMPARE(QCursor::pos(), cursor);

    QList<int> countsWhileOpen;
    QPoint openedAt;
    QTimer::singleShot(0, this, [&] {
        if (QApplication::activePopupWidget() != menu)
            return;
        countsWhileOpen = signalCounts.counts();
        openedAt = menu->pos();
        for (int i = 0; i < downPresses; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key(closingKey));
    });
    // Should the keys miss the menu, this closes it so that the test fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, menu, &QMenu::close);
    guard.start(kMenuWaitMs);

    tray.TrayIconMessage(516);
    QVERIFY(guard.isActive());
    QCOMPARE(countsWhileOpen, (QList<int>{0, 1, 0, 0, 0}));
    QCOMPARE(openedAt, cursor);
    // The command comes only after the menu has closed and the event code's handling has returned.
    QVERIFY(!menu->isVisible());
    QCOMPARE(signalCounts.counts(), (QList<int>{0, 1, 0, 0, 0}));
    QTRY_COMPARE_WITH_TIMEOUT(signalCounts.counts(), counts, kMenuWaitMs);
    QTest::qWait(50);
    QCOMPARE(signalCounts.counts(), counts);
}

void TrayIconTest::pictures_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<bool>("blackLines");
    QTest::addColumn<bool>("redEyes");
    QTest::addColumn<bool>("warningMark");

    QTest::newRow("idle") << imageOf(TrayIcon::image(TrayIcon::kIdleImage)) << false << false << false;
    QTest::newRow("busy") << imageOf(TrayIcon::image(TrayIcon::kBusyImage)) << false << true << false;
    QTest::newRow("warning") << imageOf(TrayIcon::image(TrayIcon::kWarningImage)) << false << false << true;
    QTest::newRow("window") << imageOf(TrayIcon::windowIcon().pixmap(32, 32)) << true << false << false;
}

void TrayIconTest::pictures()
{
    QFETCH(QImage, image);
    QFETCH(bool, blackLines);
    QFETCH(bool, redEyes);
    QFETCH(bool, warningMark);

    QCOMPARE(image.size(), QSize(32, 32));
    for (const QRect& corner : {QRect(0, 0, 3, 3), QRect(29, 0, 3, 3), QRect(0, 29, 3, 3), QRect(29, 29, 3, 3)})
        QCOMPARE(countPixels(image, corner, [](QColor c) { return c.alpha() == 0; }), 9);
    const auto isLine = [&](QColor c) {
        const bool grey = std::abs(c.red() - c.green()) < 12 && std::abs(c.green() - c.blue()) < 12;
        return c.alpha() > 200 && grey && (blackLines ? c.red() < 40 : c.red() > 60 && c.red() < 200);
    };
    QVERIFY(countPixels(image, QRect(0, 0, 32, 21), isLine) > 60);  // the head
    // The neckerchief; the warning triangle covers its right half.
    QVERIFY(warningMark ? countPixels(image, QRect(6, 21, 10, 11), isRed) > 20
                        : countPixels(image, QRect(6, 21, 20, 11), isRed) > 40);
    const int redEyePixels = countPixels(image, QRect(8, 6, 16, 9), isRed);
    QVERIFY2(redEyes ? redEyePixels >= 6 : redEyePixels == 0, qPrintable(QString::number(redEyePixels)));

    // Busy is idle with other eyes.
    if (redEyes)
        QCOMPARE(image.copy(0, 16, 32, 16), imageOf(TrayIcon::image(TrayIcon::kIdleImage)).copy(0, 16, 32, 16));
    // The warning image is idle with a yellow triangle over the bottom right corner, which reads at 16 pixels.
    const auto isYellow = [](QColor c) { return c.alpha() > 200 && c.red() > 200 && c.green() > 160 && c.blue() < 80; };
    const int yellow = countPixels(image, QRect(16, 16, 16, 16), isYellow);
    QVERIFY2(warningMark ? yellow >= 40 : yellow == 0, qPrintable(QString::number(yellow)));
    if (warningMark)
        QCOMPARE(image.copy(0, 0, 16, 32), imageOf(TrayIcon::image(TrayIcon::kIdleImage)).copy(0, 0, 16, 32));
    QVERIFY(TrayIcon::image(kTrayImageCount).isNull());
}

QTEST_MAIN(TrayIconTest)
// A 1920 x 1080 screen, a 130 x 100 menu; the panel at one edge, 30 pixels deep, or none.
void TrayIconTest::menuPosition_data()
{
    QTest::addColumn<bool>("cursorKnown");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");

    const QRect whole(0, 0, 1920, 1080);
    const QRect bottomPanel(0, 0, 1920, 1050);
    const QRect topPanel(0, 30, 1920, 1050);
    const QRect leftPanel(30, 0, 1890, 1080);
    const QRect rightPanel(0, 0, 1890, 1080);

    QTest::newRow("cursor with room: at the cursor") << true << QPoint(500, 400) << whole << QPoint(500, 400);
    QTest::newRow("tray at the bottom right: up and to the left")
        << true << QPoint(1900, 1060) << bottomPanel << QPoint(1770, 950);
    QTest::newRow("tray at the top right: down and to the left")
        << true << QPoint(1900, 10) << topPanel << QPoint(1770, 30);
    QTest::newRow("cursor at the left edge of a bottom panel")
        << true << QPoint(5, 1065) << bottomPanel << QPoint(5, 950);
    QTest::newRow("cursor unknown, panel at the top") << false << QPoint() << topPanel << QPoint(1790, 30);
    QTest::newRow("cursor unknown, panel at the bottom") << false << QPoint() << bottomPanel << QPoint(1790, 950);
    QTest::newRow("cursor unknown, panel at the left") << false << QPoint() << leftPanel << QPoint(30, 980);
    QTest::newRow("cursor unknown, panel at the right") << false << QPoint() << rightPanel << QPoint(1760, 980);
    QTest::newRow("cursor unknown, no panel") << false << QPoint() << whole << QPoint(1790, 980);
    QTest::newRow("no free area: the whole screen counts") << false << QPoint() << QRect() << QPoint(1790, 980);
}

void TrayIconTest::menuPosition()
{
    QFETCH(bool, cursorKnown);
    QFETCH(QPoint, cursor);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);

    const std::optional<QPoint> given = cursorKnown ? std::optional<QPoint>(cursor) : std::nullopt;
    QCOMPARE(TrayIcon::menuPosition(given, QRect(0, 0, 1920, 1080), available, QSize(130, 100)), expected);
}

void TrayIconTest::menuLargerThanTheScreen()
{
    // It starts at the free area's top left rather than off the screen.
    QCOMPARE(TrayIcon::menuPosition(QPoint(50, 50), QRect(0, 0, 320, 200), QRect(0, 20, 320, 180), QSize(400, 300)),
             QPoint(0, 20));
}

#include "TrayIconTest.moc"

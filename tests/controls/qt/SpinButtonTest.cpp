// The auto-repeating button and the spin button: repeat rhythm, button fitting, keys, focus mark, glyphs.

#include "ControlsTestSupport.h"

#include "controls/qt/Spin.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace ovin;
using ovin::test::RepeatClock;

class SpinButtonTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_clock = std::make_unique<RepeatClock>(); }
    void cleanup() { m_clock.reset(); }

    void autoRepeat_data();
    void autoRepeat();
    void repeatPausesWhileThePointerIsOff();
    void repeatTimerLifecycle();
    void fitting_data();
    void fitting();
    void keys_data();
    void keys();
    void focusMarkFollowsTheActiveButton();
    void pressFocusesFocusControl();
    void builtInGlyphs_data();
    void builtInGlyphs();
    void glyphBackgroundIsTransparent();
    void customGlyphAndReset();

private:
    std::unique_ptr<RepeatClock> m_clock;
};

void SpinButtonTest::autoRepeat_data()
{
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("releaseOver");
    QTest::addColumn<int>("clicks");

    QTest::newRow("short click") << 0 << true << 1;
    QTest::newRow("short press released off the button") << 0 << false << 0;
    QTest::newRow("released just before the first repeat") << 399 << true << 1;
    QTest::newRow("first repeat 400 ms after the press") << 400 << true << 2;
    QTest::newRow("then one every 100 ms") << 650 << true << 4;
    QTest::newRow("held, then released off the button") << 650 << false << 3;
}

void SpinButtonTest::autoRepeat()
{
    QFETCH(int, holdMs);
    QFETCH(bool, releaseOver);
    QFETCH(int, clicks);

    TSpinButton spin;
    m_clock->attach(spin);
    int upClicks = 0;
    int downClicks = 0;
    connect(&spin, &TSpinButton::UpClick, this, [&] { ++upClicks; });
    connect(&spin, &TSpinButton::DownClick, this, [&] { ++downClicks; });
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));

    TTimerSpeedButton* up = spin.upButton();
    QTest::mousePress(up, Qt::LeftButton);
    m_clock->advance(holdMs);
    const QPoint releaseAt = releaseOver ? up->rect().center() : QPoint(-10, -10);
    if (!releaseOver)
        QTest::mouseMove(up, releaseAt);
    QTest::mouseRelease(up, Qt::LeftButton, {}, releaseAt);

    QCOMPARE(upClicks, clicks);
    QCOMPARE(downClicks, 0);
    m_clock->advance(1000);
    QCOMPARE(upClicks, clicks);
}

void SpinButtonTest::repeatPausesWhileThePointerIsOff()
{
    TSpinButton spin;
    m_clock->attach(spin);
    int downClicks = 0;
    connect(&spin, &TSpinButton::DownClick, this, [&] { ++downClicks; });
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));
    TTimerSpeedButton* down = spin.downButton();

    QTest::mousePress(down, Qt::LeftButton);
    m_clock->advance(450);
    QCOMPARE(downClicks, 1);
    QTest::mouseMove(down, QPoint(-10, -10));
    m_clock->advance(300);
    QCOMPARE(downClicks, 1);
    QTest::mouseMove(down, down->rect().center());
    m_clock->advance(100);
    QCOMPARE(downClicks, 2);
    QTest::mouseRelease(down, Qt::LeftButton);
    QCOMPARE(downClicks, 3);
}

void SpinButtonTest::repeatTimerLifecycle()
{
    TTimerSpeedButton plain;
    m_clock->attach(plain);
    QTest::mousePress(&plain, Qt::LeftButton);
    QTest::mouseRelease(&plain, Qt::LeftButton);
    QVERIFY2(!plain.repeatTimer(), "a button without auto-repeat needs no timer");

    TTimerSpeedButton button;
    m_clock->attach(button);
    button.setRepeatFlags(TTimerSpeedButton::AutoRepeat);
    int clicks = 0;
    connect(&button, &TTimerSpeedButton::clicked, this, [&] { ++clicks; });
    QVERIFY(!button.repeatTimer());

    // Any mouse button arms the timer, but only a held left button is repeated.
    QTest::mousePress(&button, Qt::RightButton);
    WatchTimer* timer = button.repeatTimer();
    QVERIFY(timer);
    QVERIFY(timer->enabled());
    QCOMPARE(timer->interval(), 400);
    m_clock->advance(400);
    QCOMPARE(timer->interval(), 100);
    m_clock->advance(1000);
    QCOMPARE(clicks, 0);
    QTest::mouseRelease(&button, Qt::RightButton);
    QVERIFY(!timer->enabled());

    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(button.repeatTimer(), timer);
    QCOMPARE(timer->interval(), 400);
    QTest::mouseRelease(&button, Qt::LeftButton);
    QVERIFY(!timer->enabled());
}

void SpinButtonTest::fitting_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<int>("width");
    QTest::addColumn<QRect>("up");
    QTest::addColumn<QRect>("down");

    QTest::newRow("narrow widens to 15") << QSize(10, 25) << 15 << QRect(0, 0, 15, 12) << QRect(0, 11, 15, 14);
    QTest::newRow("even height") << QSize(20, 24) << 20 << QRect(0, 0, 20, 12) << QRect(0, 11, 20, 13);
    QTest::newRow("odd pixel to the down button") << QSize(16, 9) << 16 << QRect(0, 0, 16, 4) << QRect(0, 3, 16, 6);
}

void SpinButtonTest::fitting()
{
    QFETCH(QSize, requested);
    QFETCH(int, width);
    QFETCH(QRect, up);
    QFETCH(QRect, down);

    QWidget window;
    auto* spin = new TSpinButton(&window);
    m_clock->attach(*spin);
    QCOMPARE(spin->size(), QSize(20, 25));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    spin->resize(requested);
    QCOMPARE(spin->size(), QSize(width, requested.height()));
    QCOMPARE(spin->upButton()->geometry(), up);
    QCOMPARE(spin->downButton()->geometry(), down);
}

void SpinButtonTest::keys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("upClicks");
    QTest::addColumn<int>("downClicks");
    QTest::addColumn<bool>("downActive");

    QTest::newRow("Up") << QList<int>{Qt::Key_Up} << 1 << 0 << false;
    QTest::newRow("Down") << QList<int>{Qt::Key_Down} << 0 << 1 << true;
    QTest::newRow("Space clicks the up button at first") << QList<int>{Qt::Key_Space} << 1 << 0 << false;
    QTest::newRow("Space clicks the button last chosen") << QList<int>{Qt::Key_Down, Qt::Key_Space} << 0 << 2 << true;
    QTest::newRow("other keys do nothing") << QList<int>{Qt::Key_A, Qt::Key_Return} << 0 << 0 << false;
}

void SpinButtonTest::keys()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, upClicks);
    QFETCH(int, downClicks);
    QFETCH(bool, downActive);

    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* spin = new TSpinButton(&window);
    m_clock->attach(*spin);
    spin->move(0, 40);
    spin->setTabStop(true);
    int ups = 0;
    int downs = 0;
    connect(spin, &TSpinButton::UpClick, this, [&] { ++ups; });
    connect(spin, &TSpinButton::DownClick, this, [&] { ++downs; });
    before->setFocus();
    QVERIFY(ovin::test::showActive(window));

    spin->setFocus(Qt::TabFocusReason);
    for (int key : keys)
        QTest::keyClick(spin, Qt::Key(key));

    QCOMPARE(ups, upClicks);
    QCOMPARE(downs, downClicks);
    QCOMPARE(spin->activeButton(), downActive ? spin->downButton() : spin->upButton());
    QVERIFY2(spin->hasFocus(), "arrow keys stay with the spin button");
}

void SpinButtonTest::focusMarkFollowsTheActiveButton()
{
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* spin = new TSpinButton(&window);
    m_clock->attach(*spin);
    spin->move(0, 40);
    auto* inert = new TSpinButton(&window);
    m_clock->attach(*inert);
    inert->move(40, 40);
    QVERIFY(ovin::test::showActive(window));
    auto marked = [](TTimerSpeedButton* button) {
        return button->repeatFlags().testFlag(TTimerSpeedButton::FocusMark);
    };

    spin->setTabStop(true);
    spin->setFocus();
    QVERIFY(marked(spin->upButton()));
    QVERIFY(!marked(spin->downButton()));

    QTest::mousePress(spin->downButton(), Qt::LeftButton);
    QTest::mouseRelease(spin->downButton(), Qt::LeftButton);
    QCOMPARE(spin->activeButton(), spin->downButton());
    QVERIFY(marked(spin->downButton()));
    QVERIFY(!marked(spin->upButton()));

    other->setFocus();
    QVERIFY(!marked(spin->downButton()));
    QVERIFY(!marked(spin->upButton()));

    // Without TabStop the spin button cannot hold the focus, so its active button never changes.
    QTest::mousePress(inert->downButton(), Qt::LeftButton);
    QTest::mouseRelease(inert->downButton(), Qt::LeftButton);
    QCOMPARE(inert->activeButton(), inert->upButton());
    QVERIFY(other->hasFocus());
}

void SpinButtonTest::pressFocusesFocusControl()
{
    QWidget window;
    auto* elsewhere = new QLineEdit(&window);
    auto* target = new QLineEdit(&window);
    target->move(0, 30);
    auto* spin = new TSpinButton(&window);
    m_clock->attach(*spin);
    spin->move(0, 60);
    spin->setFocusControl(target);
    elsewhere->setFocus();
    QVERIFY(ovin::test::showActive(window));

    QTest::mousePress(spin->upButton(), Qt::RightButton);
    QTest::mouseRelease(spin->upButton(), Qt::RightButton);
    QVERIFY2(elsewhere->hasFocus(), "only the left button moves the focus");

    QTest::mousePress(spin->upButton(), Qt::LeftButton);
    QVERIFY2(target->hasFocus(), "the focus moves on the press, before the click");
    QTest::mouseRelease(spin->upButton(), Qt::LeftButton);

    delete target;
    QCOMPARE(spin->FocusControl(), nullptr);
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
}

void SpinButtonTest::builtInGlyphs_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QList<int>>("rowWidths");

    QTest::newRow("up arrow") << true << QList<int>{0, 1, 3, 5, 7, 0};
    QTest::newRow("down arrow") << false << QList<int>{0, 7, 5, 3, 1, 0};
}

void SpinButtonTest::builtInGlyphs()
{
    QFETCH(bool, up);
    QFETCH(QList<int>, rowWidths);

    TSpinButton spin;
    m_clock->attach(spin);
    const QImage glyph = (up ? spin.UpGlyph() : spin.DownGlyph()).toImage();
    QCOMPARE(glyph.size(), QSize(9, 6));
    QCOMPARE(glyph.pixelColor(0, 5), QColor(0x80, 0x80, 0x00));
    for (int y = 0; y < glyph.height(); ++y) {
        QString row;
        for (int x = 0; x < glyph.width(); ++x)
            row += glyph.pixelColor(x, y) == Qt::black ? u'#' : u'.';
        const int width = rowWidths.at(y);
        const int left = (9 - width) / 2;
        const QString expected = QString(left, u'.') + QString(width, u'#') + QString(9 - left - width, u'.');
        QCOMPARE(row, expected);
    }
    QCOMPARE(up ? spin.UpNumGlyphs() : spin.DownNumGlyphs(), 1);
}

void SpinButtonTest::glyphBackgroundIsTransparent()
{
    TSpinButton spin;
    m_clock->attach(spin);
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));
    const QImage drawn = spin.grab().toImage();
    int black = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            QVERIFY2(drawn.pixelColor(x, y) != QColor(0x80, 0x80, 0x00), "olive must not show");
            black += drawn.pixelColor(x, y) == Qt::black ? 1 : 0;
        }
    }
    QVERIFY2(black >= 2 * 16, "both arrows are drawn");
}

void SpinButtonTest::customGlyphAndReset()
{
    TSpinButton spin;
    m_clock->attach(spin);
    QPixmap custom(24, 8);
    custom.fill(Qt::red);
    spin.setDownGlyph(custom);
    spin.setDownNumGlyphs(3);
    QCOMPARE(spin.DownGlyph().size(), QSize(24, 8));
    QCOMPARE(spin.DownNumGlyphs(), 3);

    spin.setDownGlyph(QPixmap());
    QCOMPARE(spin.DownGlyph().size(), QSize(9, 6));
    QCOMPARE(spin.DownNumGlyphs(), 1);
}

QTEST_MAIN(SpinButtonTest)
#include "SpinButtonTest.moc"

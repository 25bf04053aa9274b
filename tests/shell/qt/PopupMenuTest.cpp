// The tray icon's owner-drawn menu: its items, their size and style, and the pixels of the drawing.

#include "PixelTestSupport.h"

#include "shell/qt/DesktopResources.h"
#include "shell/qt/PopupMenu.h"

#include <QApplication>
#include <QStyle>
#include <QTest>

using namespace ovin;
using namespace ovin::test;

namespace {

constexpr QColor kSkyBlue(166, 202, 240);
constexpr int kStripWidthPx = 20;
constexpr int kItemLeftPx = 25;
// The item width the menu asks for, and the room for a check mark that the desktop it was drawn for adds.
constexpr int kItemWidthPx = 130;
constexpr int kCheckMarkRoomPx = 15;

int frameWidth(const QMenu& menu) { return menu.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu); }

QImage grabMenu(PopupMenu& menu)
{
    menu.adjustSize();
    return menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class PopupMenuTest : public QObject {
    Q_OBJECT

private slots:
    // The fonts the program itself loads.
    void initTestCase() { ovin::LoadDesktopResources(*qobject_cast<QApplication*>(qApp)); }
    void itemsAre130PixelsPlusTheCheckMarkRoomInTheMenusOwnFontAndTheMenuIsFramed();
    void items_data();
    void items();
    void itemsAre130PixelsWideWhenTheCaptionsFit();
    void banner();
    void itemsFilledFromTheirLeftEdge();
};

void PopupMenuTest::itemsAre130PixelsPlusTheCheckMarkRoomInTheMenusOwnFontAndTheMenuIsFramed()
{
    PopupMenu menu;
    menu.adjustSize();
    const int frame = frameWidth(menu);
    QVERIFY(frame >= 1);
    for (QAction* action : menu.actions()) {
        const QRect item = menu.actionGeometry(action);
        QCOMPARE(item.left(), frame);
        QCOMPARE(item.width(), kItemWidthPx + kCheckMarkRoomPx);
        if (!action->isSeparator())
            QVERIFY2(kItemLeftPx +
                             QFontMetrics(action->font().resolve(menu.font())).horizontalAdvance(action->text()) <=
                         kItemWidthPx + kCheckMarkRoomPx,
                     qPrintable(action->text()));
    }
    QCOMPARE(menu.width(), kItemWidthPx + kCheckMarkRoomPx + 2 * frame);

    // A raised frame: its outer right and bottom edges are dark, so that the menu stands out from a light window.
    const QImage image = grabMenu(menu);
    const QRect right(image.width() - 1, 1, 1, image.height() - 1);
    const QRect bottom(1, image.height() - 1, image.width() - 1, 1);
    for (const QRect& edge : {right, bottom})
        QVERIFY(countPixels(image, edge, [](QColor c) { return qGray(c.rgb()) < 128; }) == pixelsIn(image, edge));
}

void PopupMenuTest::items_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("bold");

    // The menu font is made bold, so only "Konec" follows it.
    QTest::newRow("Otevřít") << 0 << "Open1"
                             << "Otevřít" << true;
    QTest::newRow("Ukončit Trovan + Ovin") << 1 << "UkonitTrovaniOvin1"
                                           << "Ukončit Trovan + Ovin" << false;
    QTest::newRow("separator") << 2 << "N1"
                               << "" << true;
    QTest::newRow("Konec") << 3 << "Exit1"
                           << "Konec" << true;
}

void PopupMenuTest::items()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, bold);

    PopupMenu menu;
    QFont boldMenuFont = menu.font();
    boldMenuFont.setBold(true);
    menu.setFont(boldMenuFont);
    menu.adjustSize();

    QCOMPARE(menu.actions().size(), 4);
    QAction* action = menu.actions().at(position);
    const QList<QAction*> named{menu.Open1(), menu.UkonitTrovaniOvin1(), menu.N1(), menu.Exit1()};
    QCOMPARE(named.at(position), action);
    QCOMPARE(action->objectName(), name);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->isSeparator(), name == "N1");
    QCOMPARE(action->font().resolve(menu.font()).bold(), bold);

    // As high as the same item in a menu that measures itself; at least 130
    // pixels wide, and wide enough for the caption from x 25 on.
    QMenu plain;
    plain.setFont(menu.font());
    for (const QAction* original : menu.actions())
        (original->isSeparator() ? plain.addSeparator() : plain.addAction(original->text()))->setFont(original->font());
    plain.adjustSize();
    const QRect geometry = menu.actionGeometry(action);
    QCOMPARE(geometry.height(), plain.actionGeometry(plain.actions().at(position)).height());
    QVERIFY(geometry.width() >= 130);
    QVERIFY(geometry.right() + 1 >= 25 + QFontMetrics(boldMenuFont).horizontalAdvance(caption));
}

void PopupMenuTest::itemsAre130PixelsWideWhenTheCaptionsFit()
{
    PopupMenu menu;
    QFont small = menu.font();
    small.setPixelSize(6);
    menu.setFont(small);
    menu.adjustSize();
    for (QAction* action : menu.actions())
        QCOMPARE(menu.actionGeometry(action).width(), kItemWidthPx + kCheckMarkRoomPx);
}

void PopupMenuTest::banner()
{
    PopupMenu menu;
    // The strip stands in the menu's client area, inside the frame.
    const int frame = frameWidth(menu);
    const QImage image = grabMenu(menu).copy(frame, frame, menu.width() - 2 * frame, menu.height() - 2 * frame);
    QVERIFY(image.height() > 42);
    const auto isSky = [](QColor c) { return c == kSkyBlue; };
    // Antialiased text blends the strip towards black, never towards the menu's lighter colours.
    const auto isSkyOrInk = [](QColor c) {
        return c.red() <= kSkyBlue.red() && c.green() <= kSkyBlue.green() && c.blue() <= kSkyBlue.blue();
    };

    // Sky blue from the top edge to the bottom, across the separator; only the text darkens it.
    const QRect strip(0, 0, kStripWidthPx, 112);
    QCOMPARE(countPixels(image, strip, isSkyOrInk), pixelsIn(image, strip));
    for (const QRect& clear : {QRect(0, 42, kStripWidthPx, 112), QRect(16, 0, 4, 112), QRect(0, 0, 2, 112)})
        QCOMPARE(countPixels(image, clear, isSky), pixelsIn(image, clear));

    // "OVIN" in 13-pixel bold type: its cells stand from x 2 rightward and it runs upward from y 40.
    QVERIFY(countPixels(image, QRect(2, 10, 13, 31), isDark) > 60);
    int lowestInk = -1;
    int highestInk = -1;
    for (int y = 0; y < 112 && y < image.height(); ++y) {
        if (countPixels(image, QRect(0, y, kStripWidthPx, 1), isDark) > 0) {
            highestInk = highestInk < 0 ? y : highestInk;
            lowestInk = y;
        }
    }
    QVERIFY2(lowestInk >= 36 && lowestInk <= 40, qPrintable(QString::number(lowestInk)));
    // Four capitals on their side: far longer upward than the 13 pixels of their height.
    QVERIFY2(lowestInk - highestInk > 24, qPrintable(QString::number(highestInk)));
}

void PopupMenuTest::itemsFilledFromTheirLeftEdge()
{
    PopupMenu menu;
    menu.adjustSize();
    menu.setActiveAction(menu.UkonitTrovaniOvin1());
    const int frame = frameWidth(menu);
    const QImage image = grabMenu(menu).copy(frame, frame, menu.width() - 2 * frame, menu.height() - 2 * frame);
    const QColor menuColour = menu.palette().color(QPalette::Window);

    for (QAction* action : {menu.Open1(), menu.UkonitTrovaniOvin1(), menu.Exit1()}) {
        const QString text = action->text();
        const QColor fill =
            menu.palette().color(action == menu.activeAction() ? QPalette::Highlight : QPalette::Window);
        const QRect item = menu.actionGeometry(action).translated(-frame, -frame);

        // The 5-pixel gap after the strip keeps the menu colour, also beside the selected item.
        const QRect gap(kStripWidthPx, item.top(), kItemLeftPx - kStripWidthPx, item.height());
        QVERIFY2(countPixels(image, gap, [&](QColor c) { return c == menuColour; }) == pixelsIn(image, gap),
                 qPrintable(text));
        // Above the caption the item's fill runs from x 25 to its right edge.
        const QRect topRows(kItemLeftPx, item.top(), item.right() - kItemLeftPx + 1, 2);
        QVERIFY2(countPixels(image, topRows, [&](QColor c) { return c == fill; }) == pixelsIn(image, topRows),
                 qPrintable(text));
        // The caption starts at that edge.
        int firstInk = -1;
        for (int x = kItemLeftPx; x < item.right() && firstInk < 0; ++x)
            if (countPixels(image, QRect(x, item.top(), 1, item.height()),
                            [&](QColor c) { return standsOut(c, fill); }))
                firstInk = x;
        QVERIFY2(firstInk >= 0 && firstInk <= kItemLeftPx + 3, qPrintable(text + ' ' + QString::number(firstInk)));
    }
}

QTEST_MAIN(PopupMenuTest)
#include "PopupMenuTest.moc"

// The labelled spin edit's caption label (created, placed, moved along, destroyed once) and the caption label.

#include "ControlsTestSupport.h"

#include "controls/qt/ckLabelX.h"
#include "controls/qt/ckSpinEditX.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace ovin;

namespace {

/// A spin edit at 100, 50, 120 × 21 inside a container, with a font small enough to allow that height.
struct Panel {
    QWidget container;
    TSpinEditX* edit = new TSpinEditX(&container);

    Panel()
    {
        container.resize(400, 200);
        QFont small = edit->font();
        small.setPixelSize(8);
        edit->setFont(small);
        edit->setObjectName(QStringLiteral("seWait"));
        edit->setGeometry(100, 50, 120, 21);
    }
};

}  // namespace

class SpinEditXTest : public QObject {
    Q_OBJECT

private slots:
    void newEditHasNoLabel();
    void captionCreatesLabelAboveTheEdit();
    void emptyCaptionDestroysLabel();
    void positionWithoutLabelIsIgnored();
    void placement_data();
    void placement();
    void labelFollowsTheEditButNotItsOwnSize();
    void destroyingTheEditDestroysTheLabel();
    void labelDestroyedFirstIsNotDestroyedAgain();
    void detachedLabelOutlivesTheEdit();
    void labelXSizesItselfToTheCaption();
    void accelCaptionUnderlinesWithoutShortcut();
};

void SpinEditXTest::newEditHasNoLabel()
{
    TSpinEditX edit;
    QCOMPARE(edit.CaptionLabel(), nullptr);
    QCOMPARE(edit.LabelSpacing(), 3);
    QCOMPARE(edit.LabelPosition(), lpAbove);
    QVERIFY(edit.Caption().isEmpty());
}

void SpinEditXTest::captionCreatesLabelAboveTheEdit()
{
    Panel panel;
    panel.container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel.container));
    // The label is placed while it still shows the edit's object name, so its height then is that text's.
    const int placingHeight = TLabelX(panel.edit->objectName(), nullptr).height();

    panel.edit->setCaption(QStringLiteral("Čekat"));
    TBoundLabel* label = panel.edit->CaptionLabel();
    QVERIFY(label);
    QCOMPARE(label->objectName(), QStringLiteral("SubLabel"));
    QCOMPARE(label->Caption(), QStringLiteral("Čekat"));
    QCOMPARE(label->parentWidget(), &panel.container);
    QVERIFY(label->isVisible());
    QVERIFY(!label->autoFillBackground());
    QCOMPARE(label->pos(), QPoint(100, 50 - placingHeight - 3));
}

void SpinEditXTest::emptyCaptionDestroysLabel()
{
    Panel panel;
    panel.edit->setCaption(QStringLiteral("a"));
    QPointer<TBoundLabel> first = panel.edit->CaptionLabel();
    panel.edit->setCaption(QStringLiteral("b"));
    QCOMPARE(panel.edit->CaptionLabel(), first.data());
    QCOMPARE(first->Caption(), QStringLiteral("b"));

    panel.edit->setCaption(QString());
    QVERIFY(first.isNull());
    QCOMPARE(panel.edit->CaptionLabel(), nullptr);

    panel.edit->setCaption(QStringLiteral("c"));
    QVERIFY(panel.edit->CaptionLabel());
    QCOMPARE(panel.container.findChildren<TBoundLabel*>().size(), 1);
}

void SpinEditXTest::positionWithoutLabelIsIgnored()
{
    Panel panel;
    panel.edit->setLabelPosition(lpLeft);
    QCOMPARE(panel.edit->LabelPosition(), lpAbove);
    panel.edit->setCaption(QStringLiteral("x"));
    QVERIFY(panel.edit->CaptionLabel()->y() < panel.edit->y());
}

void SpinEditXTest::placement_data()
{
    QTest::addColumn<TLabelPosition>("position");
    QTest::addColumn<QSize>("labelSize");
    QTest::addColumn<QPoint>("corner");

    // The edit stands at 100, 50, 120 × 21; the spacing is 3.
    QTest::newRow("above") << lpAbove << QSize(40, 13) << QPoint(100, 34);
    QTest::newRow("below") << lpBelow << QSize(40, 13) << QPoint(100, 74);
    QTest::newRow("left, centred") << lpLeft << QSize(40, 13) << QPoint(57, 54);
    QTest::newRow("right, centred") << lpRight << QSize(40, 13) << QPoint(223, 54);
    QTest::newRow("right, taller label halves toward zero") << lpRight << QSize(40, 24) << QPoint(223, 49);
}

void SpinEditXTest::placement()
{
    QFETCH(TLabelPosition, position);
    QFETCH(QSize, labelSize);
    QFETCH(QPoint, corner);

    Panel panel;
    panel.container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel.container));
    QCOMPARE(panel.edit->geometry(), QRect(100, 50, 120, 21));
    panel.edit->setCaption(QStringLiteral("x"));
    TBoundLabel* label = panel.edit->CaptionLabel();
    label->setAutoSize(false);
    label->resize(labelSize);

    panel.edit->setLabelPosition(position);
    QCOMPARE(label->pos(), corner);
    QCOMPARE(label->size(), labelSize);
}

void SpinEditXTest::labelFollowsTheEditButNotItsOwnSize()
{
    Panel panel;
    panel.container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel.container));
    panel.edit->setCaption(QStringLiteral("Čekat"));
    panel.edit->setLabelPosition(lpRight);
    TBoundLabel* label = panel.edit->CaptionLabel();
    const QPoint placed = label->pos();

    panel.edit->move(110, 70);
    QCOMPARE(label->pos(), placed + QPoint(10, 20));
    panel.edit->resize(150, 21);
    QCOMPARE(label->pos(), placed + QPoint(40, 20));

    label->setCaption(QStringLiteral("a much longer caption"));
    QCOMPARE(label->pos(), placed + QPoint(40, 20));
    QCOMPARE(panel.edit->Caption(), QStringLiteral("Čekat"));

    panel.edit->setLabelSpacing(10);
    QCOMPARE(label->pos(), placed + QPoint(47, 20));
}

void SpinEditXTest::destroyingTheEditDestroysTheLabel()
{
    QWidget container;
    auto* edit = new TSpinEditX(&container);
    edit->setCaption(QStringLiteral("x"));
    QPointer<TBoundLabel> label = edit->CaptionLabel();
    delete edit;
    QVERIFY(label.isNull());

    // Without a container the label has no Qt parent at all, and the edit is its only owner.
    QPointer<TBoundLabel> orphan;
    {
        TSpinEditX loose;
        loose.setCaption(QStringLiteral("y"));
        orphan = loose.CaptionLabel();
        QCOMPARE(orphan->parentWidget(), nullptr);
    }
    QVERIFY(orphan.isNull());
}

void SpinEditXTest::labelDestroyedFirstIsNotDestroyedAgain()
{
    {
        Panel panel;
        panel.edit->setCaption(QStringLiteral("x"));
        delete panel.edit->CaptionLabel();
        QCOMPARE(panel.edit->CaptionLabel(), nullptr);
        panel.edit->move(0, 0);
        panel.edit->setCaption(QStringLiteral("again"));
        QVERIFY(panel.edit->CaptionLabel());
    }
    {
        // Re-inserting the edit puts it after its label among the container's children, so the container
        // destroys the label first.
        Panel panel;
        panel.edit->setCaption(QStringLiteral("x"));
        panel.edit->setParent(nullptr);
        panel.edit->setParent(&panel.container);
        QCOMPARE(panel.container.children().constLast(), panel.edit);
    }
}

void SpinEditXTest::detachedLabelOutlivesTheEdit()
{
    QWidget container;
    auto* edit = new TSpinEditX(&container);
    edit->setCaption(QStringLiteral("x"));
    QPointer<TBoundLabel> label = edit->CaptionLabel();
    edit->setCaptionLabel(nullptr);
    delete edit;
    QVERIFY(!label.isNull());
}

void SpinEditXTest::labelXSizesItselfToTheCaption()
{
    TLabelX label;
    QCOMPARE(label.size(), QSize(65, 17));
    QVERIFY(label.AutoSize());

    label.setCaption(QStringLiteral("Čekat na spuštění Trovan"));
    QCOMPARE(label.size(), label.sizeHint());
    const int longWidth = label.width();
    label.setCaption(QStringLiteral("sec"));
    QVERIFY(label.width() < longWidth);

    QFont large = label.font();
    large.setPixelSize(40);
    label.setFont(large);
    QCOMPARE(label.size(), label.sizeHint());
}

void SpinEditXTest::accelCaptionUnderlinesWithoutShortcut()
{
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->move(0, 40);
    auto* label = new TLabelX(QStringLiteral("&Druhé <pole>"), &window);
    label->move(0, 80);
    auto* plain = new TLabelX(QStringLiteral("R&&D"), &window);
    plain->move(0, 100);
    first->setFocus();
    QVERIFY(ovin::test::showActive(window));

    QCOMPARE(label->Caption(), QStringLiteral("&Druhé <pole>"));
    QVERIFY(label->text().contains(QStringLiteral("<u>D</u>")));
    QVERIFY(label->text().contains(QStringLiteral("&lt;pole&gt;")));
    QCOMPARE(plain->text(), QStringLiteral("R&D"));

    QTest::keyClick(first, Qt::Key_D, Qt::AltModifier);
    QVERIFY2(first->hasFocus(), "the underlined letter is no shortcut");
}

QTEST_MAIN(SpinEditXTest)
#include "SpinEditXTest.moc"

// The focus-colour edit: the colour swap on entry and exit, the alignment, and Enter as a move of the focus.

#include "ControlsTestSupport.h"

#include "controls/qt/csAdpEdit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace ovin;

namespace {

const QColor kLime(0x00, 0xFF, 0x00);

/// A window with a plain edit on either side of the focus-colour edit, in tab order.
struct Form {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    TadpEdit* edit = new TadpEdit(&window);
    QLineEdit* after = new QLineEdit(&window);

    Form()
    {
        edit->move(0, 30);
        after->move(0, 60);
    }
};

/// Watches the Enter key on its way to an edit, and eats it when told to.
class EnterWatcher final : public QObject {
public:
    EnterWatcher(QObject* parent, bool eat) : QObject(parent), m_eat(eat) {}
    bool saw = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Return)
            return false;
        saw = true;
        return m_eat;
    }

private:
    bool m_eat;
};

}  // namespace

class AdpEditTest : public QObject {
    Q_OBJECT

private slots:
    void colourSwap_data();
    void colourSwap();
    void popupIsNotAnExit();
    void alignment_data();
    void alignment();
    void enterAsTab_data();
    void enterAsTab();
    void topLevelEditKeepsEnter();
};

void AdpEditTest::colourSwap_data()
{
    // An invalid colour stands for "leave as it is" in the settings and for "the edit's normal colour" in
    // the expectations.
    QTest::addColumn<QColor>("colorOnEnter");
    QTest::addColumn<QColor>("setBeforeEntry");
    QTest::addColumn<QColor>("setWhileFocused");
    QTest::addColumn<QColor>("focused");
    QTest::addColumn<QColor>("afterExit");

    const QColor normal;
    QTest::newRow("lime while focused") << kLime << QColor() << QColor() << kLime << normal;
    QTest::newRow("default changes nothing") << QColor() << QColor() << QColor() << normal << normal;
    QTest::newRow("colour set before entry is the one returned to")
        << kLime << QColor(Qt::yellow) << QColor() << kLime << QColor(Qt::yellow);
    QTest::newRow("colour set while focused lasts until the exit")
        << kLime << QColor() << QColor(Qt::red) << QColor(Qt::red) << normal;
}

void AdpEditTest::colourSwap()
{
    QFETCH(QColor, colorOnEnter);
    QFETCH(QColor, setBeforeEntry);
    QFETCH(QColor, setWhileFocused);
    QFETCH(QColor, focused);
    QFETCH(QColor, afterExit);

    Form form;
    const QColor normal = form.edit->Color();
    QCOMPARE(form.edit->ColorOnEnter(), normal);
    if (colorOnEnter.isValid())
        form.edit->setColorOnEnter(colorOnEnter);
    form.before->setFocus();
    QVERIFY(ovin::test::showActive(form.window));
    if (setBeforeEntry.isValid())
        form.edit->setColor(setBeforeEntry);

    QTest::keyClick(form.before, Qt::Key_Tab);
    QVERIFY(form.edit->hasFocus());
    if (setWhileFocused.isValid())
        form.edit->setColor(setWhileFocused);
    const QColor shown = focused.isValid() ? focused : normal;
    QCOMPARE(form.edit->Color(), shown);
    QCOMPARE(form.edit->grab().toImage().pixelColor(form.edit->rect().center()), shown);

    QTest::keyClick(form.edit, Qt::Key_Tab);
    QVERIFY(form.after->hasFocus());
    QCOMPARE(form.edit->Color(), afterExit.isValid() ? afterExit : normal);
}

void AdpEditTest::popupIsNotAnExit()
{
    Form form;
    form.edit->setColorOnEnter(kLime);
    const QColor normal = form.edit->Color();
    QVERIFY(ovin::test::showActive(form.window));
    form.edit->setFocus();

    // A popup menu or another application borrows the keyboard; the edit stays the focused control.
    for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(form.edit, &out);
        QCOMPARE(form.edit->Color(), kLime);
        QFocusEvent in(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(form.edit, &in);
    }
    form.after->setFocus();
    QCOMPARE(form.edit->Color(), normal);
}

void AdpEditTest::alignment_data()
{
    QTest::addColumn<TAlignment>("alignment");
    QTest::addColumn<Qt::Alignment>("horizontal");

    QTest::newRow("left") << taLeftJustify << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("right") << taRightJustify << Qt::Alignment(Qt::AlignRight);
    QTest::newRow("centre") << taCenter << Qt::Alignment(Qt::AlignHCenter);
}

void AdpEditTest::alignment()
{
    QFETCH(TAlignment, alignment);
    QFETCH(Qt::Alignment, horizontal);

    TadpEdit edit;
    QCOMPARE(edit.Alignment(), taLeftJustify);
    edit.setText(QStringLiteral("C:\\trovan\\"));
    edit.setAlignment(alignment);
    QCOMPARE(edit.Alignment(), alignment);
    QCOMPARE(edit.alignment() & Qt::AlignHorizontal_Mask, horizontal);
    QCOMPARE(edit.text(), QStringLiteral("C:\\trovan\\"));
}

void AdpEditTest::enterAsTab_data()
{
    QTest::addColumn<bool>("tabOnEnter");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("filterEats");
    QTest::addColumn<int>("focusMove");
    QTest::addColumn<bool>("editSeesEnter");

    QTest::newRow("Enter moves to the next control") << true << false << false << 1 << false;
    QTest::newRow("Shift+Enter moves to the previous one") << true << true << false << -1 << false;
    QTest::newRow("a filter that eats Enter stops the move") << true << false << true << 0 << false;
    QTest::newRow("TabOnEnter off: the edit handles Enter") << false << false << false << 0 << true;
}

void AdpEditTest::enterAsTab()
{
    QFETCH(bool, tabOnEnter);
    QFETCH(bool, shift);
    QFETCH(bool, filterEats);
    QFETCH(int, focusMove);
    QFETCH(bool, editSeesEnter);

    Form form;
    form.edit->setTabOnEnter(tabOnEnter);
    auto* watcher = new EnterWatcher(form.edit, filterEats);
    form.edit->installEventFilter(watcher);
    bool editSaw = false;
    connect(form.edit, &QLineEdit::returnPressed, this, [&] { editSaw = true; });
    form.edit->setFocus();
    QVERIFY(ovin::test::showActive(form.window));
    QVERIFY(form.edit->hasFocus());

    QTest::keyClick(form.edit, Qt::Key_Return, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QVERIFY(watcher->saw);
    QCOMPARE(editSaw, editSeesEnter);
    QVERIFY2(form.edit->hasFocus(), "the focus moves only after the key handling");

    QWidget* expected = focusMove > 0 ? form.after : focusMove < 0 ? static_cast<QWidget*>(form.before) : form.edit;
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), expected, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), expected);
}

void AdpEditTest::topLevelEditKeepsEnter()
{
    TadpEdit edit;
    edit.setTabOnEnter(true);
    bool editSaw = false;
    connect(&edit, &QLineEdit::returnPressed, this, [&] { editSaw = true; });
    QTest::keyClick(&edit, Qt::Key_Return);
    QVERIFY(editSaw);
}

QTEST_MAIN(AdpEditTest)
#include "AdpEditTest.moc"

// The spin edit: value rules, the character filter, paste and cut, the arrows, focus entry and exit, geometry.

#include "ControlsTestSupport.h"

#include "controls/qt/Spin.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTest>

#include <climits>
#include <memory>

using namespace ovin;
using ovin::test::BeepCounter;
using ovin::test::RepeatClock;

namespace {

enum class Step { Up, Down };
enum class Input { UpKey, DownKey, UpButton, DownButton };

/// A window with a plain edit before the spin edit, so that the spin edit can be entered and left.
struct Form {
    QWidget window;
    QLineEdit* other = new QLineEdit(&window);
    TSpinEdit* edit = new TSpinEdit(&window);

    Form() { edit->setGeometry(0, 40, 120, 30); }
};

// Types each character as its key; DEL stands for the Delete key, which edits without typing a character.
void typeKeys(QWidget* widget, const QString& keys)
{
    for (const QChar ch : keys) {
        if (ch == QChar(0x7f))
            QTest::keyClick(widget, Qt::Key_Delete);
        else
            QTest::keyClick(widget, ch.toLatin1());
    }
}

}  // namespace

class SpinEditTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_clock = std::make_unique<RepeatClock>();
        m_beeps = std::make_unique<BeepCounter>();
    }
    void cleanup()
    {
        m_beeps.reset();
        m_clock.reset();
        QLocale::setDefault(QLocale::c());
    }

    void newEditAcceptsAnyValueAndWraps();
    void writingClamps_data();
    void writingClamps();
    void readingText_data();
    void readingText();
    void stepping_data();
    void stepping();
    void focusExitClamps_data();
    void focusExitClamps();
    void characterFilter_data();
    void characterFilter();
    void decimalSeparatorFollowsTheLocale_data();
    void decimalSeparatorFollowsTheLocale();
    void copyWorksWithTypingOff();
    void pasteAndCut_data();
    void pasteAndCut();
    void contextMenuOffersNoPasteWithTypingOff();
    void arrowsWithTypingOffOrReadOnly_data();
    void arrowsWithTypingOffOrReadOnly();
    void tabEntrySelectsAll();
    void growsToMinimumHeight();
    void buttonStaysAtTheRightEdge();

private:
    std::unique_ptr<RepeatClock> m_clock;
    std::unique_ptr<BeepCounter> m_beeps;
};

void SpinEditTest::newEditAcceptsAnyValueAndWraps()
{
    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    QCOMPARE(edit.text(), QStringLiteral("0"));
    QCOMPARE(edit.Increment(), 1);
    QCOMPARE(edit.MinValue(), 0);
    QCOMPARE(edit.MaxValue(), 0);
    edit.setValue(INT_MAX);
    edit.StepUp();
    QCOMPARE(edit.Value(), INT_MIN);
    QCOMPARE(edit.text(), QStringLiteral("-2147483648"));
}

void SpinEditTest::writingClamps_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("expected");

    QTest::newRow("no limits") << 0 << 0 << -5 << -5;
    QTest::newRow("equal limits mean none") << 7 << 7 << 100 << 100;
    QTest::newRow("below the lower limit") << 1 << 1000 << 0 << 1;
    QTest::newRow("above the upper limit") << 1 << 1000 << 5000 << 1000;
    QTest::newRow("within the limits") << 1 << 1000 << 12 << 12;
    QTest::newRow("inverted limits test the lower first") << 10 << 5 << 7 << 10;
    QTest::newRow("inverted limits, above both") << 10 << 5 << 20 << 5;
}

void SpinEditTest::writingClamps()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, written);
    QFETCH(int, expected);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setMinValue(minValue);
    edit.setMaxValue(maxValue);
    edit.setValue(written);
    QCOMPARE(edit.text(), QString::number(expected));
    QCOMPARE(edit.Value(), expected);
}

void SpinEditTest::readingText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    // Limits 3 to 9: unreadable text gives the lower limit, readable text is not clamped on reading.
    QTest::newRow("empty") << QString() << 3;
    QTest::newRow("letters") << QStringLiteral("abc") << 3;
    QTest::newRow("trailing letter") << QStringLiteral("12a") << 3;
    QTest::newRow("decimal fraction") << QStringLiteral("1.5") << 3;
    QTest::newRow("beyond 32 bits") << QStringLiteral("2147483648") << 3;
    QTest::newRow("lone sign") << QStringLiteral("-") << 3;
    QTest::newRow("plus sign") << QStringLiteral("+7") << 7;
    QTest::newRow("negative, below the limits") << QStringLiteral("-12") << -12;
    QTest::newRow("above the limits") << QStringLiteral("42") << 42;
}

void SpinEditTest::readingText()
{
    QFETCH(QString, text);
    QFETCH(int, value);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setMinValue(3);
    edit.setMaxValue(9);
    edit.setText(text);
    QCOMPARE(edit.Value(), value);
}

void SpinEditTest::stepping_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("increment");
    QTest::addColumn<QString>("start");
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("expected");

    QTest::newRow("wraps at the top") << 0 << 0 << 1 << QString::number(INT_MAX) << Step::Up << INT_MIN;
    QTest::newRow("wraps at the bottom") << 0 << 0 << 1 << QString::number(INT_MIN) << Step::Down << INT_MAX;
    QTest::newRow("stays at the upper limit") << 1 << 1000 << 1 << QStringLiteral("1000") << Step::Up << 1000;
    QTest::newRow("stays at the lower limit") << 1 << 1000 << 1 << QStringLiteral("1") << Step::Down << 1;
    QTest::newRow("larger increment") << 0 << 0 << 25 << QStringLiteral("10") << Step::Down << -15;
    QTest::newRow("negative increment") << 0 << 0 << -5 << QStringLiteral("10") << Step::Up << 5;
    QTest::newRow("zero increment") << 0 << 0 << 0 << QStringLiteral("10") << Step::Up << 10;
    QTest::newRow("unreadable text steps from the lower limit")
        << 1 << 1000 << 1 << QStringLiteral("x") << Step::Up << 2;
}

void SpinEditTest::stepping()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, increment);
    QFETCH(QString, start);
    QFETCH(Step, step);
    QFETCH(int, expected);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setMinValue(minValue);
    edit.setMaxValue(maxValue);
    edit.setIncrement(increment);
    edit.setText(start);
    if (step == Step::Up)
        edit.StepUp();
    else
        edit.StepDown();
    QCOMPARE(edit.text(), QString::number(expected));
}

void SpinEditTest::focusExitClamps_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("textAfterExit");

    QTest::newRow("within the limits") << 1 << 1000 << QStringLiteral("12") << QStringLiteral("12");
    QTest::newRow("above the limit") << 1 << 1000 << QStringLiteral("5000") << QStringLiteral("1000");
    QTest::newRow("below the limit") << 1 << 1000 << QStringLiteral("0") << QStringLiteral("1");
    QTest::newRow("emptied stays empty") << 1 << 1000 << QString() << QString();
    QTest::newRow("unreadable stays") << 1 << 1000 << QStringLiteral("-") << QStringLiteral("-");
    QTest::newRow("no limits") << 0 << 0 << QStringLiteral("-99999") << QStringLiteral("-99999");
    // With inverted limits the lower limit that unreadable text reads as lies above the upper one.
    QTest::newRow("inverted limits, emptied") << 10 << 5 << QString() << QStringLiteral("5");
}

void SpinEditTest::focusExitClamps()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(QString, typed);
    QFETCH(QString, textAfterExit);

    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    form.edit->setMinValue(minValue);
    form.edit->setMaxValue(maxValue);
    form.edit->setValue(minValue);
    form.other->setFocus();
    QVERIFY(ovin::test::showActive(form.window));

    QTest::keyClick(form.other, Qt::Key_Tab);
    QVERIFY(form.edit->hasFocus());
    QTest::keyClick(form.edit, Qt::Key_Backspace);
    QTest::keyClicks(form.edit, typed);
    form.other->setFocus(Qt::MouseFocusReason);

    QCOMPARE(form.edit->text(), textAfterExit);
    QCOMPARE(m_beeps->count(), 0);
}

void SpinEditTest::characterFilter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("editorEnabled");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");

    const QString bs(u'\b');
    const QString del(QChar(0x7f));
    QTest::newRow("digits and signs") << QString() << 0 << true << false << QStringLiteral("+-12")
                                      << QStringLiteral("+-12") << 0;
    QTest::newRow("letter") << QStringLiteral("5") << 1 << true << false << QStringLiteral("a") << QStringLiteral("5")
                            << 1;
    QTest::newRow("space") << QStringLiteral("5") << 1 << true << false << QStringLiteral(" ") << QStringLiteral("5")
                           << 1;
    QTest::newRow("Enter") << QStringLiteral("5") << 1 << true << false << QStringLiteral("\r") << QStringLiteral("5")
                           << 1;
    QTest::newRow("mixed: only the refused ones beep")
        << QString() << 0 << true << false << QStringLiteral("1x2") << QStringLiteral("12") << 1;
    QTest::newRow("backspace") << QStringLiteral("56") << 1 << true << false << bs << QStringLiteral("6") << 0;
    QTest::newRow("typing off refuses digits")
        << QStringLiteral("56") << 1 << false << false << QStringLiteral("7") << QStringLiteral("56") << 1;
    QTest::newRow("typing off refuses backspace")
        << QStringLiteral("56") << 1 << false << false << bs << QStringLiteral("56") << 1;
    QTest::newRow("typing off leaves Delete alone")
        << QStringLiteral("56") << 1 << false << false << del << QStringLiteral("5") << 0;
    QTest::newRow("read only takes digits without a beep")
        << QStringLiteral("56") << 1 << true << true << QStringLiteral("7") << QStringLiteral("56") << 0;
    QTest::newRow("read only refuses letters")
        << QStringLiteral("56") << 1 << true << true << QStringLiteral("a") << QStringLiteral("56") << 1;
}

void SpinEditTest::characterFilter()
{
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(bool, editorEnabled);
    QFETCH(bool, readOnly);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, beeps);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setText(start);
    edit.setCursorPosition(cursor);
    edit.setEditorEnabled(editorEnabled);
    edit.setReadOnly(readOnly);
    typeKeys(&edit, typed);
    QCOMPARE(edit.text(), expected);
    QCOMPARE(m_beeps->count(), beeps);
}

void SpinEditTest::decimalSeparatorFollowsTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("foreignSeparator");

    QTest::newRow("C: point") << QLocale::c() << QStringLiteral(".") << QStringLiteral(",");
    QTest::newRow("Czech: comma") << QLocale(QLocale::Czech, QLocale::Czechia) << QStringLiteral(",")
                                  << QStringLiteral(".");
}

void SpinEditTest::decimalSeparatorFollowsTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, separator);
    QFETCH(QString, foreignSeparator);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setMinValue(4);
    edit.setMaxValue(8);
    edit.clear();
    // The separator is read at the key press, so a locale set after construction counts.
    QLocale::setDefault(locale);
    QTest::keyClicks(&edit, QStringLiteral("1") + foreignSeparator + separator + QStringLiteral("5"));
    QCOMPARE(edit.text(), QStringLiteral("1") + separator + QStringLiteral("5"));
    QCOMPARE(m_beeps->count(), 1);
    QCOMPARE(edit.Value(), 4);
}

void SpinEditTest::copyWorksWithTypingOff()
{
    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setEditorEnabled(false);
    edit.setText(QStringLiteral("123"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("123"));
    QCOMPARE(m_beeps->count(), 0);
}

void SpinEditTest::pasteAndCut_data()
{
    QTest::addColumn<bool>("editorEnabled");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");

    const QKeyCombination ctrlV(Qt::ControlModifier, Qt::Key_V);
    const QKeyCombination shiftInsert(Qt::ShiftModifier, Qt::Key_Insert);
    const QKeyCombination ctrlX(Qt::ControlModifier, Qt::Key_X);
    const QString pasted = QStringLiteral("99");
    const QString kept = QStringLiteral("12");
    QTest::newRow("paste") << true << false << ctrlV << pasted << pasted;
    QTest::newRow("paste by Shift+Insert") << true << false << shiftInsert << pasted << pasted;
    QTest::newRow("cut") << true << false << ctrlX << QString() << kept;
    QTest::newRow("typing off: no paste") << false << false << ctrlV << kept << pasted;
    QTest::newRow("typing off: no Shift+Insert") << false << false << shiftInsert << kept << pasted;
    QTest::newRow("typing off: no cut") << false << false << ctrlX << kept << pasted;
    QTest::newRow("read only: no paste") << true << true << ctrlV << kept << pasted;
    QTest::newRow("read only: no cut") << true << true << ctrlX << kept << pasted;
}

void SpinEditTest::pasteAndCut()
{
    QFETCH(bool, editorEnabled);
    QFETCH(bool, readOnly);
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);

    TSpinEdit edit;
    m_clock->attach(edit);
    m_beeps->attach(edit);
    edit.setEditorEnabled(editorEnabled);
    edit.setReadOnly(readOnly);
    edit.setText(QStringLiteral("12"));
    edit.selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));

    QTest::keyClick(&edit, keys.key(), keys.keyboardModifiers());
    QCOMPARE(edit.text(), text);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(m_beeps->count(), 0);
}

void SpinEditTest::contextMenuOffersNoPasteWithTypingOff()
{
    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    QVERIFY(ovin::test::showActive(form.window));
    auto reset = [&form] {
        QGuiApplication::clipboard()->setText(QStringLiteral("99"));
        form.edit->setText(QStringLiteral("12"));
        form.edit->selectAll();
    };

    for (const bool editorEnabled : {true, false}) {
        form.edit->setEditorEnabled(editorEnabled);
        reset();
        const QPoint at = form.edit->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, form.edit->mapToGlobal(at));
        QApplication::sendEvent(form.edit, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        int editing = 0;
        for (QAction* action : menu->actions()) {
            if (!action->isEnabled() || action->isSeparator())
                continue;
            action->trigger();
            editing += form.edit->text() != QStringLiteral("12") ? 1 : 0;
            reset();
        }
        menu->close();
        if (editorEnabled)
            QVERIFY2(editing >= 2, "cut and paste are offered");
        else
            QCOMPARE(editing, 0);
    }
}

void SpinEditTest::arrowsWithTypingOffOrReadOnly_data()
{
    QTest::addColumn<bool>("editorEnabled");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<Input>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");

    QTest::newRow("typing off: Up key") << false << false << Input::UpKey << QStringLiteral("6") << 0;
    QTest::newRow("typing off: Down key") << false << false << Input::DownKey << QStringLiteral("4") << 0;
    QTest::newRow("typing off: up button") << false << false << Input::UpButton << QStringLiteral("6") << 0;
    QTest::newRow("typing off: down button") << false << false << Input::DownButton << QStringLiteral("4") << 0;
    QTest::newRow("read only: Up key") << true << true << Input::UpKey << QStringLiteral("5") << 1;
    QTest::newRow("read only: Down key") << true << true << Input::DownKey << QStringLiteral("5") << 1;
    QTest::newRow("read only: up button") << true << true << Input::UpButton << QStringLiteral("5") << 1;
    QTest::newRow("read only: down button") << true << true << Input::DownButton << QStringLiteral("5") << 1;
}

void SpinEditTest::arrowsWithTypingOffOrReadOnly()
{
    QFETCH(bool, editorEnabled);
    QFETCH(bool, readOnly);
    QFETCH(Input, input);
    QFETCH(QString, expected);
    QFETCH(int, beeps);

    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    form.edit->setEditorEnabled(editorEnabled);
    form.edit->setReadOnly(readOnly);
    form.edit->setValue(5);
    QVERIFY(ovin::test::showActive(form.window));
    form.edit->setFocus();

    switch (input) {
    case Input::UpKey:
        QTest::keyClick(form.edit, Qt::Key_Up);
        break;
    case Input::DownKey:
        QTest::keyClick(form.edit, Qt::Key_Down);
        break;
    case Input::UpButton:
        QTest::mouseClick(form.edit->Button()->upButton(), Qt::LeftButton);
        break;
    case Input::DownButton:
        QTest::mouseClick(form.edit->Button()->downButton(), Qt::LeftButton);
        break;
    }
    QCOMPARE(form.edit->text(), expected);
    QCOMPARE(m_beeps->count(), beeps);
    QVERIFY(form.edit->hasFocus());
}

void SpinEditTest::tabEntrySelectsAll()
{
    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    form.edit->setValue(123);
    form.other->setFocus();
    QVERIFY(ovin::test::showActive(form.window));

    QTest::keyClick(form.other, Qt::Key_Tab);
    QCOMPARE(form.edit->selectedText(), QStringLiteral("123"));

    form.other->setFocus();
    form.edit->setAutoSelect(false);
    form.edit->deselect();
    QTest::keyClick(form.other, Qt::Key_Tab);
    QVERIFY(form.edit->hasFocus());
    QVERIFY(form.edit->selectedText().isEmpty());
}

void SpinEditTest::growsToMinimumHeight()
{
    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    QVERIFY(ovin::test::showActive(form.window));
    const int normalMinimum = form.edit->MinimumHeight();
    QVERIFY(normalMinimum > form.edit->fontMetrics().height());
    QVERIFY(form.edit->sizeHint().height() >= normalMinimum);

    form.edit->resize(120, 5);
    QCOMPARE(form.edit->height(), normalMinimum);

    QFont large = form.edit->font();
    large.setPixelSize(40);
    form.edit->setFont(large);
    QVERIFY(form.edit->MinimumHeight() > normalMinimum);
    form.edit->resize(120, normalMinimum + 1);
    QCOMPARE(form.edit->height(), form.edit->MinimumHeight());
}

void SpinEditTest::buttonStaysAtTheRightEdge()
{
    Form form;
    m_clock->attach(*form.edit);
    m_beeps->attach(*form.edit);
    QVERIFY(ovin::test::showActive(form.window));
    TSpinButton* button = form.edit->Button();

    for (const QSize size : {QSize(120, 30), QSize(200, 44)}) {
        form.edit->resize(size);
        const QRect placed = button->geometry();
        QCOMPARE(placed.width(), 15);
        QVERIFY(form.edit->rect().contains(placed));
        QVERIFY2(placed.right() >= size.width() - 4, "the arrows sit at the right edge");
        QVERIFY2(placed.height() >= size.height() - 6, "the arrows fill the height inside the frame");
        QVERIFY2(form.edit->textMargins().right() > placed.width(), "typed text stops before the arrows");
    }
}

QTEST_MAIN(SpinEditTest)
#include "SpinEditTest.moc"

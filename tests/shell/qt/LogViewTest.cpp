// The log view as the user drives it: keys and the mouse edit the log's own
// text, the month file then holds exactly what the view shows, the view
// follows new lines only from the bottom, and the find bar finds.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTestEventList>

#include <memory>
#include <string>

#include "settings/EventLog.h"
#include "shell/qt/FindBar.h"
#include "shell/qt/LogView.h"
#include "support/Fakes.h"

using namespace ovin;

// Keys, then text typed as a keyboard layout delivers it: each character in
// its own key event, accented letters included.
struct Keys {
    QTestEventList events;
    QString typed;
    void simulate(QWidget* w)
    {
        events.simulate(w);
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
};
Q_DECLARE_METATYPE(Keys)

namespace {

constexpr const char* kMonthFile = "/app/ovin202612.log";

// The real log on fake files and a fake clock, shown in a view of its own.
struct Rig {
    explicit Rig(const std::string& monthFile = {})
    {
        if (!monthFile.empty())
            files.touch(kMonthFile, monthFile);
        log.LoadMonthFile();
        view = std::make_unique<LogView>(log, nullptr);
        view->resize(400, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->setFocus();
    }
    std::string monthFile() const { return files.files.count(kMonthFile) ? files.files.at(kMonthFile).content : ""; }
    int lineHeight() const { return view->fontMetrics().lineSpacing(); }
    // A point inside line `line` (counted from the top of the view) at `x`.
    QPoint at(int line, int x) const { return QPoint(x, line * lineHeight() + lineHeight() / 2); }

    test::FakeFileSystem files;
    test::FakeClock clock;
    EventLog log{files, clock, "/app/"};
    std::unique_ptr<LogView> view;
};

std::string manyLines(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "[12:34:56.789] Nastavena priorita: Normální " + std::to_string(i) + "\r\n";
    return s;
}

Keys keys(std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> list, const char* typed = "")
{
    Keys k;
    for (const auto& [key, mods] : list)
        k.events.addKeyClick(key, mods);
    k.typed = QString::fromUtf8(typed);
    return k;
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

}  // namespace

class LogViewTest : public QObject {
    Q_OBJECT

private slots:
    void keysEditTheLog_data();
    void keysEditTheLog();
    void editsThenLoggedLinesLeaveTheMonthFileEqualToTheView_data();
    void editsThenLoggedLinesLeaveTheMonthFileEqualToTheView();
    void mouseSelectsAndTheClipboardCopiesAndPastes();
    void doubleClickSelectsAWord();
    void theViewFollowsNewLinesOnlyFromTheBottom();
    void findBarFindsNextAndPreviousAndCloses();
    void pageKeysAndLinesOfAMonthOfLog();
};

void LogViewTest::keysEditTheLog_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<Keys>("events");
    QTest::addColumn<QString>("after");

    QTest::newRow("typed at the end") << "a\r\n" << keys({{Qt::Key_End, kCtrl}}, "xyž") << "a\r\nxyž";
    QTest::newRow("Enter is CR LF") << "ab"
                                    << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Right, kNone}, {Qt::Key_Enter, kNone}})
                                    << "a\r\nb";
    QTest::newRow("Backspace takes a whole CR LF")
        << "a\r\nb" << keys({{Qt::Key_End, kCtrl}, {Qt::Key_Left, kNone}, {Qt::Key_Backspace, kNone}}) << "ab";
    QTest::newRow("Right steps over CR LF at once")
        << "a\r\nb" << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Right, kNone}, {Qt::Key_Right, kNone}}, "X") << "a\r\nXb";
    QTest::newRow("Delete takes a whole character")
        << "žluť" << keys({{Qt::Key_Home, kNone}, {Qt::Key_Delete, kNone}}) << "luť";
    QTest::newRow("Shift+Right selects a whole character")
        << "čau" << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Right, kShift}}, "C") << "Cau";
    QTest::newRow("Backspace after a two-unit character")
        << "a😀" << keys({{Qt::Key_End, kNone}, {Qt::Key_Backspace, kNone}}) << "a";
    QTest::newRow("Ctrl+A then typing replaces everything") << "a\r\nb\r\n" << keys({{Qt::Key_A, kCtrl}}, "z") << "z";
    QTest::newRow("Shift+Up selects to the same column above")
        << "ab\r\ncd" << keys({{Qt::Key_End, kCtrl}, {Qt::Key_Up, kShift}, {Qt::Key_Backspace, kNone}}) << "ab";
    QTest::newRow("Home and End of a line")
        << "ab\r\ncd\r\nef" << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Down, kNone}, {Qt::Key_End, kNone}}, "!")
        << "ab\r\ncd!\r\nef";
    QTest::newRow("Home then typing") << "ab\r\ncd" << keys({{Qt::Key_End, kCtrl}, {Qt::Key_Home, kNone}}, "X")
                                      << "ab\r\nXcd";
    QTest::newRow("Shift+End then Delete")
        << "ab\r\ncd" << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_End, kShift}, {Qt::Key_Delete, kNone}}) << "\r\ncd";
    QTest::newRow("Ctrl+Left to the start of a word")
        << "jedna dva" << keys({{Qt::Key_End, kNone}, {Qt::Key_Left, kCtrl}}, "X") << "jedna Xdva";
    QTest::newRow("Left ends a selection at its start")
        << "abc"
        << keys({{Qt::Key_End, kNone}, {Qt::Key_Left, kShift}, {Qt::Key_Left, kShift}, {Qt::Key_Left, kNone}}, "X")
        << "aXbc";
}

void LogViewTest::keysEditTheLog()
{
    QFETCH(QString, before);
    QFETCH(Keys, events);
    QFETCH(QString, after);
    Rig rig(before.toStdString());
    events.simulate(rig.view.get());
    QCOMPARE(QString::fromStdString(rig.log.text()), after);
    QCOMPARE(&rig.view->text(), &rig.log.text());
}

void LogViewTest::editsThenLoggedLinesLeaveTheMonthFileEqualToTheView_data()
{
    QTest::addColumn<Keys>("events");
    QTest::addColumn<bool>("rewritesWhole");

    QTest::newRow("typed at the end") << keys({{Qt::Key_End, kCtrl}}, "poznámka") << false;
    QTest::newRow("Enter at the end") << keys({{Qt::Key_End, kCtrl}, {Qt::Key_Return, kNone}}, "x") << false;
    QTest::newRow("typed in the middle") << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Down, kNone}}, "oprava ") << true;
    QTest::newRow("deleted at the start") << keys({{Qt::Key_Home, kCtrl}, {Qt::Key_Delete, kNone}}) << true;
}

void LogViewTest::editsThenLoggedLinesLeaveTheMonthFileEqualToTheView()
{
    QFETCH(Keys, events);
    QFETCH(bool, rewritesWhole);
    Rig rig(manyLines(50));
    events.simulate(rig.view.get());
    rig.log.AddLogLine("prvni");
    QCOMPARE(rig.monthFile(), rig.log.text());
    QCOMPARE(rig.files.replaces, rewritesWhole ? 1 : 0);
    // The caret followed the logged line; as the log ends without a line
    // break after typing, what is typed next joins that line.
    keys({}, "dal").simulate(rig.view.get());
    rig.log.AddLogLine("druhy");
    QCOMPARE(rig.monthFile(), rig.log.text());
    const std::string& t = rig.log.text();
    const std::string tail = t.substr(t.size() - 45);
    if (!rewritesWhole)
        QVERIFY2(tail.find("] prvnidal\r\n[") != std::string::npos, tail.c_str());
}

void LogViewTest::mouseSelectsAndTheClipboardCopiesAndPastes()
{
    Rig rig("alfa beta gama\r\n");
    LogView& view = *rig.view;
    const QPoint from = view.characterRect(5).center();
    const QPoint to = view.characterRect(9).topLeft() + QPoint(0, rig.lineHeight() / 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view.viewport(), to);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(view.selectedText(), std::string("beta"));

    QTest::keyClick(&view, Qt::Key_C, kCtrl);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("beta"));
    QTest::keyClick(&view, Qt::Key_End, kCtrl);
    QTest::keyClick(&view, Qt::Key_V, kCtrl);
    QCOMPARE(rig.log.text(), std::string("alfa beta gama\r\nbeta"));

    // Cut the first word; pasted text with lone line breaks comes in as CR LF.
    view.setSelection(0, 5);
    QTest::keyClick(&view, Qt::Key_X, kCtrl);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alfa "));
    QApplication::clipboard()->setText(QStringLiteral("1\n2\r3"));
    QTest::keyClick(&view, Qt::Key_Insert, kShift);
    QCOMPARE(rig.log.text(), std::string("1\r\n2\r\n3beta gama\r\nbeta"));
}

void LogViewTest::doubleClickSelectsAWord()
{
    Rig rig("[10:00:00.000] Trovan spušten\r\n");
    const QPoint p = rig.view->characterRect(25).center();
    QTest::mouseDClick(rig.view->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(rig.view->selectedText(), std::string("spušten"));
}

void LogViewTest::theViewFollowsNewLinesOnlyFromTheBottom()
{
    Rig rig(manyLines(1000));
    QScrollBar* bar = rig.view->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());  // opened on the end of the log
    QVERIFY(bar->maximum() > 900);

    rig.log.AddLogLine("nova");
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(static_cast<std::size_t>(bar->value() + rig.view->visibleLineCount()), rig.view->lineCount());

    // The wheel scrolls up: new lines no longer move the view.
    QWheelEvent wheel(QPointF(50, 50), rig.view->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120 * 5),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rig.view->viewport(), &wheel);
    const int scrolled = bar->value();
    QVERIFY(scrolled < bar->maximum());
    rig.log.AddLogLine("dalsi");
    rig.log.AddLogText("a jeste");
    QCOMPARE(bar->value(), scrolled);

    // Back at the bottom, it follows again.
    QTest::keyClick(rig.view.get(), Qt::Key_End, kCtrl);
    rig.log.AddLogLine("posledni");
    QCOMPARE(bar->value(), bar->maximum());
}

void LogViewTest::findBarFindsNextAndPreviousAndCloses()
{
    Rig rig("jedna NENALEZEN\r\ndva\r\ntri NENALEZEN\r\n");
    LogView& view = *rig.view;
    const int viewportHeight = view.viewport()->height();
    QVERIFY(!view.findBar()->isVisible());

    QTest::keyClick(&view, Qt::Key_F, kCtrl);
    QVERIFY(view.findBar()->isVisible());
    QLineEdit* edit = view.findBar()->needleEdit();
    QVERIFY(edit->hasFocus());
    QTest::keyClicks(edit, "NENALEZEN");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(view.selectionStart(), std::size_t{6});  // wraps round from the end
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(view.selectionStart(), std::size_t{26});
    QTest::keyClick(edit, Qt::Key_Return, kShift);
    QCOMPARE(view.selectionStart(), std::size_t{6});
    QCOMPARE(view.selectedText(), std::string("NENALEZEN"));

    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!view.findBar()->isVisible());
    QVERIFY(view.hasFocus());
    QCOMPARE(view.viewport()->height(), viewportHeight);
    QTest::keyClick(&view, Qt::Key_F3);
    QCOMPARE(view.selectionStart(), std::size_t{26});

    QTest::keyClick(&view, Qt::Key_F, kCtrl);
    edit->setText(QStringLiteral("chybi"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(view.findBar()->findChild<QLabel*>(QStringLiteral("findStatus"))->text(), QStringLiteral("Nenalezeno"));
}

void LogViewTest::pageKeysAndLinesOfAMonthOfLog()
{
    Rig rig(manyLines(200));
    LogView& view = *rig.view;
    QCOMPARE(view.lineCount(), std::size_t{201});
    QCOMPARE(view.lineOf(view.caret()), std::size_t{200});
    QTest::keyClick(&view, Qt::Key_PageUp);
    const int page = view.visibleLineCount();
    QCOMPARE(view.lineOf(view.caret()), std::size_t(200 - page));
    QTest::keyClick(&view, Qt::Key_Home, kCtrl);
    QCOMPARE(view.verticalScrollBar()->value(), 0);
    QTest::keyClick(&view, Qt::Key_PageDown, kShift);
    QCOMPARE(view.lineOf(view.caret()), std::size_t(page));
    QCOMPARE(view.selectionStart(), std::size_t{0});
    // The line index follows edits that add and remove line breaks.
    QTest::keyClick(&view, Qt::Key_Delete);
    QCOMPARE(view.lineCount(), std::size_t(201 - page));
    QCOMPARE(view.lineText(0).left(15), QStringLiteral("[12:34:56.789] "));
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(view.lineCount(), std::size_t(202 - page));
    for (std::size_t i = 0; i + 1 < view.lineCount(); ++i)
        QCOMPARE(rig.log.text().substr(view.lineEnd(i), 2), std::string("\r\n"));
}

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"

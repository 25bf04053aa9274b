#include <QApplication>
#include <QScreen>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <functional>

#include "platform/Platform.h"
#include "shell/qt/DesktopResources.h"
#include "shell/qt/HandOver.h"
#include "shell/qt/LogView.h"
#include "shell/qt/Main.h"
#include "shell/qt/SettingsPanel.h"
#include "support/FakePlatform.h"

namespace ovin {

namespace {

constexpr int kDialogTimeoutMs = 5000;

// Runs `inspect` on the modal dialog once it is open, so that no test can
// block on a question nobody answers.
void whenDialogOpens(const std::function<void(QWidget*)>& inspect)
{
    auto* timer = new QTimer(qApp);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, inspect, started] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && started->elapsed() < kDialogTimeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog)
            return;
        const QPointer<QWidget> open(dialog);
        inspect(dialog);
        // A check that failed inside left the question unanswered.
        if (open && open->isVisible())
            open->close();
    });
    timer->start(10);
}

class CountingForm final : public TTinyForm {
public:
    using TTinyForm::TTinyForm;
    int afterShows = 0;

protected:
    void AfterShow() override { ++afterShows; }
};

using qt::TfmWex;
using test::FakePlatform;

// The rows of a widget's picture that hold ink (pixels far darker than the
// background), top to bottom.
std::vector<int> inkPerRow(QWidget* widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::vector<int> rows(static_cast<std::size_t>(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            rows[static_cast<std::size_t>(y)] += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    }
    return rows;
}

int sum(const std::vector<int>& values)
{
    int total = 0;
    for (const int v : values)
        total += v;
    return total;
}

// How many lines of text there are: runs of inked rows with rows between
// them where at most a stray pixel or two of a line meets the next.
int inkedLines(const std::vector<int>& rows)
{
    constexpr int kStrayPixels = 2;
    int lines = 0;
    for (std::size_t y = 0; y < rows.size(); ++y)
        lines += rows[y] > kStrayPixels && (y == 0 || rows[y - 1] <= kStrayPixels) ? 1 : 0;
    return lines;
}

int count(const std::string& text, const std::string& needle)
{
    int n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
        ++n;
    return n;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The fonts the program itself loads.
    void initTestCase() { LoadDesktopResources(*qApp); }

    void questionTextIsBoldCentredOnOneLineAndWrappedLinesDoNotTouch()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        const QString question = "Opravdu chcete ukončit programy Trovan a Ovin ?";
        int boldInk = 0;
        int regularInk = 0;
        whenDialogOpens([&](QWidget* dialog) {
            auto* text = dialog->findChild<QLabel*>("Message");
            const std::vector<int> rows = inkPerRow(text);
            QCOMPARE(inkedLines(rows), 1);
            boldInk = sum(rows);
            // The same words in the regular face of the same font.
            QLabel regular(question);
            QFont font = text->font();
            font.setBold(false);
            regular.setFont(font);
            regular.adjustSize();
            regularInk = sum(inkPerRow(&regular));
            // Room at both ends: the text does not run from edge to edge.
            const QImage image = text->grab().toImage();
            for (const int x :
                 {0, 1, 2, 3, image.width() - 4, image.width() - 3, image.width() - 2, image.width() - 1}) {
                for (int y = 0; y < image.height(); ++y)
                    QVERIFY2(qGray(image.pixel(x, y)) > 96, qPrintable(QString::number(x)));
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QVERIFY(form.Confirm(question, TMsgDlgType::mtWarning));
        QVERIFY2(boldInk * 10 >= regularInk * 13, qPrintable(QString("%1 %2").arg(boldInk).arg(regularInk)));

        // A question too long for one line: its lines stand apart.
        int lines = 0;
        whenDialogOpens([&](QWidget* dialog) {
            lines = inkedLines(inkPerRow(dialog->findChild<QLabel*>("Message")));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        form.Confirm(QString("Ťažké Ůlohy čeká Ýpsilon. ").repeated(6), TMsgDlgType::mtWarning);
        QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
    }

    void bareAcceleratorLettersAnswer()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_N); });
        QVERIFY(!form.MessageDialog("C", "N?", TMsgDlgType::mtWarning));
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_A); });
        QVERIFY(form.MessageDialog("C", "A?", TMsgDlgType::mtWarning));

        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_N); });
        fmWex.Exit1Click();
        QCOMPARE(quit.count(), 0);
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_A); });
        fmWex.Exit1Click();
        QCOMPARE(quit.count(), 1);
    }

    void questionDialogIsRestyledAndAnswersYesOnEnter()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        bool inspected = false;
        whenDialogOpens([&](QWidget* dialog) {
            inspected = true;
            QCOMPARE(dialog->windowTitle(), QString("Dotaz:"));
            QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(dialog->font().family(), QString("Tahoma"));
            auto* icon = dialog->findChild<QLabel*>("Image");
            auto* text = dialog->findChild<QLabel*>("Message");
            auto* yes = dialog->findChild<QPushButton*>("Yes");
            auto* no = dialog->findChild<QPushButton*>("No");
            QVERIFY(icon && text && yes && no);
            QCOMPARE(icon->y(), 0);
            QCOMPARE(icon->x(), dialog->width() / 2 - icon->width() / 2);
            QCOMPARE(text->y(), icon->height() + 15);
            QCOMPARE(text->x(), 0);
            QCOMPARE(text->width(), dialog->width());
            QVERIFY(text->font().bold());
            QVERIFY(text->alignment() & Qt::AlignHCenter);
            QCOMPARE(yes->y(), text->geometry().bottom() + 1 + 10);
            QCOMPARE(no->y(), yes->y());
            QCOMPARE(yes->text(), QString("&Ano"));
            QCOMPARE(no->text(), QString("&Ne"));
            QVERIFY(yes->isDefault());
            for (QWidget* part : {static_cast<QWidget*>(icon), static_cast<QWidget*>(text), static_cast<QWidget*>(yes),
                                  static_cast<QWidget*>(no)})
                QVERIFY2(dialog->rect().contains(part->geometry()), qPrintable(part->objectName()));
            QCOMPARE(text->height(), text->heightForWidth(text->width()));
            QVERIFY(dialog->height() >= yes->geometry().bottom() + 1 + 20);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QVERIFY(form.Confirm("Opravdu chcete ukončit programy Trovan a Ovin ?", TMsgDlgType::mtWarning));
        QVERIFY(inspected);
    }

    void questionDialogAnswersNoOnEscapeAndOnClose()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QVERIFY(!form.MessageDialog("C", "Esc?", TMsgDlgType::mtWarning));
        whenDialogOpens([](QWidget* dialog) { dialog->close(); });
        QVERIFY(!form.MessageDialog("C", "Close box?", TMsgDlgType::mtWarning));
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog->findChild<QPushButton*>("No"), Qt::Key_Space); });
        QVERIFY(!form.MessageDialog("C", "No?", TMsgDlgType::mtWarning));
    }

    void customQuestionHasNoIconAndItsTextStartsFifteenPixelsDown()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        whenDialogOpens([](QWidget* dialog) {
            QVERIFY(!dialog->findChild<QLabel*>("Image"));
            QCOMPARE(dialog->findChild<QLabel*>("Message")->y(), 15);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QVERIFY(form.MessageDialog("C", "text", TMsgDlgType::mtCustom));
    }

    void debugSwitchGivesTheDebugCaptions()
    {
        FakePlatform p;
        p.files->files[kParamFile].content = "-d\r\n";
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        QString yesText, noText;
        whenDialogOpens([&](QWidget* dialog) {
            yesText = dialog->findChild<QPushButton*>("Yes")->text();
            noText = dialog->findChild<QPushButton*>("No")->text();
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        const bool answer = form.Confirm("?", TMsgDlgType::mtWarning);
        QVERIFY(answer);
        QCOMPARE(yesText, QString("&Ofšemže"));
        QCOMPARE(noText, QString("&Jistě že ne"));
    }

    void showFormNotifiesOncePerCall()
    {
        FakePlatform p;
        CountingForm form(*p.platform.process, *p.platform.files, p.context());
        form.ShowForm();
        form.ShowForm();
        QCOMPARE(form.afterShows, 0);
        QCoreApplication::processEvents();
        QCOMPARE(form.afterShows, 2);
        QVERIFY(form.isVisible());
    }

    void appFolderIsTheExecutablesFolderForTheFormsWholeLife()
    {
        FakePlatform p;
        TTinyForm form(*p.platform.process, *p.platform.files, p.context());
        QCOMPARE(form.AppFolder(), std::string("/app/"));
    }

    void closeBoxOnlyHidesTheWindow()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        fmWex.show();
        const std::string before = fmWex.watchdog().log().text();
        QVERIFY(!fmWex.close());
        QVERIFY(!fmWex.isVisible());
        QCOMPARE(fmWex.watchdog().log().text(), before);
        QCOMPARE(quit.count(), 0);
    }

    void endOfSessionWritesTheClosingLinesTwiceAndTheSettings()
    {
        FakePlatform p;
        {
            TfmWex fmWex(p.platform, p.context());
            QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
            fmWex.watchdog().conf().MaxStejnyRequest = 9;
            fmWex.ShutdownQuery();
            QCOMPARE(quit.count(), 1);
            const std::string& text = fmWex.watchdog().log().text();
            QCOMPARE(count(text, "UKONCENI PROGRAMU"), 2);
            const std::string tail = "] UKONCENI PROGRAMU\r\n" + std::string(119, '-') + "\r\n";
            QCOMPARE(text.substr(text.size() - tail.size()), tail);
            const std::string file = p.monthFile();
            QVERIFY(file.size() > 20);
            QCOMPARE(file.substr(file.size() - 20), std::string("] UKONCENI PROGRAMU\r\n").substr(1));
        }
        QVERIFY(p.files->files.at("/app/ovin.ini").content.find("MaxStejnyRequest=9\r\n") != std::string::npos);
    }

    void konecAsksInAPlainCentredBoxAndQuitsOnlyOnYes()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        QString text, caption;
        whenDialogOpens([&](QWidget* box) {
            caption = box->windowTitle();
            auto* label = box->findChild<QLabel*>("Message");
            QVERIFY(label);
            text = label->text();
            // No icon beside the text, none on the buttons.
            for (const QLabel* l : box->findChildren<QLabel*>())
                QVERIFY(l->pixmap().isNull());
            for (const QPushButton* b : box->findChildren<QPushButton*>())
                QVERIFY2(b->icon().isNull(), qPrintable(b->text()));
            // The text centred in the box, the box in the middle of the
            // screen (the main window was never shown).
            const std::vector<int> columns = [&] {
                const QImage image = box->grab().toImage();
                std::vector<int> inked;
                for (int x = 0; x < image.width(); ++x) {
                    for (int y = label->y(); y <= label->geometry().bottom(); ++y) {
                        if (qGray(image.pixel(x, y)) < 96) {
                            inked.push_back(x);
                            break;
                        }
                    }
                }
                return inked;
            }();
            QVERIFY(!columns.empty());
            const int leftRoom = columns.front();
            const int rightRoom = box->width() - 1 - columns.back();
            QVERIFY2(std::abs(leftRoom - rightRoom) <= 2, qPrintable(QString("%1 %2").arg(leftRoom).arg(rightRoom)));
            const QPoint screenCentre = box->screen()->geometry().center();
            const QPoint boxCentre = box->frameGeometry().center();
            QVERIFY2(std::abs(boxCentre.x() - screenCentre.x()) <= 2 && std::abs(boxCentre.y() - screenCentre.y()) <= 2,
                     qPrintable(QString("%1,%2").arg(boxCentre.x()).arg(boxCentre.y())));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        fmWex.Exit1Click();
        QCOMPARE(text, QString("Ukončit program Ovin ?"));
        QCOMPARE(caption, QString("Ukončení"));
        QCOMPARE(quit.count(), 0);
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
        const std::string before = fmWex.watchdog().log().text();
        fmWex.Exit1Click();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(fmWex.watchdog().log().text(), before);  // no closing line on this way out
    }

    void stoppingRouterAndWatchdogEndsEveryRouter()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        p.processes->entries = {{"trovan.exe", 10}, {"bash", 11}, {"TROVAN.EXE", 12}};
        p.answers.questions.push(false);
        fmWex.UkonitTrovaniOvin1Click();
        QCOMPARE(quit.count(), 0);
        QCOMPARE(p.processes->entries.size(), std::size_t{3});

        p.answers.questions.push(true);
        fmWex.UkonitTrovaniOvin1Click();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(p.processes->entries.size(), std::size_t{1});
        const std::string& text = fmWex.watchdog().log().text();
        QVERIFY(text.find("] Opravdu chcete ukončit programy Trovan a Ovin ? - ANO\r\n[") != std::string::npos);
        QVERIFY(text.find("] Ukoncuji Trovan\r\n") != std::string::npos);

        p.answers.questions.push(true);
        fmWex.UkonitTrovaniOvin1Click();
        QCOMPARE(count(fmWex.watchdog().log().text(), "Ukoncuji Trovan"), 1);  // nothing running, nothing logged
    }

    void rightButtonReleaseOnThePanelQuits()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        fmWex.show();
        QTest::mouseRelease(fmWex.Panel1, Qt::LeftButton, {}, QPoint(200, 60));
        QCOMPARE(quit.count(), 0);
        QTest::mouseRelease(fmWex.Panel1, Qt::RightButton, {}, QPoint(200, 60));
        QCOMPARE(quit.count(), 1);
    }

    void textTypedIntoTheLogViewBecomesPartOfTheLog()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        fmWex.show();
        fmWex.Memo1->setFocus();
        QTest::keyClick(fmWex.Memo1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(fmWex.Memo1, "poznamka");
        fmWex.watchdog().log().AddLogLine("dalsi");
        const std::string& text = fmWex.watchdog().log().text();
        QVERIFY(text.find("\r\npoznamka\r\n[") != std::string::npos);
        QCOMPARE(p.monthFile(), text);
        QCOMPARE(&fmWex.Memo1->text(), &text);  // the view shows the log's own text
    }

    void aHandOverThatCannotListenSaysSoAndWhy()
    {
        QObject owner;
        const std::string name = "ovin-test-" + std::to_string(QCoreApplication::applicationPid());
        HandOverListener first(name, &owner);
        QVERIFY(first.isListening());
        HandOverListener taken(name, &owner);
        QVERIFY(!taken.isListening());
        QVERIFY(!taken.errorString().isEmpty());
        HandOverListener tooLong(std::string(300, 'x'), &owner);
        QVERIFY(!tooLong.isListening());
        QVERIFY(!tooLong.errorString().isEmpty());
    }

    void handOverShowsTheWindowOnlyForTheExactWord()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        fmWex.CopyDataReceived("SHOWFORM");
        QVERIFY(!fmWex.isVisible());
        fmWex.CopyDataReceived("showform");
        QVERIFY(fmWex.isVisible());
    }
};

}  // namespace ovin

QTEST_MAIN(ovin::MainWindowTest)
#include "MainWindowTest.moc"

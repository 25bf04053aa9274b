#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <functional>

#include "platform/Platform.h"
#include "shell/qt/LogView.h"
#include "shell/qt/Main.h"
#include "shell/qt/SettingsPanel.h"
#include "FakePlatform.h"

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
        if (dialog)
            inspect(dialog);
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

using test::FakePlatform;

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
            for (QWidget* part : {static_cast<QWidget*>(icon), static_cast<QWidget*>(text),
                                  static_cast<QWidget*>(yes), static_cast<QWidget*>(no)})
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

    void konecAsksAndQuitsOnlyOnYes()
    {
        FakePlatform p;
        TfmWex fmWex(p.platform, p.context());
        QSignalSpy quit(&fmWex, &TfmWex::quitRequested);
        QString text, caption;
        bool hasIcon = true;
        whenDialogOpens([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box);
            text = box->text();
            caption = box->windowTitle();
            hasIcon = box->icon() != QMessageBox::NoIcon;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        fmWex.Exit1Click();
        QCOMPARE(text, QString("Ukončit program Ovin ?"));
        QCOMPARE(caption, QString("Ukončení"));
        QVERIFY(!hasIcon);
        QCOMPARE(quit.count(), 0);
        whenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
        const std::string before = fmWex.watchdog().log().text();
        fmWex.Exit1Click();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(fmWex.watchdog().log().text(), before); // no closing line on this way out
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
        QCOMPARE(count(fmWex.watchdog().log().text(), "Ukoncuji Trovan"), 1); // nothing running, nothing logged
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
        QCOMPARE(&fmWex.Memo1->text(), &text); // the view shows the log's own text
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

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "support/FakePlatform.h"
#include "controls/qt/Spin.h"
#include "controls/qt/ckLabelX.h"
#include "controls/qt/ckSpinEditX.h"
#include "controls/qt/csAdpEdit.h"
#include "shell/qt/LogView.h"
#include "shell/qt/Main.h"
#include "shell/qt/SettingsPanel.h"

namespace ovin {

namespace {

using qt::TfmWex;
using test::FakePlatform;

/// The window of a program whose settings file holds `conf` (lines of the
/// [conf] section), shown and active so that keys and clicks reach it.
std::unique_ptr<TfmWex> openWindow(FakePlatform& p, const std::string& conf)
{
    p.files->files[FakePlatform::kIni].content = "[conf]\r\n" + conf;
    auto w = std::make_unique<TfmWex>(p.platform, p.context());
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the window did not become active");
    return w;
}

QWidget* control(TfmWex& w, const QString& name) { return w.Panel1->findChild<QWidget*>(name); }

/// What a control shows: "1"/"0" for a box, the text of a field.
QString shown(QWidget* c)
{
    if (auto* box = qobject_cast<QCheckBox*>(c))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return qobject_cast<QLineEdit*>(c)->text();
}

/// Replaces a field's text the way a user does: click, select all, type.
void typeInto(QWidget* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(5, field->height() / 2));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

void clickCentre(QWidget* c) { QTest::mouseClick(c, Qt::LeftButton, {}, c->rect().center()); }

/// The line of `key` in the record's summary, without its end.
QString summaryValue(TfmWex& w, const QString& key)
{
    const QString summary = QString::fromStdString(w.watchdog().conf().SettingsSummary());
    for (const QString& line : summary.split(QStringLiteral("\r\n")))
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    return QStringLiteral("<missing>");
}

}  // namespace

class SettingsPanelTest : public QObject {
    Q_OBJECT
private slots:
    void everySettingIsShownInItsControl_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("pathEnabled");

        QTest::newRow("watch on") << "HlidatZdaTrovanJede=1"
                                  << "cxHlidatTrovan"
                                  << "1" << false;
        QTest::newRow("watch off") << "HlidatZdaTrovanJede=0"
                                   << "cxHlidatTrovan"
                                   << "0" << false;
        QTest::newRow("delete on") << "MazatRequest=1"
                                   << "cxMazatRq"
                                   << "1" << false;
        QTest::newRow("icon off") << "ZobrazitIkonu=0"
                                  << "cxZobrazitIkonu"
                                  << "0" << false;
        QTest::newRow("icon by default") << ""
                                         << "cxZobrazitIkonu"
                                         << "1" << false;
        QTest::newRow("interval in seconds") << "Interval=30000"
                                             << "seInterval"
                                             << "30" << false;
        QTest::newRow("interval truncated") << "Interval=1500"
                                            << "seInterval"
                                            << "1" << false;
        QTest::newRow("interval below a second") << "Interval=999"
                                                 << "seInterval"
                                                 << "1" << false;
        QTest::newRow("interval negative") << "Interval=-5000"
                                           << "seInterval"
                                           << "1" << false;
        QTest::newRow("interval at its top") << "Interval=2000000000"
                                             << "seInterval"
                                             << "1000000" << false;
        QTest::newRow("same zero") << "MaxStejnyRequest=0"
                                   << "seMaxSame"
                                   << "1" << false;
        QTest::newRow("same above") << "MaxStejnyRequest=1001"
                                    << "seMaxSame"
                                    << "1000" << false;
        QTest::newRow("same as stored") << "MaxStejnyRequest=7"
                                        << "seMaxSame"
                                        << "7" << false;
        QTest::newRow("age above") << "MaxStariRequest=600001"
                                   << "seMaxOld"
                                   << "600000" << false;
        QTest::newRow("age zero") << "MaxStariRequest=0"
                                  << "seMaxOld"
                                  << "0" << false;
        QTest::newRow("age negative") << "MaxStariRequest=-3"
                                      << "seMaxOld"
                                      << "0" << false;
        QTest::newRow("lines zero") << "MaxRadkuRequest=0"
                                    << "seMaxRadku"
                                    << "1" << false;
        QTest::newRow("lines as stored") << "MaxRadkuRequest=12"
                                         << "seMaxRadku"
                                         << "12" << false;
        QTest::newRow("wait negative") << "CekaniNaTrovan=-7"
                                       << "seWait"
                                       << "-7" << false;
        QTest::newRow("wait huge") << "CekaniNaTrovan=2000000000"
                                   << "seWait"
                                   << "2000000000" << false;
        QTest::newRow("other folder on") << "JinyAdrReq=1"
                                         << "cxJinyAdrReq"
                                         << "1" << true;
        QTest::newRow("other folder off") << "JinyAdrReq=0"
                                          << "cxJinyAdrReq"
                                          << "0" << false;
        QTest::newRow("path") << "AdrReq=/srv/trovan data"
                              << "ePathTo"
                              << "/srv/trovan data" << false;
    }

    void everySettingIsShownInItsControl()
    {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QFETCH(bool, pathEnabled);
        FakePlatform p;
        auto w = openWindow(p, line.toStdString() + "\r\n");
        QWidget* c = control(*w, name);
        QVERIFY(c);
        QCOMPARE(shown(c), expected);
        QCOMPARE(w->Panel1->ePathTo->isEnabled(), pathEnabled);
        QCOMPARE(w->Panel1->bJinyAdrReq->isEnabled(), pathEnabled);
    }

    void ulozitTakesEveryControlOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");  // text for a field; empty for a box, which is clicked
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("watch") << "cxHlidatTrovan"
                               << ""
                               << "HlidatZdaTrovanJede"
                               << "b1";
        QTest::newRow("delete") << "cxMazatRq"
                                << ""
                                << "MazatRequest"
                                << "b1";
        QTest::newRow("icon") << "cxZobrazitIkonu"
                              << ""
                              << "ZobrazitIkonu"
                              << "b0";
        QTest::newRow("interval to ms") << "seInterval"
                                        << "45"
                                        << "Interval"
                                        << "45000";
        QTest::newRow("interval at its top") << "seInterval"
                                             << "1000000"
                                             << "Interval"
                                             << "1000000000";
        QTest::newRow("interval pulled up") << "seInterval"
                                            << "0"
                                            << "Interval"
                                            << "1000";
        QTest::newRow("same") << "seMaxSame"
                              << "9"
                              << "MaxStejnyRequest"
                              << "9";
        QTest::newRow("same pulled down") << "seMaxSame"
                                          << "5000"
                                          << "MaxStejnyRequest"
                                          << "1000";
        QTest::newRow("age") << "seMaxOld"
                             << "1200"
                             << "MaxStariRequest"
                             << "1200";
        QTest::newRow("age pulled down") << "seMaxOld"
                                         << "700000"
                                         << "MaxStariRequest"
                                         << "600000";
        QTest::newRow("lines") << "seMaxRadku"
                               << "3"
                               << "MaxRadkuRequest"
                               << "3";
        QTest::newRow("lines not a number") << "seMaxRadku"
                                            << "-"
                                            << "MaxRadkuRequest"
                                            << "1";
        QTest::newRow("wait negative") << "seWait"
                                       << "-15"
                                       << "CekaniNaTrovan"
                                       << "-15";
        QTest::newRow("wait large") << "seWait"
                                    << "900000"
                                    << "CekaniNaTrovan"
                                    << "900000";
        QTest::newRow("path") << "ePathTo"
                              << "/mnt/x"
                              << "AdrReq"
                              << "/mnt/x";
    }

    void ulozitTakesEveryControlOver()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        FakePlatform p;
        // The other folder on, so that the path field takes typing; a count
        // of lines other than the one a field without a number gives.
        auto w = openWindow(p, "JinyAdrReq=1\r\nMaxRadkuRequest=4\r\n");
        QWidget* c = control(*w, name);
        QVERIFY(c);
        if (qobject_cast<QCheckBox*>(c))
            clickCentre(c);
        else
            typeInto(c, typed);
        QVERIFY(summaryValue(*w, key) != expected);  // nothing is taken over before the button
        clickCentre(w->Panel1->bSaveConf);
        QCOMPARE(summaryValue(*w, key), expected);
    }

    void aStoredIntervalComesBackInWholeSeconds_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("saved");
        QTest::newRow("30 s") << "30000"
                              << "30000";
        QTest::newRow("1.5 s") << "1500"
                               << "1000";
        QTest::newRow("below a second") << "200"
                                        << "1000";
    }

    void aStoredIntervalComesBackInWholeSeconds()
    {
        QFETCH(QString, stored);
        QFETCH(QString, saved);
        FakePlatform p;
        auto w = openWindow(p, "Interval=" + stored.toStdString() + "\r\n");
        clickCentre(w->Panel1->bSaveConf);
        QCOMPARE(summaryValue(*w, "Interval"), saved);
    }

    void ulozitWritesNeitherTheLogNorTheSettingsFile()
    {
        FakePlatform p;
        auto w = openWindow(p, "MaxStejnyRequest=5\r\n");
        const std::string ini = p.fileText(FakePlatform::kIni);
        const std::string log = w->watchdog().log().text();
        const std::string monthFile = p.monthFile();
        const int replaces = p.files->replaces;
        typeInto(w->Panel1->seMaxSame, "8");
        clickCentre(w->Panel1->bSaveConf);
        QCOMPARE(w->watchdog().conf().MaxStejnyRequest, 8);
        QCOMPARE(p.fileText(FakePlatform::kIni), ini);
        QCOMPARE(p.files->replaces, replaces);
        QCOMPARE(w->watchdog().log().text(), log);
        QCOMPARE(p.monthFile(), monthFile);
    }

    void aWaitTypedIntoItsFieldCountsBeforeUlozit()
    {
        FakePlatform p;
        auto w = openWindow(p, "CekaniNaTrovan=10\r\n");
        typeInto(w->Panel1->seWait, "3");
        QCOMPARE(w->routerWaitSeconds(), 3);
        QCOMPARE(w->watchdog().conf().CekaniNaTrovan, 10);
    }

    void tickingTheOtherFolderSwitchesTheRequestFileAtOnce()
    {
        FakePlatform p;
        auto w = openWindow(p, "JinyAdrReq=0\r\nAdrReq=/data\r\n");
        const TConf& conf = w->watchdog().conf();
        QCOMPARE(conf.RequestFilePath(), std::string("/app/request.cfg"));

        const struct {
            const char* step;
            bool on;
            const char* requestFile;
        } steps[] = {{"tick", true, "/data/request.cfg"},
                     {"untick", false, "/app/request.cfg"},
                     {"tick again", true, "/data/request.cfg"}};
        for (const auto& s : steps) {
            clickCentre(w->Panel1->cxJinyAdrReq);
            QVERIFY2(w->Panel1->cxJinyAdrReq->isChecked() == s.on, s.step);
            QVERIFY2(conf.JinyAdrReq == s.on, s.step);
            QVERIFY2(conf.RequestFilePath() == s.requestFile, s.step);
            QVERIFY2(w->Panel1->ePathTo->isEnabled() == s.on, s.step);
            QVERIFY2(w->Panel1->bJinyAdrReq->isEnabled() == s.on, s.step);
        }
        // The text typed into the path field waits for "ULOŽIT".
        typeInto(w->Panel1->ePathTo, "/elsewhere");
        QCOMPARE(conf.RequestFilePath(), std::string("/data/request.cfg"));
        clickCentre(w->Panel1->bSaveConf);
        QCOMPARE(conf.RequestFilePath(), std::string("/elsewhere/request.cfg"));
    }

    void theFolderOfAFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::newRow("folder") << "/x/request.cfg"
                                << "/x";
        QTest::newRow("deeper") << "/a/b c/request.cfg"
                                << "/a/b c";
        QTest::newRow("root keeps its separator") << "/request.cfg"
                                                  << "/";
        QTest::newRow("drive folder") << "D:/data/request.cfg"
                                      << "D:/data";
        QTest::newRow("drive root") << "D:/request.cfg"
                                    << "D:/";
    }

    void theFolderOfAFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QCOMPARE(QString::fromStdString(SettingsPanelLogic::FolderOfFile(file.toStdString())), folder);
    }

    void najitPutsTheChosenFoldersIntoTheFieldAndTheRecord()
    {
        FakePlatform p;
        auto w = openWindow(p, "JinyAdrReq=1\r\nAdrReq=/old\r\n");
        const TConf& conf = w->watchdog().conf();
        const QColor lime(0, 255, 0);

        const struct {
            const char* answer;  // null: the dialog is cancelled
            const char* expected;
        } steps[] = {{"/x/request.cfg", "/x"}, {nullptr, "/x"}, {"/request.cfg", "/"}};
        for (const auto& s : steps) {
            w->Panel1->cxHlidatTrovan->setFocus();
            p.answers.files.push(s.answer ? std::optional<std::string>(s.answer) : std::nullopt);
            clickCentre(w->Panel1->bJinyAdrReq);
            QCOMPARE(w->Panel1->ePathTo->text(), QString::fromUtf8(s.expected));
            QCOMPARE(QString::fromStdString(conf.AdrReq), QString::fromUtf8(s.expected));
            if (s.answer) {
                QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Panel1->ePathTo));
                QCOMPARE(w->Panel1->ePathTo->palette().color(QPalette::Base), lime);
            }
        }
        QCOMPARE(conf.RequestFilePath(), std::string("/request.cfg"));
    }

    void aRightReleaseQuitsOnlyOnAFreeSpotOfThePanel_data()
    {
        QTest::addColumn<QString>("name");  // empty: a free spot of the panel
        QTest::addColumn<bool>("quits");
        QTest::newRow("free spot") << "" << true;
        QTest::newRow("label") << "Label1" << false;
        QTest::newRow("unit label") << "LabelX1" << false;
        QTest::newRow("check box") << "cxMazatRq" << false;
        QTest::newRow("button") << "bSaveConf" << false;
        QTest::newRow("disabled button") << "bJinyAdrReq" << false;
        QTest::newRow("strip") << "Panel2" << false;
        QTest::newRow("activity mark") << "pActive" << false;
    }

    void aRightReleaseQuitsOnlyOnAFreeSpotOfThePanel()
    {
        QFETCH(QString, name);
        QFETCH(bool, quits);
        FakePlatform p;
        auto w = openWindow(p, "");
        QSignalSpy quit(w.get(), &TfmWex::quitRequested);
        QWidget* target = name.isEmpty() ? static_cast<QWidget*>(w->Panel1) : control(*w, name);
        QVERIFY(target);
        // Between the boxes and the labels nothing sits.
        const QPoint at = name.isEmpty() ? QPoint(188, 110) : target->rect().center();
        if (name.isEmpty())
            QVERIFY(!w->Panel1->childAt(at));
        QTest::mouseClick(target, Qt::RightButton, {}, at);
        QCOMPARE(quit.count(), quits ? 1 : 0);
        QVERIFY(!w->Panel1->cxMazatRq->isChecked());  // and nothing was ticked on the way
    }

    void tabWalksThePanelInItsOrder()
    {
        FakePlatform p;
        auto w = openWindow(p, "JinyAdrReq=1\r\n");
        const QStringList expected = {"cxMazatRq",    "cxZobrazitIkonu", "seMaxOld",   "seMaxSame",
                                      "bSaveConf",    "seMaxRadku",      "seInterval", "seWait",
                                      "cxJinyAdrReq", "bJinyAdrReq",     "ePathTo"};
        w->Panel1->cxHlidatTrovan->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Panel1->cxHlidatTrovan));
        QStringList walked;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
        // Enter in the path field stays there.
        QTest::keyClick(w->Panel1->ePathTo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Panel1->ePathTo));
    }

    void theControlsSitWhereTheWindowPutsThemWithCaptionsUncut()
    {
        FakePlatform p;
        auto w = openWindow(p, "");
        const struct {
            const char* name;
            QRect at;
        } rows[] = {
            {"cxHlidatTrovan", {16, 16, 169, 17}},  {"cxMazatRq", {16, 40, 137, 17}},
            {"cxZobrazitIkonu", {16, 64, 161, 17}}, {"seMaxOld", {312, 8, 73, 22}},
            {"seMaxSame", {312, 32, 73, 22}},       {"seMaxRadku", {312, 56, 73, 22}},
            {"seInterval", {312, 80, 73, 22}},      {"seWait", {312, 104, 73, 22}},
            {"bSaveConf", {504, 96, 75, 25}},       {"cxJinyAdrReq", {424, 16, 153, 17}},
            {"ePathTo", {424, 37, 153, 21}},        {"bJinyAdrReq", {520, 56, 57, 22}},
        };
        for (const auto& r : rows) {
            QWidget* c = control(*w, r.name);
            QVERIFY2(c, r.name);
            QVERIFY2(c->pos() == r.at.topLeft() && c->height() == r.at.height(), r.name);
            // Wider only where the caption needs it.
            QVERIFY2(c->width() >= r.at.width(), r.name);
            if (auto* b = qobject_cast<QAbstractButton*>(c))
                QVERIFY2(c->width() == r.at.width() ||
                             c->width() <= QFontMetrics(b->font()).horizontalAdvance(b->text()) + 40,
                         r.name);
        }
        // No caption before a field runs under it.
        for (QWidget* l : {static_cast<QWidget*>(w->Panel1->Label1), static_cast<QWidget*>(w->Panel1->Label2),
                           static_cast<QWidget*>(w->Panel1->Label4), static_cast<QWidget*>(w->Panel1->Label5),
                           static_cast<QWidget*>(w->Panel1->LabelX2)})
            QVERIFY2(l->x() + l->sizeHint().width() <= 312, qPrintable(l->objectName()));
        QCOMPARE(w->Panel1->height(), 130);
        QCOMPARE(w->Panel1->width(), w->width());
        QCOMPARE(w->Memo1->geometry().bottom() + 1, w->Panel1->y());
    }
};

}  // namespace ovin

QTEST_MAIN(ovin::SettingsPanelTest)
#include "SettingsPanelTest.moc"

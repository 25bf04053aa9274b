// Shows every input control on one window, laid out by hand as the settings panel is, so that their look,
// the placed caption label and the focus colour can be checked by eye.

#include "controls/qt/Spin.h"
#include "controls/qt/ckLabelX.h"
#include "controls/qt/ckSpinEditX.h"
#include "controls/qt/csAdpEdit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QWidget>

namespace {

using namespace ovin;

TSpinEdit* addLimitedSpinEdit(QWidget* window, const QString& caption, int top, int minValue, int maxValue, int value)
{
    auto* label = new TLabelX(caption, window);
    label->move(16, top + 4);
    auto* edit = new TSpinEdit(window);
    edit->setMinValue(minValue);
    edit->setMaxValue(maxValue);
    edit->setValue(value);
    edit->setGeometry(200, top, 120, 24);
    return edit;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption quitAfter(QStringLiteral("quit-after-ms"),
                                       QStringLiteral("Close the gallery after this many milliseconds."),
                                       QStringLiteral("ms"));
    parser.addOption(quitAfter);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Ovin controls"));
    window.resize(480, 330);

    addLimitedSpinEdit(&window, QStringLiteral("Max. stáří requestu"), 16, 0, 600000, 300);
    addLimitedSpinEdit(&window, QStringLiteral("Max. stejný request"), 48, 1, 1000, 5);
    addLimitedSpinEdit(&window, QStringLiteral("Interval"), 80, 1, 1000000, 30000);

    auto* waitLabel = new TLabelX(QStringLiteral("Čekat na spuštění Trovan"), &window);
    waitLabel->move(16, 116);
    auto* seWait = new TSpinEditX(&window);
    seWait->setGeometry(200, 112, 120, 24);
    seWait->setValue(10);
    auto* secLabel = new TLabelX(QStringLiteral("sec"), &window);
    secLabel->move(328, 116);

    auto* seMaxRadku = new TSpinEditX(&window);
    seMaxRadku->setObjectName(QStringLiteral("seMaxRadku"));
    seMaxRadku->setMinValue(1);
    seMaxRadku->setMaxValue(1000);
    seMaxRadku->setValue(100);
    seMaxRadku->setGeometry(200, 152, 120, 24);
    seMaxRadku->setCaption(QStringLiteral("Max. řá&dků requestu"));
    seMaxRadku->setLabelPosition(lpLeft);

    auto* pathLabel = new TLabelX(QStringLiteral("Cesta k request.cfg"), &window);
    pathLabel->move(16, 196);
    auto* ePathTo = new TadpEdit(&window);
    ePathTo->setGeometry(16, 214, 304, 24);
    ePathTo->setText(QStringLiteral("/srv/trovan/"));
    ePathTo->setColorOnEnter(QColor(0x00, 0xFF, 0x00));
    ePathTo->setTabOnEnter(true);

    auto* spinButton = new TSpinButton(&window);
    spinButton->setTabStop(true);
    spinButton->move(16, 256);
    auto* countLabel = new TLabelX(QStringLiteral("0"), &window);
    countLabel->move(48, 262);
    int count = 0;
    QObject::connect(spinButton, &TSpinButton::UpClick, countLabel,
                     [&count, countLabel] { countLabel->setCaption(QString::number(++count)); });
    QObject::connect(spinButton, &TSpinButton::DownClick, countLabel,
                     [&count, countLabel] { countLabel->setCaption(QString::number(--count)); });

    ePathTo->setFocus();
    window.show();
    // Without a window manager (as under Xvfb) nobody else would activate the window and give it the focus.
    window.activateWindow();

    if (parser.isSet(quitAfter))
        QTimer::singleShot(parser.value(quitAfter).toInt(), &app, &QApplication::quit);
    return app.exec();
}

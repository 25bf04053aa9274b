#include "csTinyForm.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

#include "platform/ProcessControl.h"
#include "sParametry.h"
#include "watchdog/Watchdog.h"

namespace ovin {

namespace {

// Metrics of the plain question dialog before it is restyled.
constexpr int kMarginPx = 8;
constexpr int kIconSizePx = 32;
constexpr int kButtonWidthPx = 75;
constexpr int kButtonHeightPx = 25;
constexpr int kButtonGapPx = 6;
constexpr int kMaxTextWidthPx = 360;
// Room between the lines of a question that wraps: the accents over capitals
// stand above the text font's ascent, so with its own leading (none) they
// would touch the descenders of the line above.
constexpr int kLineGapPx = 4;
// The restyle.
constexpr int kExtraHeightPx = 20;
constexpr int kTextGapPx = 15;
constexpr int kButtonTopGapPx = 10;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

QString& applicationTitle()
{
    static QString title;
    return title;
}

std::deque<bool>& queuedAnswers()
{
    static std::deque<bool> answers;
    return answers;
}

QStyle::StandardPixmap iconOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case TMsgDlgType::mtError:
        return QStyle::SP_MessageBoxCritical;
    case TMsgDlgType::mtInformation:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}

}  // namespace

bool IsDebugMode()
{
    try {
        if (QFileInfo::exists(QStringLiteral("/debug")))
            return true;
        for (const char* word : {"d", "debug", "-d", "-debug"}) {
            if (HasSwitch(QString::fromLatin1(word)))
                return true;
        }
    } catch (...) {
    }
    return false;
}

TTinyForm::TTinyForm(const ProcessControl& process, const FileSystem& files, QWidget* parent)
    : QWidget(parent), m_process(process), m_files(files)
{
}

const std::string& TTinyForm::AppFolder() const
{
    if (m_appFolder.empty())
        m_appFolder = Watchdog::AppFolderOf(m_process.executablePath(), m_files);
    return m_appFolder;
}

void TTinyForm::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TTinyForm::ShowForm()
{
    QCoreApplication::postEvent(this, new QEvent(kAfterShowEvent));
    show();
    raise();
    activateWindow();
}

bool TTinyForm::event(QEvent* event)
{
    if (event->type() == kAfterShowEvent) {
        AfterShow();
        return true;
    }
    return QWidget::event(event);
}

bool TTinyForm::Confirm(const QString& text, TMsgDlgType kind)
{
    return MessageDialog(QStringLiteral("Dotaz:"), text, kind);
}

bool TTinyForm::MessageDialog(const QString& caption, const QString& text, TMsgDlgType kind)
{
    bool queued = false;
    if (takeQueuedAnswer(queued))
        return queued;

    QDialog dialog(isVisible() ? this : nullptr);
    dialog.setObjectName(QStringLiteral("MessageDialog"));

    // The plain dialog first: icon at the top left, the text beside it, the
    // two buttons centred below.
    QLabel* icon = nullptr;
    int textLeft = kMarginPx;
    if (kind != TMsgDlgType::mtCustom) {
        icon = new QLabel(&dialog);
        icon->setObjectName(QStringLiteral("Image"));
        icon->setPixmap(dialog.style()->standardIcon(iconOf(kind)).pixmap(kIconSizePx, kIconSizePx));
        icon->setGeometry(kMarginPx, kMarginPx, kIconSizePx, kIconSizePx);
        textLeft += kIconSizePx + kMarginPx;
    }
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(QStringLiteral("Message"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    const QSize hint = label->sizeHint();
    const int textWidth = std::min(hint.width(), kMaxTextWidthPx);
    // The text is shown bold in Tahoma: the dialog is made as wide as that
    // needs (within the plain dialog's limit), so that a question which fits
    // stands on one line with room at both ends.
    QFont shownFont = dialog.font();
    shownFont.setFamily(QStringLiteral("Tahoma"));
    shownFont.setBold(true);
    const int shownTextWidth = std::min(QFontMetrics(shownFont).horizontalAdvance(text), kMaxTextWidthPx);
    label->setGeometry(textLeft, kMarginPx, textWidth, label->heightForWidth(textWidth));
    auto* yes = new QPushButton(QStringLiteral("&Yes"), &dialog);
    auto* no = new QPushButton(QStringLiteral("&No"), &dialog);
    yes->setObjectName(QStringLiteral("Yes"));
    no->setObjectName(QStringLiteral("No"));
    yes->setDefault(true);
    const int contentBottom = std::max(icon ? icon->geometry().bottom() + 1 : 0, label->geometry().bottom() + 1);
    const int width = std::max({textLeft + textWidth + kMarginPx, 2 * kButtonWidthPx + kButtonGapPx + 2 * kMarginPx,
                                shownTextWidth + 2 * kMarginPx});
    const int buttonsLeft = (width - (2 * kButtonWidthPx + kButtonGapPx)) / 2;
    const int buttonsTop = contentBottom + kMarginPx;
    yes->setGeometry(buttonsLeft, buttonsTop, kButtonWidthPx, kButtonHeightPx);
    no->setGeometry(buttonsLeft + kButtonWidthPx + kButtonGapPx, buttonsTop, kButtonWidthPx, kButtonHeightPx);
    dialog.resize(width, buttonsTop + kButtonHeightPx + kMarginPx);
    QObject::connect(yes, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(kAnswerYes); });
    QObject::connect(no, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(kAnswerNo); });

    // The restyle.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setWindowTitle(caption);
    QFont font = dialog.font();
    font.setFamily(QStringLiteral("Tahoma"));
    dialog.setFont(font);
    const int plainHeight = dialog.height();
    int bottom = 0;
    if (icon) {
        icon->move(dialog.width() / 2 - icon->width() / 2, 0);
        bottom = icon->geometry().bottom() + 1;
    }
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::RichText);
    label->setText(
        QStringLiteral("<p style=\"line-height:%1px; -qt-line-height-type:line-distance\">%2</p>")
            .arg(kLineGapPx)
            .arg(text.toHtmlEscaped()));
    // The bold text over the whole width needs its own height: the plain
    // layout may have wrapped it differently.
    label->setGeometry(0, bottom + kTextGapPx, dialog.width(), label->heightForWidth(dialog.width()));
    bottom = label->geometry().bottom() + 1;
    // The extra height comes on top of a layout in which everything fits, so
    // the buttons are never cut off at the bottom.
    const int restyledHeight = bottom + kButtonTopGapPx + kButtonHeightPx + kMarginPx;
    dialog.resize(dialog.width(), std::max(plainHeight, restyledHeight) + kExtraHeightPx);
    for (QPushButton* button : {yes, no}) {
        button->move(button->x(), bottom + kButtonTopGapPx);
        const bool debug = IsDebugMode();
        if (button == yes)
            button->setText(debug ? QStringLiteral("&Ofšemže") : QStringLiteral("&Ano"));
        else
            button->setText(debug ? QStringLiteral("&Jistě že ne") : QStringLiteral("&Ne"));
    }
    if (const QScreen* screen = dialog.screen())
        dialog.move(screen->geometry().center() - dialog.rect().center());
    AnswerOnBareAccelerators(dialog, {yes, no});

    return dialog.exec() == kAnswerYes;
}

void TTinyForm::AnswerOnBareAccelerators(QDialog& dialog, const QList<QPushButton*>& buttons)
{
    for (QPushButton* button : buttons) {
        const QKeySequence withAlt = QKeySequence::mnemonic(button->text());
        if (withAlt.isEmpty())
            continue;
        auto* bare = new QShortcut(QKeySequence(withAlt[0].key()), &dialog);
        QObject::connect(bare, &QShortcut::activated, button, &QPushButton::click);
    }
}

QString TTinyForm::ApplicationTitle() { return applicationTitle(); }

void TTinyForm::SetApplicationTitle(const QString& title) { applicationTitle() = title; }

void TTinyForm::QueueAnswer(bool yes) { queuedAnswers().push_back(yes); }

bool TTinyForm::takeQueuedAnswer(bool& yes)
{
    if (queuedAnswers().empty())
        return false;
    yes = queuedAnswers().front();
    queuedAnswers().pop_front();
    return true;
}

}  // namespace ovin

#include "csTinyForm.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

#include "platform/ProcessControl.h"
#include "shell/ApplicationTitle.h"
#include "shell/DialogAnswers.h"
#include "watchdog/Watchdog.h"

namespace ovin {

namespace {

// Qt's pixels are independent of the display's resolution already.
const question::Metrics kQuestionMetrics;
using question::kAnswerNo;
using question::kAnswerYes;

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

void place(QWidget& widget, const Rect& r) { widget.setGeometry(r.left, r.top, r.width, r.height); }

}  // namespace

TTinyForm::TTinyForm(const ProcessControl& process, const FileSystem& files, const WindowContext& context,
                     QWidget* parent)
    : QWidget(parent), m_process(process), m_files(files), m_context(context)
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
    return MessageDialog(QString::fromUtf8(question::kConfirmCaption), text, kind);
}

TTinyForm::QuestionParts TTinyForm::buildPlainQuestion(QDialog& dialog, const QString& text, TMsgDlgType kind) const
{
    // The plain dialog first: icon at the top left, the text beside it, the
    // two buttons centred below.
    QLabel* icon = nullptr;
    if (kind != TMsgDlgType::mtCustom) {
        icon = new QLabel(&dialog);
        icon->setObjectName(QStringLiteral("Image"));
        const int size = kQuestionMetrics.iconSizePx;
        icon->setPixmap(dialog.style()->standardIcon(iconOf(kind)).pixmap(size, size));
    }
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(QStringLiteral("Message"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    const int textWidth = std::min(label->sizeHint().width(), kQuestionMetrics.maxTextWidthPx);
    // The text is shown bold in Tahoma: the dialog is made as wide as that
    // needs (within the plain dialog's limit), so that a question which fits
    // stands on one line with room at both ends.
    QFont shownFont = dialog.font();
    shownFont.setFamily(QString::fromUtf8(question::kFontName));
    shownFont.setBold(true);
    const int shownTextWidth = QFontMetrics(shownFont).horizontalAdvance(text);
    const question::Layout plain = question::PlainLayout(
        kQuestionMetrics, icon != nullptr, Size{textWidth, label->heightForWidth(textWidth)}, shownTextWidth);
    auto* yes = new QPushButton(QString::fromUtf8(question::kPlatformYes), &dialog);
    auto* no = new QPushButton(QString::fromUtf8(question::kPlatformNo), &dialog);
    yes->setObjectName(QStringLiteral("Yes"));
    no->setObjectName(QStringLiteral("No"));
    yes->setDefault(true);
    QObject::connect(yes, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(kAnswerYes); });
    QObject::connect(no, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(kAnswerNo); });
    const QuestionParts parts{icon, label, yes, no, plain};
    placeQuestion(dialog, parts, plain);
    return parts;
}

void TTinyForm::placeQuestion(QDialog& dialog, const QuestionParts& parts, const question::Layout& layout)
{
    if (parts.icon)
        place(*parts.icon, *layout.icon);
    place(*parts.text, layout.text);
    place(*parts.yes, layout.yes);
    place(*parts.no, layout.no);
    dialog.resize(layout.clientWidth, layout.clientHeight);
}

void TTinyForm::restyleQuestion(QDialog& dialog, const QuestionParts& parts, const QString& caption) const
{
    auto [icon, label, yes, no, plain] = parts;
    // The restyle.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setWindowTitle(caption);
    QFont font = dialog.font();
    font.setFamily(QString::fromUtf8(question::kFontName));
    dialog.setFont(font);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The text's lines stand a fixed gap apart, which only a rich text's line height gives.
    const QString text = label->text();
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<p style=\"line-height:%1px; -qt-line-height-type:line-distance\">%2</p>")
                       .arg(question::kLineGapPx)
                       .arg(text.toHtmlEscaped()));
    placeQuestion(dialog, parts, question::Restyle(plain, kQuestionMetrics, [label](int width) {
                      return label->heightForWidth(width);
                  }));
    for (QPushButton* button : {yes, no}) {
        const bool debug = IsDebugMode(m_context.switches, m_files);
        button->setText(QString::fromUtf8(button == yes ? question::YesCaption(debug) : question::NoCaption(debug)));
    }
}

bool TTinyForm::MessageDialog(const QString& caption, const QString& text, TMsgDlgType kind)
{
    if (const std::optional<bool> queued = TakeQueuedQuestion(m_context.answers))
        return *queued;

    QDialog dialog(isVisible() ? this : nullptr);
    dialog.setObjectName(QStringLiteral("MessageDialog"));
    const QuestionParts parts = buildPlainQuestion(dialog, text, kind);
    restyleQuestion(dialog, parts, caption);
    if (const QScreen* screen = dialog.screen())
        dialog.move(screen->geometry().center() - dialog.rect().center());
    AnswerOnBareAccelerators(dialog, {parts.yes, parts.no});

    return dialog.exec() == kAnswerYes;
}

QString TTinyForm::ApplicationTitle() const { return QString::fromStdString(m_context.title.get()); }

void TTinyForm::AnswerOnBareAccelerators(QDialog& dialog, const QList<QPushButton*>& buttons)
{
    for (QPushButton* button : buttons) {
        const std::string caption = button->text().toStdString();
        const std::string_view letter = question::AcceleratorLetter(caption);
        if (letter.empty())
            continue;
        auto* bare = new QShortcut(
            QKeySequence(QString::fromUtf8(letter.data(), static_cast<qsizetype>(letter.size()))), &dialog);
        QObject::connect(bare, &QShortcut::activated, button, &QPushButton::click);
    }
}

void TTinyForm::SetApplicationTitle(const QString& title) { m_context.title.set(title.toStdString()); }

}  // namespace ovin

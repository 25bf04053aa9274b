#include "controls/qt/ckLabelX.h"

#include <QEvent>

namespace ovin {

namespace {

// Plain labels cannot underline a letter without a buddy, and a buddy would turn the letter into a shortcut,
// so a caption with accelerator marks is shown as rich text instead.
QString accelMarkup(const QString& caption, bool* hasAccel)
{
    QString markup;
    *hasAccel = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar ch = caption.at(i);
        if (ch == u'&' && i + 1 < caption.size()) {
            const QChar next = caption.at(++i);
            if (next == u'&') {
                markup += QStringLiteral("&amp;");
            } else {
                markup += QStringLiteral("<u>") + QString(next).toHtmlEscaped() + QStringLiteral("</u>");
                *hasAccel = true;
            }
            continue;
        }
        markup += QString(ch).toHtmlEscaped();
    }
    return QStringLiteral("<span style=\"white-space:pre\">") + markup + QStringLiteral("</span>");
}

}  // namespace

TLabelX::TLabelX(QWidget* parent) : QLabel(parent) { resize(65, 17); }

TLabelX::TLabelX(const QString& caption, QWidget* parent) : TLabelX(parent) { setCaption(caption); }

void TLabelX::setCaption(const QString& caption)
{
    m_caption = caption;
    bool hasAccel = false;
    const QString markup = accelMarkup(caption, &hasAccel);
    if (hasAccel) {
        setTextFormat(Qt::RichText);
        setText(markup);
    } else {
        setTextFormat(Qt::PlainText);
        setText(QString(caption).replace(QLatin1String("&&"), QLatin1String("&")));
    }
    adjustToCaption();
}

void TLabelX::setAutoSize(bool on)
{
    m_autoSize = on;
    adjustToCaption();
}

void TLabelX::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        adjustToCaption();
}

void TLabelX::adjustToCaption()
{
    if (m_autoSize)
        resize(sizeHint());
}

}  // namespace ovin

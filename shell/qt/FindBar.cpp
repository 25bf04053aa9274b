#include "FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "settings/Texts.h"

namespace ovin {

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kFindLabel), this));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->installEventFilter(this);
    layout->addWidget(m_edit, 1);
    auto button = [&](const QString& caption, const char* name) {
        auto* b = new QToolButton(this);
        b->setText(caption);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        return b;
    };
    QToolButton* previous = button(QString::fromUtf8(texts::kFindPrevious), "findPrevious");
    QToolButton* next = button(QString::fromUtf8(texts::kFindNext), "findNext");
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    layout->addWidget(m_status);
    QToolButton* close = button(QString::fromUtf8(texts::kFindClose), "findClose");

    connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(needle(), true); });
    connect(next, &QToolButton::clicked, this, [this] { emit findRequested(needle(), false); });
    connect(close, &QToolButton::clicked, this, &FindBar::close);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_status->clear();
        emit needleChanged(text);
    });
}

QString FindBar::needle() const { return m_edit->text(); }

void FindBar::setNeedle(const QString& text) { m_edit->setText(text); }

void FindBar::focusNeedle()
{
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::setFound(bool found) { m_status->setText(found ? QString() : QString::fromUtf8(texts::kNotFound)); }

void FindBar::close()
{
    hide();
    emit closed();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool backward = key->modifiers() & Qt::ShiftModifier;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F3:
            emit findRequested(needle(), backward);
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ovin

#include "LogView.h"

#include <QScrollBar>
#include <QTextCursor>

namespace ovin {

namespace {

// The view keeps paragraphs; the log keeps CR LF.
QString toView(std::string_view text)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

LogView::LogView(EventLog& log, QWidget* parent) : QPlainTextEdit(parent), m_log(log)
{
    setObjectName(QStringLiteral("Memo1"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(192, 192, 192));
    setPalette(pal);
    setFont(QFont(QStringLiteral("Arial"), 8));
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_updating)
            m_userEdited = true;
    });
    m_log.setObserver(this);
    logReplaced();
}

LogView::~LogView() { m_log.setObserver(nullptr); }

void LogView::logAppended(std::string_view added)
{
    m_updating = true;
    const bool atBottom = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toView(added));
    if (atBottom)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    m_updating = false;
}

void LogView::logReplaced()
{
    m_updating = true;
    setPlainText(toView(m_log.text()));
    m_updating = false;
    m_userEdited = false;
}

void LogView::flushUserEdits()
{
    if (!m_userEdited)
        return;
    m_userEdited = false;
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    m_log.replaceText(text.toStdString());
}

}  // namespace ovin

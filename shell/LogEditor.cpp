#include "shell/LogEditor.h"

#include <algorithm>

#include "shell/LogDocument.h"

namespace ovin {

LogEditor::LogEditor(LogDocument& document, LogEditorFrontEnd& frontEnd) : m_document(document), m_frontEnd(frontEnd) {}

void LogEditor::run(EditorCommand command, bool extend)
{
    switch (command) {
    case EditorCommand::Nothing:
        return;
    case EditorCommand::SelectAll:
        m_document.selectAll();
        m_frontEnd.allSelected();
        return;
    case EditorCommand::Copy:
        copy(false);
        return;
    case EditorCommand::Cut:
        copy(true);
        return;
    case EditorCommand::Paste:
        if (const std::string text = m_frontEnd.clipboardText(); !text.empty())
            insert(text);
        return;
    case EditorCommand::Find:
        m_frontEnd.openFindBar();
        return;
    case EditorCommand::FindNext:
    case EditorCommand::FindPrevious:
        // With nothing to look for yet, the keys ask for it.
        if (const std::string needle = m_frontEnd.findNeedle(); !needle.empty())
            m_frontEnd.showFound(find(needle, command == EditorCommand::FindPrevious));
        else
            m_frontEnd.openFindBar();
        return;
    case EditorCommand::DeleteBackward:
        m_document.removeBackward();
        afterEdit();
        return;
    case EditorCommand::DeleteForward:
        m_document.removeForward();
        afterEdit();
        return;
    case EditorCommand::InsertLineBreak:
        insert("\r\n");
        return;
    default:
        moveCaret(command, extend);
        return;
    }
}

void LogEditor::insert(std::string_view text)
{
    m_document.insertText(text);
    afterEdit();
}

void LogEditor::afterEdit()
{
    m_goalX.reset();
    m_frontEnd.revealCaret(false);
}

bool LogEditor::find(std::string_view needle, bool backward)
{
    if (!m_document.findNext(needle, backward))
        return false;
    m_frontEnd.revealCaret(false);
    return true;
}

void LogEditor::copy(bool cut)
{
    if (!m_document.hasSelection())
        return;
    const std::string_view selected =
        std::string_view(m_document.text())
            .substr(m_document.selectionStart(), m_document.selectionEnd() - m_document.selectionStart());
    // What could not reach the clipboard is not cut away either.
    if (m_frontEnd.setClipboardText(selected) && cut)
        insert({});
}

void LogEditor::moveCaret(EditorCommand command, bool extend)
{
    // Up and down keep the caret's column in pixels from one line to the next; every other move forgets it.
    const auto page = static_cast<long long>(m_frontEnd.pageLines());
    long long lines = 0;
    switch (command) {
    case EditorCommand::LineUp:
        lines = -1;
        break;
    case EditorCommand::LineDown:
        lines = 1;
        break;
    case EditorCommand::PageUp:
        lines = -page;
        break;
    case EditorCommand::PageDown:
        lines = page;
        break;
    default:
        break;
    }
    std::size_t to = m_document.caret();
    if (lines != 0) {
        if (command == EditorCommand::PageUp || command == EditorCommand::PageDown)
            m_frontEnd.scrollLines(lines);
        to = verticalTarget(lines);
    } else if (const std::optional<std::size_t> target = m_document.moveTarget(command, extend)) {
        m_goalX.reset();
        to = *target;
    } else {
        return;
    }
    m_document.setCaret(to, extend);
    m_frontEnd.revealCaret(extend);
}

std::size_t LogEditor::verticalTarget(long long lines)
{
    const std::size_t caret = m_document.caret();
    if (!m_goalX)
        m_goalX = m_frontEnd.xOf(caret);
    const auto line = static_cast<long long>(m_document.lineOf(caret));
    const auto last = static_cast<long long>(m_document.lineCount()) - 1;
    return m_frontEnd.positionAtX(static_cast<std::size_t>(std::clamp(line + lines, 0LL, last)), *m_goalX);
}

}  // namespace ovin

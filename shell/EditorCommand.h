#pragma once

namespace ovin {

/// What a key asks of the log view's editor. Each front end maps its own keys to these (Qt's key events, the
/// virtual keys of a window procedure); Shift with a caret move extends the selection.
enum class EditorCommand {
    /// A key the editor takes without doing anything with it.
    Nothing,
    MoveLeft,
    MoveRight,
    WordLeft,
    WordRight,
    LineStart,
    LineEnd,
    DocumentStart,
    DocumentEnd,
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    DeleteBackward,
    DeleteForward,
    InsertLineBreak,
    SelectAll,
    Copy,
    Cut,
    Paste,
    Find,
    FindNext,
    FindPrevious,
};

}  // namespace ovin

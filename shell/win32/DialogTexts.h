#pragma once

namespace ovin::win32 {

/// The texts of the program's dialogs (UTF-8).
struct DialogTexts {
    /// The question dialog's font; its text is drawn in the bold cut.
    const char* questionFont;
    int questionFontPoints;
    const char* yesCaption;
    const char* noCaption;
    /// The button captions while the program runs in debug mode.
    const char* yesCaptionDebug;
    const char* noCaptionDebug;
    /// The message box of "Konec".
    const char* exitQuestion;
    const char* exitCaption;
};

extern const DialogTexts kDialogTexts;

} // namespace ovin::win32

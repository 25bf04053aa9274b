#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ovin::win32 {

/// Which standard icon the question shows; custom shows none.
enum class QuestionKind { Warning, Error, Information, Confirmation, Custom };

/// The restyled yes/no question: the kind's icon centred at the top, the text bold and centred under it, "&Ano"
/// and "&Ne" (or the debug captions) below, on top of all windows and centred on the screen. Enter answers yes;
/// Esc, the close box and Alt+F4 answer no; A and N (or the debug captions' letters) answer as their buttons.
///
/// isDebugMode is asked once for each button as it is captioned. Runs a modal loop, so the owner's timers go on.
/// True when the answer was yes.
bool askQuestion(HWND owner, const std::wstring& caption, const std::wstring& text, QuestionKind kind,
                 const std::function<bool()>& isDebugMode);

/// The control identifiers of the question, for tests that find its parts.
constexpr int kQuestionIconId = 100;
constexpr int kQuestionTextId = 101;

}  // namespace ovin::win32

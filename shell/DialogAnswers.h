#pragma once

#include <optional>
#include <string>

#include "shell/AnswerQueue.h"

namespace ovin {

/// Answers queued for the dialogs of the program's windows. The windows take them from the object their owner
/// hands them; a run without one shows every dialog.
struct DialogAnswers {
    /// Yes (true) or no for the yes/no questions, the question dialog and the message box of "Konec" alike.
    AnswerQueue<bool> questions;
    /// The file chosen in the open-file dialog, or none for a cancelled dialog.
    AnswerQueue<std::optional<std::string>> files;
};

/// The next queued yes or no, or none when there is no queue or it is empty: the question is then asked.
inline std::optional<bool> TakeQueuedQuestion(DialogAnswers* answers)
{
    return answers ? answers->questions.take() : std::nullopt;
}

/// The next queued choice of a file (itself none for a cancelled dialog), or none: the dialog is then shown.
inline std::optional<std::optional<std::string>> TakeQueuedFile(DialogAnswers* answers)
{
    return answers ? answers->files.take() : std::nullopt;
}

}  // namespace ovin

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

}  // namespace ovin

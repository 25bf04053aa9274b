#pragma once

#include <cstddef>

#include "settings/EventLog.h"

namespace ovin {

class ApplicationTitle;
class Switches;
struct DialogAnswers;

/// What the program's windows share for a run, handed to them by the entry: the switches (for the question
/// dialog's debug captions), the application's title, the answers queued for their dialogs (none in a normal
/// run: every dialog is shown), and how many bytes the Event log holds.
struct WindowContext {
    const Switches& switches;
    ApplicationTitle& title;
    DialogAnswers* answers = nullptr;
    std::size_t logCapacity = EventLog::kMemoCapacity;
};

}  // namespace ovin

#pragma once

namespace ovin {

class ApplicationTitle;
class Switches;
struct DialogAnswers;

/// What the program's windows share for a run, handed to them by the entry: the switches (for the question
/// dialog's debug captions), the application's title, and the answers queued for their dialogs (none in a
/// normal run: every dialog is shown).
struct WindowContext {
    const Switches& switches;
    ApplicationTitle& title;
    DialogAnswers* answers = nullptr;
};

}  // namespace ovin

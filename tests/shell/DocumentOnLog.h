#pragma once

#include <string>

#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "support/Fakes.h"

namespace ovin::test {

/// A view of the log document that takes every notice without a word.
class QuietView final : public LogDocumentView {
public:
    void documentReplaced() override {}
    void documentAppended(bool) override {}
    void documentEdited() override {}
};

/// The log view's document over an Event log in memory that holds `text`.
struct DocumentOnLog {
    explicit DocumentOnLog(const std::string& text)
    {
        if (!text.empty())
            log.editText(0, 0, text);
    }

    FakeClock clock;
    FakeFileSystem files;
    EventLog log{files, clock, "/app/"};
    QuietView view;
    LogDocument doc{log, view};
};

}  // namespace ovin::test

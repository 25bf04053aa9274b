#pragma once

#include <QPlainTextEdit>

#include "settings/EventLog.h"

namespace ovin {

/// The log view: shows the Event log's text and hands what the user types
/// back to it, so that typed text becomes part of the log.
class LogView final : public QPlainTextEdit, public LogObserver {
    Q_OBJECT
public:
    LogView(EventLog& log, QWidget* parent);
    ~LogView() override;

    void logAppended(std::string_view added) override;
    void logReplaced() override;
    void flushUserEdits() override;

private:
    EventLog& m_log;
    bool m_updating = false;
    bool m_userEdited = false;
};

}  // namespace ovin

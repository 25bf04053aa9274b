#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <string>
#include <string_view>

#include "platform/Result.h"
#include "shell/EntrySequence.h"
#include "settings/Texts.h"

class QLocalServer;

namespace ovin {

/// What a refused start sends to the running instance: the text and its
/// terminating zero byte.
inline constexpr std::string_view kShowFormMessage{texts::kShowForm,
                                                   std::char_traits<char>::length(texts::kShowForm) + 1};

/// Sends "showform" to the instance that listens under `name` and waits for
/// its answer; fails with the reason when nobody listens there or nobody
/// answered in time.
Result SendShowForm(const std::string& name, std::chrono::milliseconds timeout = kHandOverTimeout);

/// The admitted instance's end of the hand-over: receives the texts later
/// starts send, answers each with its length in characters.
class HandOverListener final : public QObject {
    Q_OBJECT
public:
    HandOverListener(const std::string& name, QObject* parent);

    /// False when the name could not be listened on: later starts then end
    /// without this instance ever showing its window.
    bool isListening() const;
    /// The system's reason why listening failed.
    QString errorString() const;

signals:
    /// A text arrived (the zero byte removed).
    void received(const QString& text);

private:
    QLocalServer* m_server;
};

}  // namespace ovin

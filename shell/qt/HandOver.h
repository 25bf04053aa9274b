#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <string>
#include <string_view>

class QLocalServer;

namespace ovin {

/// What a refused start sends to the running instance: the text and its
/// terminating zero byte.
inline constexpr std::string_view kShowFormMessage{"showform\0", 9};
/// How long a refused start waits for the running instance's answer.
inline constexpr std::chrono::milliseconds kHandOverTimeout{3000};

/// Sends "showform" to the instance that listens under `name` and waits for
/// its answer; false when nobody answered in time.
bool SendShowForm(const std::string& name, std::chrono::milliseconds timeout = kHandOverTimeout);

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

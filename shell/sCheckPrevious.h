#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

class QLocalServer;

namespace ovin {

class InstanceBlock;

/// What a refused start sends to the running instance: the text and its
/// terminating zero byte.
inline constexpr std::string_view kShowFormMessage{"showform\0", 9};
/// How long a refused start waits for the running instance's answer.
inline constexpr std::chrono::milliseconds kHandOverTimeout{3000};

/// The single-instance lock of this start, kept in the instance block: it
/// admits or refuses the start and, at the end of the run, takes an admitted
/// instance off the block's count.
class PreviousInstanceCheck final {
public:
    explicit PreviousInstanceCheck(InstanceBlock& block);
    /// The end-of-run release, however the process ends normally.
    ~PreviousInstanceCheck();
    PreviousInstanceCheck(const PreviousInstanceCheck&) = delete;
    PreviousInstanceCheck& operator=(const PreviousInstanceCheck&) = delete;

    /// Tests whether another instance of this executable runs: true means
    /// this start must end; false means it is admitted. Throws
    /// std::system_error when the block can be neither created nor opened.
    bool CheckPreviousInstance(std::int32_t window, std::int32_t maxInstances);

    /// Records the admitted instance's window once it exists.
    void SetInstanceWindow(std::int32_t window);

    /// Marks that the entry sequence consulted the block (the release only
    /// changes the count then).
    void SetTested(bool tested) { m_tested = tested; }

    /// The end-of-run release: an admitted instance takes itself off the
    /// count, and the block is given back. Runs once.
    void Release();

private:
    InstanceBlock& m_block;
    bool m_admitted = true;
    bool m_tested = false;
    bool m_held = false;
};

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

#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

class QLocalServer;

namespace ovin {

/// The instance block shared by every start of one executable: the window of
/// the instance admitted last and the number of admitted instances.
struct InstanceBlockLayout {
    static constexpr std::size_t kWindowOffset = 0;
    static constexpr std::size_t kCountOffset = 4;
    static constexpr std::size_t kSizeBytes = 8;
};

/// What a refused start sends to the running instance: the text and its
/// terminating zero byte.
inline constexpr std::string_view kShowFormMessage{"showform\0", 9};
/// How long a refused start waits for the running instance's answer.
inline constexpr std::chrono::milliseconds kHandOverTimeout{3000};

/// The block's name: the executable's full path with every "/" and "\"
/// removed.
std::string InstanceBlockName(std::string_view exePath);

/// Tests whether another instance of this executable runs: true means this
/// start must end; false means it is admitted. Throws std::system_error when
/// the block can be neither created nor opened.
///
/// A block outlives its processes on Linux; every holder keeps a shared lock
/// on it, so a start that can lock it alone knows every earlier holder has
/// ended (also by a crash) and takes the block as new.
bool CheckPreviousInstance(std::uint32_t window, std::int32_t maxInstances, std::string_view exePath);

/// Records the admitted instance's window in the block once it exists.
void SetInstanceWindow(std::uint32_t window);

/// Marks that the entry sequence consulted the block (the end-of-run release
/// only acts then).
void SetInstanceTested(bool tested);

/// The end-of-run release: an admitted instance takes itself off the count,
/// and the block's handles are given back.
void ReleasePreviousInstance();

/// Sends "showform" to the instance that listens under the block's name and
/// waits for its answer; false when nobody answered in time.
bool SendShowForm(const std::string& blockName, std::chrono::milliseconds timeout = kHandOverTimeout);

/// The admitted instance's end of the hand-over: receives the texts later
/// starts send, answers each with its length in characters.
class HandOverListener final : public QObject {
    Q_OBJECT
public:
    HandOverListener(const std::string& blockName, QObject* parent);

signals:
    /// A text arrived (the zero byte removed).
    void received(const QString& text);

private:
    QLocalServer* m_server;
};

}  // namespace ovin

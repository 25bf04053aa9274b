#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ovin {

class Clock;

/// Whoever shows the log text; told of every change so that it never needs
/// to read the whole text again.
class LogObserver {
public:
    virtual ~LogObserver() = default;
    /// `added` was appended to the end of the text.
    virtual void logAppended(std::string_view added) = 0;
    /// `removed` bytes at `pos` were replaced by `inserted` bytes (the text
    /// now holds them at `pos`).
    virtual void logEdited(std::size_t pos, std::size_t removed, std::size_t inserted) = 0;
    /// The whole text was replaced (the month file loaded at start).
    virtual void logReplaced() = 0;
};

/// How much a logged line matters to someone who reads it outside the log
/// (the system log's priority). The log's own text does not show it.
enum class LineSeverity { Info, Warning, Error };

/// Takes every timestamped line as it is logged: its message without the
/// time stamp, and how much it matters. Called on the logging thread; must
/// neither block nor throw.
using LineListener = std::function<void(std::string_view message, LineSeverity severity)>;

/// The Event log: one text, shown by the log view and saved to a file per
/// calendar month beside the program. The month file is a byte-for-byte copy
/// of the text as it stood at the last timestamped line.
class EventLog {
public:
    /// The separator line: 119 dashes.
    static const std::string kSeparator;
    /// The most text the log view takes when its whole content is replaced
    /// or a file's lines are added, unless the log is given another capacity.
    static constexpr std::size_t kMemoCapacity = std::size_t{1} << 30;

    EventLog(FileSystem& files, Clock& clock, std::string appFolder, std::size_t capacity = kMemoCapacity);

    std::size_t capacity() const { return m_capacity; }
    void setCapacity(std::size_t bytes) { m_capacity = bytes; }
    /// How many more bytes a copy of a file's lines may bring.
    std::size_t room() const { return m_text.size() < m_capacity ? m_capacity - m_text.size() : 0; }

    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    const std::string& text() const { return m_text; }
    void setObserver(LogObserver* observer) { m_observer = observer; }

    /// Appends "[hh:nn:ss.zzz] " + message, hands the message to the line
    /// listener and saves. On a failed save the line stays in the text and
    /// OvinError("Cannot create file ...") is thrown.
    void AddLogLine(std::string_view message, LineSeverity severity = LineSeverity::Info);

    /// Who takes every timestamped line besides the text (the system log);
    /// an empty listener takes none.
    void setLineListener(LineListener listener) { m_lineListener = std::move(listener); }

    /// Adds untimed text (one line or several joined by CR LF) without saving.
    void AddLogText(std::string_view text);

    /// The month file for the current local date.
    std::string LogFileName() const;

    /// Makes this month's file, if there is one, the log text. Throws
    /// OvinError("Cannot open file ...") or ("Text exceeds memo capacity");
    /// the text then stays empty and later saves add to that file instead of
    /// replacing what could not be loaded.
    void LoadMonthFile();

    /// The lines every run starts with, up to "Nastaveni:".
    void AddStartHeader();

    /// The lines written when the window may close for good.
    void AddClosingLines();

    /// Appends each line followed by CR LF, without a time stamp and without
    /// the add rule (a copy of a file's lines), in one step whatever the
    /// number of lines. Throws OvinError("Text exceeds memo capacity") and
    /// leaves the text unchanged when it would not fit.
    void AppendLines(std::string_view linesText);

    /// What the user typed in the log view: `removeLen` bytes at `pos` give
    /// way to `insert`. Both are clamped to the text. The change is part of
    /// the log at once and reaches the month file with the next timestamped
    /// line.
    void editText(std::size_t pos, std::size_t removeLen, std::string_view insert);

private:
    /// Turns lone CR or LF line breaks into CR LF.
    static std::string normalizeLineBreaks(std::string_view text);
    /// True when every line break is already CR LF.
    static bool hasOnlyCrLf(std::string_view text);

    void add(std::string_view text);
    void append(std::string_view added);
    void save();
    void rememberSaved(const std::string& name);
    bool isUnloaded(const std::string& path) const;

    // What the month file held after the last save this run made, so that a
    // save can add only the new text while nobody else has touched the file.
    struct Saved {
        std::string path;
        std::size_t length = 0;
        FileIdentity identity;
    };

    FileSystem& m_files;
    Clock& m_clock;
    std::size_t m_capacity;
    std::string m_appFolder;
    std::string m_text;
    std::optional<Saved> m_saved;
    // A month file that was there at start but could not be loaded: it is
    // only ever added to, never replaced.
    std::optional<std::string> m_unloadedFile;
    LogObserver* m_observer = nullptr;
    LineListener m_lineListener;
};

}  // namespace ovin

#pragma once

#include <cstdint>
#include <string_view>

namespace ovin::report {

/// What one line of a month file is, as far as the report cares.
enum class LineKind : std::uint8_t {
    Untimed,     ///< a line of the start block, an empty line or the separator
    Timed,       ///< "[hh:nn:ss.zzz] " and a message
    Start,       ///< "DD.MM.YYYY HH:NN:SS START"
    Unreadable,  ///< anything else: a hand edit, a request-file copy, garbage
};

/// The watchdog's messages that the figures are made of.
enum class LineEvent : std::uint8_t {
    None,
    Stall,       ///< "Prekrocen limit stari souboru N"
    Kill,        ///< "Ukoncuji Trovan"
    Attempt,     ///< "Trovan neni spusten - pokusim se ho spustit"
    Launched,    ///< "Trovan spusten"
    MissingExe,  ///< "Nelze spustit Trovan - soubor nenalezen PATH"
    Closing,     ///< "UKONCENI PROGRAMU"
};

struct LogLine {
    LineKind kind = LineKind::Unreadable;
    LineEvent event = LineEvent::None;
    /// Timed: milliseconds since midnight. Start: the seconds of the stamp's
    /// time, in milliseconds.
    std::int32_t timeMs = 0;
    /// Start only: the stamp's date.
    int year = 0, month = 0, day = 0;
};

/// Classifies one line without its line break. `complete` is false when the
/// line was longer than what is passed: its message can then be no event.
LogLine classifyLine(std::string_view line, bool complete = true);

}  // namespace ovin::report

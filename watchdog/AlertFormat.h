#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Alert.h"
#include "platform/Clock.h"

namespace ovin {

/// How many of the log's last lines an alert of a stall, a crash or a crash
/// loop carries.
constexpr std::size_t kAlertTailLines = 20;

/// The name of the variable that names the file with the log's last lines.
constexpr const char* kLogTailVariable = "OVIN_LOG_TAIL";

/// "2026-12-07T00:15:42+01:00": a local time with the offset it had.
std::string isoLocalTime(const LocalTime& local, int utcOffsetMinutes);

/// The last `count` lines of a CR LF text (the log), without their breaks;
/// an unfinished last line counts, an empty one after the last break does
/// not. Reads only the end of the text.
std::vector<std::string> lastLines(std::string_view text, std::size_t count);

/// "1 h 2 min 5 s", "3 min 0 s", "4 s".
std::string durationText(std::int64_t ms);

/// The alert as a few Czech lines that read well on their own (a chat
/// message, a mail's body).
std::string alertText(const Alert& alert);

/// The alert as one JSON object, `text` among its fields; always valid UTF-8.
std::string alertJson(const Alert& alert);

/// The alert as environment variables for the command (OVIN_EVENT, …);
/// the log's last lines go separately, to a file named by OVIN_LOG_TAIL.
std::vector<std::pair<std::string, std::string>> alertEnvironment(const Alert& alert);

/// The text with every byte that is not part of valid UTF-8 replaced by
/// U+FFFD: a router's request file copied into the log may hold anything.
std::string validUtf8(std::string_view text);

/// For an http:// or https:// address with a host: how it may be shown in
/// the log ("https://hooks.example.net:443"), without its path, which often
/// holds the hook's secret. Nothing for any other text.
std::optional<std::string> hookAddressShown(std::string_view url);

}  // namespace ovin

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ovin {

/// The watchdog's own settings beyond the ten of the Watch settings: the
/// section [dohled] of the settings file, for what reaches beyond the
/// machine (metrics, the system log, alerts) and the pause between restarts
/// of a router that keeps dying. Read at start and at every "ULOŽIT", never
/// written by the program, so the user's text there is kept as it is. Every
/// feature is off when its key is missing.
struct DohledSettings {
    std::string Metriky;               ///< folder for the metrics file; empty: no metrics
    bool SystemovyLog = false;         ///< every logged line to the system log too
    bool Utlum = false;                ///< a growing pause between restarts of a router that keeps dying
    std::int32_t UtlumPokusu = 3;      ///< failed launches in a row before the first pause
    std::int32_t UtlumMaxSekund = 600; ///< the longest pause, in seconds
    std::int32_t ZdravySekund = 60;    ///< a router that ran this long was launched well, in seconds
    std::string Prikaz;                ///< command run on an alert; empty: none
    std::string Webhook;               ///< http(s) address an alert is posted to; empty: none
    std::int32_t UpozorneniMinut = 10; ///< one alert of a kind at most this often, in minutes (0: every one)

    bool operator==(const DohledSettings&) const = default;

    /// The section's name in the settings file.
    static constexpr std::string_view kSection = "dohled";

    /// Reads the section from the settings file's text. Each value it cannot
    /// use leaves its default and adds one line for the log to `complaints`,
    /// naming the key, the value and what holds instead.
    static DohledSettings Read(std::string_view iniText, std::vector<std::string>& complaints);
};

/// How a [dohled] key is held.
enum class DohledKind { Flag, Number, Text };

/// One key of [dohled]: its name, how it is held, the field, and for a
/// number the range it must lie in.
struct DohledKey {
    const char* key;
    DohledKind kind;
    bool DohledSettings::*flag = nullptr;
    std::int32_t DohledSettings::*number = nullptr;
    std::string DohledSettings::*text = nullptr;
    std::int32_t min = 0;
    std::int32_t max = 0;
};

/// The keys of [dohled], in the order they are read and complained about.
std::span<const DohledKey> DohledKeys();

}  // namespace ovin

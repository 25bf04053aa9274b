#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace ovin {

class FileSystem;

/// The router's executable beside the program; its processes are found and
/// ended under this image name, wherever they run from.
inline constexpr const char* kRouterExeName = "trovan.exe";

/// The Watch settings: the ten values that steer the watchdog, named after
/// their keys in the settings file, with the file operations that persist
/// them in "ovin.ini" beside the program.
///
/// No range is checked: any 32-bit value read from the file is held as it is.
class TConf {
public:
    /// `appFolder` is the program's folder, ending with a separator.
    TConf(FileSystem& files, std::string appFolder);

    bool HlidatZdaTrovanJede = false;
    bool MazatRequest = false;
    bool ZobrazitIkonu = false;
    bool JinyAdrReq = false;
    std::string AdrReq;
    std::int32_t MaxStejnyRequest = 0;
    std::int32_t MaxStariRequest = 0;  ///< seconds
    std::int32_t MaxRadkuRequest = 0;
    std::int32_t CekaniNaTrovan = 0;  ///< seconds
    std::int32_t Interval = 0;        ///< milliseconds

    /// Told when the settings panel's values were taken over ("ULOŽIT"),
    /// so that what hangs on the settings file is read again.
    std::function<void()> onTakenOver;

    /// The panel's values were taken over.
    void TakenOver() const
    {
        if (onTakenOver)
            onTakenOver();
    }

    /// Ten "key=value" lines (Booleans as "b1"/"b0"), each ended by CR LF.
    std::string SettingsSummary() const;

    /// Where the router's request file is looked for, computed afresh.
    std::string RequestFilePath() const;

    /// The router executable beside the program.
    std::string RouterExePath() const;

    /// Full name of the settings file.
    std::string SettingsFileName() const;

    /// Replaces the backup (the settings file's name + ".old") with a copy of
    /// the settings file. Silent on failure.
    void BackupSettingsFile();

    /// Reads the ten keys, each with its default when missing or unreadable.
    void LoadSettings();

    /// Writes the ten keys into the file, keeping everything else in it, and
    /// has it on disk when it returns. Throws OvinError("Unable to write to "
    /// + file name) and then writes nothing.
    void SaveSettings();

private:
    FileSystem& m_files;
    std::string m_appFolder;
};

/// How a setting is held and written.
enum class SettingKind { Bool, Int, Text };

/// One setting: its key in the settings file, the field of TConf that holds
/// it, and the value that reading supplies for a missing or unreadable key.
/// Only the member pointer of the setting's kind is set.
struct SettingKey {
    const char* key;
    SettingKind kind;
    bool TConf::*flag = nullptr;
    std::int32_t TConf::*number = nullptr;
    std::string TConf::*text = nullptr;
    std::int32_t defaultNumber = 0;  ///< for Bool: 1 on, 0 off
};

/// The ten settings in the order in which the settings file is read and
/// written and the summary lists them; loading, saving, the summary and the
/// settings panel all go through this one table.
std::span<const SettingKey> SettingKeys();

/// The row of `key` (exact spelling), or null.
const SettingKey* FindSetting(std::string_view key);

}  // namespace ovin

#include "Config.h"

#include "IniFile.h"
#include "OvinError.h"
#include "platform/FileSystem.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

constexpr const char* kSection = "conf";
constexpr const char* kSettingsFile = "ovin.ini";
constexpr const char* kBackupSuffix = ".old";
constexpr const char* kRequestFile = "request.cfg";

const SettingKey kSettingKeys[] = {
    {"MazatRequest", SettingKind::Bool, &TConf::MazatRequest, nullptr, nullptr, 0},
    {"HlidatZdaTrovanJede", SettingKind::Bool, &TConf::HlidatZdaTrovanJede, nullptr, nullptr, 0},
    {"ZobrazitIkonu", SettingKind::Bool, &TConf::ZobrazitIkonu, nullptr, nullptr, 1},
    {"MaxStejnyRequest", SettingKind::Int, nullptr, &TConf::MaxStejnyRequest, nullptr, 5},
    {"MaxStariRequest", SettingKind::Int, nullptr, &TConf::MaxStariRequest, nullptr, 600},
    {"MaxRadkuRequest", SettingKind::Int, nullptr, &TConf::MaxRadkuRequest, nullptr, 1},
    {"CekaniNaTrovan", SettingKind::Int, nullptr, &TConf::CekaniNaTrovan, nullptr, 10},
    {"Interval", SettingKind::Int, nullptr, &TConf::Interval, nullptr, 30000},
    {"JinyAdrReq", SettingKind::Bool, &TConf::JinyAdrReq, nullptr, nullptr, 0},
    {"AdrReq", SettingKind::Text, nullptr, nullptr, &TConf::AdrReq, 0},
};

// The value as the settings file holds it: Booleans "1"/"0", numbers in plain
// decimal, text unchanged.
std::string valueText(const TConf& conf, const SettingKey& k)
{
    switch (k.kind) {
    case SettingKind::Bool:
        return conf.*k.flag ? "1" : "0";
    case SettingKind::Int:
        return std::to_string(conf.*k.number);
    case SettingKind::Text:
        break;
    }
    return conf.*k.text;
}

}  // namespace

std::span<const SettingKey> SettingKeys() { return kSettingKeys; }

const SettingKey* FindSetting(std::string_view key)
{
    for (const SettingKey& k : kSettingKeys) {
        if (key == k.key)
            return &k;
    }
    return nullptr;
}

TConf::TConf(FileSystem& files, std::string appFolder) : m_files(files), m_appFolder(std::move(appFolder)) {}

std::string TConf::SettingsSummary() const
{
    std::string s;
    for (const SettingKey& k : SettingKeys()) {
        s += k.key;
        s += '=';
        // The "b" marks a Boolean in the summary only; the file holds a bare 1 or 0.
        if (k.kind == SettingKind::Bool)
            s += 'b';
        s += valueText(*this, k);
        s += "\r\n";
    }
    return s;
}

std::string TConf::RequestFilePath() const
{
    if (!JinyAdrReq || AdrReq.empty())
        return m_appFolder + kRequestFile;
    const char last = AdrReq.back();
    if (last == '/' || last == '\\')
        return AdrReq + kRequestFile;
    return AdrReq + m_files.separator() + kRequestFile;
}

std::string TConf::RouterExePath() const { return m_appFolder + kRouterExeName; }

std::string TConf::SettingsFileName() const { return m_appFolder + kSettingsFile; }

void TConf::BackupSettingsFile()
{
    const std::string name = SettingsFileName();
    const std::string backup = name + kBackupSuffix;
    // Both steps fail silently: an old backup that cannot be deleted stays,
    // and the copy, which never overwrites, then leaves it alone.
    if (m_files.fileExists(backup))
        (void)m_files.deleteFile(backup);
    if (m_files.fileExists(name))
        (void)m_files.copyFile(name, backup);
}

void TConf::LoadSettings()
{
    std::string text;
    if (!m_files.readFile(SettingsFileName(), text).ok)
        text.clear();
    const IniFile ini(text);
    for (const SettingKey& k : SettingKeys()) {
        switch (k.kind) {
        case SettingKind::Bool:
            this->*k.flag = ini.readBool(kSection, k.key, k.defaultNumber != 0);
            break;
        case SettingKind::Int:
            this->*k.number = ini.readInteger(kSection, k.key, k.defaultNumber);
            break;
        case SettingKind::Text:
            this->*k.text = ini.readString(kSection, k.key).value_or("");
            break;
        }
    }
}

void TConf::SaveSettings()
{
    const std::string name = SettingsFileName();
    std::string text;
    // A file that is there but cannot be read would lose its other keys and
    // sections if it were rewritten from nothing, so it is left alone.
    if (m_files.fileExists(name) && !m_files.readFile(name, text).ok)
        throw OvinError(texts::kErrorUnableToWrite + name);
    IniFile ini(text);
    for (const SettingKey& k : SettingKeys())
        ini.writeString(kSection, k.key, valueText(*this, k));
    if (!m_files.replaceFile(name, ini.text()).ok)
        throw OvinError(texts::kErrorUnableToWrite + name);
}

}  // namespace ovin

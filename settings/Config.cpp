#include "Config.h"

#include "IniFile.h"
#include "OvinError.h"
#include "platform/FileSystem.h"

namespace ovin {

namespace {

constexpr const char* kSection = "conf";
constexpr const char* kSettingsFile = "ovin.ini";
constexpr const char* kBackupSuffix = ".old";
constexpr const char* kRequestFile = "request.cfg";

const char* bit(bool on) { return on ? "1" : "0"; }

}  // namespace

TConf::TConf(FileSystem& files, std::string appFolder) : m_files(files), m_appFolder(std::move(appFolder)) {}

std::string TConf::SettingsSummary() const
{
    std::string s;
    auto line = [&s](const char* key, const std::string& value) {
        s += key;
        s += '=';
        s += value;
        s += "\r\n";
    };
    line("MazatRequest", std::string("b") + bit(MazatRequest));
    line("HlidatZdaTrovanJede", std::string("b") + bit(HlidatZdaTrovanJede));
    line("ZobrazitIkonu", std::string("b") + bit(ZobrazitIkonu));
    line("MaxStejnyRequest", std::to_string(MaxStejnyRequest));
    line("MaxStariRequest", std::to_string(MaxStariRequest));
    line("MaxRadkuRequest", std::to_string(MaxRadkuRequest));
    line("CekaniNaTrovan", std::to_string(CekaniNaTrovan));
    line("Interval", std::to_string(Interval));
    line("JinyAdrReq", std::string("b") + bit(JinyAdrReq));
    line("AdrReq", AdrReq);
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
    if (m_files.fileExists(backup))
        m_files.deleteFile(backup);
    if (m_files.fileExists(name))
        m_files.copyFile(name, backup);
}

void TConf::LoadSettings()
{
    std::string text;
    if (!m_files.readFile(SettingsFileName(), text).ok)
        text.clear();
    const IniFile ini(text);
    MazatRequest = ini.readBool(kSection, "MazatRequest", false);
    HlidatZdaTrovanJede = ini.readBool(kSection, "HlidatZdaTrovanJede", false);
    ZobrazitIkonu = ini.readBool(kSection, "ZobrazitIkonu", true);
    MaxStejnyRequest = ini.readInteger(kSection, "MaxStejnyRequest", 5);
    MaxStariRequest = ini.readInteger(kSection, "MaxStariRequest", 600);
    MaxRadkuRequest = ini.readInteger(kSection, "MaxRadkuRequest", 1);
    CekaniNaTrovan = ini.readInteger(kSection, "CekaniNaTrovan", 10);
    Interval = ini.readInteger(kSection, "Interval", 30000);
    JinyAdrReq = ini.readBool(kSection, "JinyAdrReq", false);
    AdrReq = ini.readString(kSection, "AdrReq").value_or("");
}

void TConf::SaveSettings()
{
    const std::string name = SettingsFileName();
    std::string text;
    // A file that is there but cannot be read would lose its other keys and
    // sections if it were rewritten from nothing, so it is left alone.
    if (m_files.fileExists(name) && !m_files.readFile(name, text).ok)
        throw OvinError("Unable to write to " + name);
    IniFile ini(text);
    ini.writeString(kSection, "MazatRequest", bit(MazatRequest));
    ini.writeString(kSection, "HlidatZdaTrovanJede", bit(HlidatZdaTrovanJede));
    ini.writeString(kSection, "ZobrazitIkonu", bit(ZobrazitIkonu));
    ini.writeString(kSection, "MaxStejnyRequest", std::to_string(MaxStejnyRequest));
    ini.writeString(kSection, "MaxStariRequest", std::to_string(MaxStariRequest));
    ini.writeString(kSection, "MaxRadkuRequest", std::to_string(MaxRadkuRequest));
    ini.writeString(kSection, "CekaniNaTrovan", std::to_string(CekaniNaTrovan));
    ini.writeString(kSection, "Interval", std::to_string(Interval));
    ini.writeString(kSection, "JinyAdrReq", bit(JinyAdrReq));
    ini.writeString(kSection, "AdrReq", AdrReq);
    if (!m_files.replaceFile(name, ini.text()).ok)
        throw OvinError("Unable to write to " + name);
}

}  // namespace ovin

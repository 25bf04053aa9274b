#include "shell/SettingsPanelLogic.h"

#include <cstdint>

#include "settings/Config.h"
#include "shell/PanelFrontEnd.h"

namespace ovin {

SettingsPanelLogic::SettingsPanelLogic(TConf& conf, PanelFrontEnd& frontEnd) : m_conf(conf), m_frontEnd(frontEnd) {}

void SettingsPanelLogic::ShowSettings()
{
    for (const PanelSettingRow& row : PanelSettings()) {
        const SettingKey& key = *FindSetting(row.key);
        switch (key.kind) {
        case SettingKind::Bool:
            m_frontEnd.setChecked(row.control, m_conf.*key.flag);
            break;
        case SettingKind::Int:
            m_frontEnd.setValue(row.control, m_conf.*key.number / row.scale);
            break;
        case SettingKind::Text:
            m_frontEnd.setText(row.control, m_conf.*key.text);
            break;
        }
    }
    enablePathControls(m_conf.JinyAdrReq);
}

void SettingsPanelLogic::bSaveConfClick()
{
    for (const PanelSettingRow& row : PanelSettings()) {
        const SettingKey& key = *FindSetting(row.key);
        switch (key.kind) {
        case SettingKind::Bool:
            m_conf.*key.flag = m_frontEnd.isChecked(row.control);
            break;
        case SettingKind::Int:
            // Plain 32-bit arithmetic: a typed value too large for the record wraps instead of being undefined.
            m_conf.*key.number = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_frontEnd.value(row.control)) *
                                                           static_cast<std::uint32_t>(row.scale));
            break;
        case SettingKind::Text:
            m_conf.*key.text = m_frontEnd.text(row.control);
            break;
        }
    }
    m_conf.TakenOver();
}

void SettingsPanelLogic::cxJinyAdrReqClick()
{
    m_conf.JinyAdrReq = m_frontEnd.isChecked(PanelControl::cxJinyAdrReq);
    enablePathControls(m_conf.JinyAdrReq);
}

void SettingsPanelLogic::enablePathControls(bool on)
{
    m_frontEnd.setEnabled(PanelControl::ePathTo, on);
    m_frontEnd.setEnabled(PanelControl::bJinyAdrReq, on);
}

void SettingsPanelLogic::bJinyAdrReqClick()
{
    const std::optional<std::string> file = m_frontEnd.chooseFile();
    if (!file)
        return;
    m_frontEnd.setText(PanelControl::ePathTo, FolderOfFile(*file));
    m_frontEnd.setFocus(PanelControl::ePathTo);
    m_conf.AdrReq = m_frontEnd.text(PanelControl::ePathTo);
}

std::string SettingsPanelLogic::FolderOfFile(std::string_view filePath)
{
    const std::size_t sep = filePath.find_last_of("/\\");
    if (sep == std::string_view::npos)
        return {};
    // "/" and "D:\" are roots: they keep their separator.
    const bool root = sep == 0 || filePath[sep - 1] == ':';
    return std::string(filePath.substr(0, root ? sep + 1 : sep));
}

}  // namespace ovin

#pragma once

#include <string>
#include <string_view>

namespace ovin {

class PanelFrontEnd;
class TConf;

/// What the settings panel decides, whatever draws it: how the controls show the Watch settings, how
/// "ULOŽIT" takes them over, the other folder of the request file and which controls are enabled. The panel
/// edits the record it is given; it never writes the settings file (that happens when the program ends).
class SettingsPanelLogic final {
public:
    SettingsPanelLogic(TConf& conf, PanelFrontEnd& frontEnd);
    SettingsPanelLogic(const SettingsPanelLogic&) = delete;
    SettingsPanelLogic& operator=(const SettingsPanelLogic&) = delete;

    /// Copies the Watch settings into the controls and enables the path field and its button exactly while the
    /// other folder is on.
    void ShowSettings();

    /// "ULOŽIT": takes every control's value over into the Watch settings and tells the record so. Nothing is
    /// written.
    void bSaveConfClick();

    /// The other folder's box changed: the record follows at once, so the next tick already watches the other
    /// request file.
    void cxJinyAdrReqClick();

    /// "Najít ...": the folder of a file chosen in `od1` becomes the other folder, in the path field (which
    /// takes the focus) and in the record at once.
    void bJinyAdrReqClick();

    /// The folder of a file: the path up to its last separator ("/" or "\"), without it, except that a root
    /// folder keeps it ("/request.cfg" gives "/", "D:\request.cfg" gives "D:\").
    static std::string FolderOfFile(std::string_view filePath);

private:
    void enablePathControls(bool on);

    TConf& m_conf;
    PanelFrontEnd& m_frontEnd;
};

}  // namespace ovin

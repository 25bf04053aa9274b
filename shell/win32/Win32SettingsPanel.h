#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "shell/PanelFrontEnd.h"
#include "shell/SettingsPanelLogic.h"
#include "shell/SettingsPanelTable.h"

namespace ovin {

class TConf;
class Win32AdpEdit;
class Win32LabelX;
class Win32SpinEdit;
class Win32SpinEditX;
struct DialogAnswers;

/// The settings panel (`Panel1`) along the main window's bottom edge, with the activity strip (`Panel2`,
/// `pActive`) at its left. Its controls come from the panel's table and what they do is decided by
/// `SettingsPanelLogic`; this class makes the windows and hands their values.
class Win32SettingsPanel final : private PanelFrontEnd {
public:
    /// `freeRightRelease` runs when the right mouse button goes up on a spot of the panel that no control holds.
    Win32SettingsPanel(HWND parent, TConf& conf, DialogAnswers* answers, HFONT font, int dpi,
                       std::function<void()> freeRightRelease);
    ~Win32SettingsPanel() override;
    Win32SettingsPanel(const Win32SettingsPanel&) = delete;
    Win32SettingsPanel& operator=(const Win32SettingsPanel&) = delete;

    HWND hwnd() const { return m_panel; }
    /// The window of one control of the table (for a spin edit, its edit).
    HWND control(PanelControl id) const { return m_controls[static_cast<std::size_t>(id)]; }

    void ShowSettings() { m_logic.ShowSettings(); }
    std::int32_t routerWait() const { return value(PanelControl::seWait); }
    /// Colours `pActive` red while a tick runs.
    void setActivity(bool busy);
    /// Lays the strip out for the panel's current size.
    void layout();
    /// Places every control again for a display of `dpi` dots per inch, drawn with `font` (the window's font at
    /// that resolution). The panel's own height is its parent's to set.
    void setDpi(int dpi, HFONT font);

private:
    // PanelFrontEnd
    bool isChecked(PanelControl control) const override;
    void setChecked(PanelControl control, bool on) override;
    std::int32_t value(PanelControl control) const override;
    void setValue(PanelControl control, std::int32_t value) override;
    std::string text(PanelControl control) const override;
    void setText(PanelControl control, const std::string& text) override;
    void setEnabled(PanelControl control, bool on) override;
    void setFocus(PanelControl control) override;
    std::optional<std::string> chooseFile() override;

    static LRESULT CALLBACK panelProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HFONT font);
    /// Makes the window of one row of the panel's table with the control id `id`; spin edits and the path edit
    /// are kept as the objects that feed them.
    HWND createControl(const PanelControlRow& row, int id, HFONT font);
    void addHint(HWND control, const char* hint);
    void putInTabOrder();
    void placeControls(HFONT font);
    void drawEmphasised(const DRAWITEMSTRUCT& item) const;
    Win32SpinEdit* spin(PanelControl id) const;
    int px(int designPx) const;

    SettingsPanelLogic m_logic;
    DialogAnswers* m_answers;
    std::function<void()> m_freeRightRelease;
    int m_dpi;
    HWND m_panel = nullptr;
    HWND m_panel2 = nullptr;
    HWND m_active = nullptr;
    HWND m_tips = nullptr;
    HFONT m_boldFont = nullptr;
    bool m_busy = false;
    std::array<HWND, kPanelControlCount> m_controls{};
    std::vector<std::unique_ptr<Win32LabelX>> m_labels;
    std::vector<std::unique_ptr<Win32SpinEdit>> m_plainSpins;
    std::unique_ptr<Win32SpinEditX> m_seWait;
    std::unique_ptr<Win32AdpEdit> m_ePathTo;
    /// Every spin edit of the panel by its control, `seWait`'s included.
    std::array<Win32SpinEdit*, kPanelControlCount> m_spins{};
};

}  // namespace ovin

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shell/SettingsPanelTable.h"

namespace ovin {

/// What the settings panel's behaviour (`SettingsPanelLogic`) asks of the front end that holds the controls:
/// a control's value, its enabled state and the focus, and the open-file dialog. Controls are named by
/// `PanelControl`; each call names a control of the kind it fits (a check box for `isChecked`, a spin edit for
/// `value`, the path edit for `text`).
class PanelFrontEnd {
public:
    virtual ~PanelFrontEnd() = default;

    virtual bool isChecked(PanelControl control) const = 0;
    /// Changing the tick of `cxJinyAdrReq` runs `cxJinyAdrReqClick`, as the user's click does.
    virtual void setChecked(PanelControl control, bool on) = 0;
    /// A spin edit's `Value`: its text read as a number (text that is none reads as its minimum).
    virtual std::int32_t value(PanelControl control) const = 0;
    /// Writes a spin edit's `Value`: the number pulled within its range.
    virtual void setValue(PanelControl control, std::int32_t value) = 0;
    virtual std::string text(PanelControl control) const = 0;
    virtual void setText(PanelControl control, const std::string& text) = 0;
    virtual void setEnabled(PanelControl control, bool on) = 0;
    virtual void setFocus(PanelControl control) = 0;

    /// Runs the open-file dialog `od1` (no filter, title or initial folder of its own; the process's current
    /// folder is kept): the chosen file, or none when the user cancelled.
    virtual std::optional<std::string> chooseFile() = 0;
};

}  // namespace ovin

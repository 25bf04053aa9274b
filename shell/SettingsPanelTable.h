#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "controls/Geometry.h"

namespace ovin {

struct SettingKey;

/// The controls of the settings panel (`Panel1`), by their component names.
enum class PanelControl {
    cxHlidatTrovan,
    cxMazatRq,
    cxZobrazitIkonu,
    Label1,
    seMaxOld,
    Label3,
    Label2,
    seMaxSame,
    Label4,
    seMaxRadku,
    Label5,
    seInterval,
    Label6,
    LabelX2,
    seWait,
    LabelX1,
    bSaveConf,
    cxJinyAdrReq,
    ePathTo,
    bJinyAdrReq,
};

/// What a control of the panel is.
enum class PanelControlKind {
    CheckBox,
    /// A label (`TLabelX`) that sizes itself to its caption: only its left and top are fixed.
    Label,
    /// A spin edit (`TSpinEdit`); `seWait` is a `TSpinEditX` without a caption of its own.
    SpinEdit,
    Button,
    /// The focus-colour edit (`TadpEdit`) of the other folder.
    PathEdit,
};

/// One control of the panel: where it stands inside the panel, what it shows, and its place in the tab order.
struct PanelControlRow {
    PanelControl id;
    const char* name;
    PanelControlKind kind;
    /// Left, top, width and height in pixels inside `Panel1`; a label's width and height are 0 (its caption's).
    Rect bounds;
    const char* caption;  ///< empty for the spin edits and the path edit
    const char* hint;     ///< empty for none; shown when the mouse rests on the control
    /// The range of a spin edit; minimum equal to maximum is no limit.
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0;
    /// Position in the tab order, or -1 for a control that takes no focus.
    int tabOrder = -1;
    /// The caption in the window's font, bold, in red ("ULOŽIT").
    bool emphasised = false;
};

/// How many controls the panel has.
inline constexpr std::size_t kPanelControlCount = 20;

/// Every control of the panel, in the order in which the panel creates them (the order of `PanelControl`).
std::span<const PanelControlRow> PanelControls();
/// The row of one control.
const PanelControlRow& PanelControlOf(PanelControl id);

/// The panel is this high, along the window's bottom edge.
inline constexpr int kPanelHeightPx = 130;
/// The strip at the panel's left edge (`Panel2`) and the activity indicator (`pActive`) at its bottom.
inline constexpr int kActivityStripWidthPx = 10;
inline constexpr int kActivitySizePx = 10;
inline constexpr Rgb kActivityBusyColour{255, 0, 0};
/// The value `seWait` has before the settings are shown.
inline constexpr std::int32_t kRouterWaitDefault = 10;
/// The background of the path field while it has the focus (lime green).
inline constexpr Rgb kPathColourOnEnter{0, 255, 0};
/// The colour and weight of the emphasised caption.
inline constexpr Rgb kEmphasisedColour{255, 0, 0};

/// How a control shows its setting and how "ULOŽIT" takes it back.
struct PanelSettingRow {
    PanelControl control;
    /// The setting, by its key in the settings file.
    const char* key;
    /// How many units of the setting one unit of the control is: `Interval` is held in milliseconds and edited
    /// in seconds (shown divided, truncated toward zero; taken back multiplied).
    int scale = 1;
};

/// The controls bound to Watch settings, in the order `ShowSettings` and `bSaveConfClick` go through them.
std::span<const PanelSettingRow> PanelSettings();

}  // namespace ovin

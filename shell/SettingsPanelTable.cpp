#include "shell/SettingsPanelTable.h"

#include <array>
#include <cstddef>

#include "settings/Texts.h"

namespace ovin {

namespace {

using K = PanelControlKind;
using C = PanelControl;

constexpr std::array<PanelControlRow, kPanelControlCount> kControls{{
    {C::cxHlidatTrovan,
     "cxHlidatTrovan",
     K::CheckBox,
     {16, 16, 169, 17},
     texts::kHlidatTrovanCaption,
     texts::kHlidatTrovanHint,
     0,
     0,
     0},
    {C::cxMazatRq, "cxMazatRq", K::CheckBox, {16, 40, 137, 17}, texts::kMazatRqCaption, texts::kMazatRqHint, 0, 0, 1},
    {C::cxZobrazitIkonu, "cxZobrazitIkonu", K::CheckBox, {16, 64, 161, 17}, texts::kZobrazitIkonuCaption, "", 0, 0, 2},
    {C::Label1, "Label1", K::Label, {192, 16, 0, 0}, texts::kMaxOldCaption, texts::kMaxOldHint},
    {C::seMaxOld, "seMaxOld", K::SpinEdit, {312, 8, 73, 22}, "", texts::kMaxOldHint, 0, 600000, 3},
    {C::Label3, "Label3", K::Label, {392, 16, 0, 0}, texts::kSecondsUnit, ""},
    {C::Label2, "Label2", K::Label, {192, 40, 0, 0}, texts::kMaxSameCaption, texts::kMaxSameHint},
    {C::seMaxSame, "seMaxSame", K::SpinEdit, {312, 32, 73, 22}, "", texts::kMaxSameHint, 1, 1000, 4},
    {C::Label4, "Label4", K::Label, {192, 64, 0, 0}, texts::kMaxRadkuCaption, texts::kMaxRadkuHint},
    {C::seMaxRadku, "seMaxRadku", K::SpinEdit, {312, 56, 73, 22}, "", texts::kMaxRadkuHint, 1, 1000, 6},
    {C::Label5, "Label5", K::Label, {192, 88, 0, 0}, texts::kIntervalCaption, texts::kIntervalHint},
    {C::seInterval, "seInterval", K::SpinEdit, {312, 80, 73, 22}, "", texts::kIntervalHint, 1, 1000000, 7},
    {C::Label6, "Label6", K::Label, {392, 88, 0, 0}, texts::kSecondsUnit, ""},
    {C::LabelX2, "LabelX2", K::Label, {192, 112, 0, 0}, texts::kWaitCaption, ""},
    // Minimum and maximum both 0: the wait is not limited, negative values included.
    {C::seWait, "seWait", K::SpinEdit, {312, 104, 73, 22}, "", "", 0, 0, 9},
    {C::LabelX1, "LabelX1", K::Label, {392, 112, 0, 0}, texts::kSecondsUnit, ""},
    {C::bSaveConf, "bSaveConf", K::Button, {504, 96, 75, 25}, texts::kSaveCaption, "", 0, 0, 5, true},
    {C::cxJinyAdrReq, "cxJinyAdrReq", K::CheckBox, {424, 16, 153, 17}, texts::kJinyAdrReqCaption, "", 0, 0, 10},
    {C::ePathTo, "ePathTo", K::PathEdit, {424, 37, 153, 21}, "", texts::kPathToHint, 0, 0, 12},
    {C::bJinyAdrReq, "bJinyAdrReq", K::Button, {520, 56, 57, 22}, texts::kFindFolderCaption, "", 0, 0, 11},
}};

constexpr std::array<PanelSettingRow, 10> kSettings{{
    {C::cxHlidatTrovan, "HlidatZdaTrovanJede"},
    {C::cxMazatRq, "MazatRequest"},
    {C::cxZobrazitIkonu, "ZobrazitIkonu"},
    {C::seInterval, "Interval", 1000},
    {C::seMaxSame, "MaxStejnyRequest"},
    {C::seMaxOld, "MaxStariRequest"},
    {C::seMaxRadku, "MaxRadkuRequest"},
    {C::seWait, "CekaniNaTrovan"},
    {C::cxJinyAdrReq, "JinyAdrReq"},
    {C::ePathTo, "AdrReq"},
}};

// The rows are kept in the order of the enum, so that a control finds its row by its value.
constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (static_cast<std::size_t>(kControls[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inEnumOrder());

}  // namespace

std::span<const PanelControlRow> PanelControls() { return kControls; }

const PanelControlRow& PanelControlOf(PanelControl id) { return kControls[static_cast<std::size_t>(id)]; }

std::span<const PanelSettingRow> PanelSettings() { return kSettings; }

}  // namespace ovin

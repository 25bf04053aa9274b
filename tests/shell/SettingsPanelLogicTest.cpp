#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "controls/SpinRules.h"
#include "settings/Config.h"
#include "shell/PanelFrontEnd.h"
#include "shell/SettingsPanelLogic.h"
#include "shell/SettingsPanelTable.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

// The panel's controls as values: the spin edits keep their text and read and write it by the spin edit's
// rules with the table's ranges, as both front ends' spin edits do.
class FakePanel final : public PanelFrontEnd {
public:
    bool isChecked(PanelControl c) const override { return checked.count(c) && checked.at(c); }
    void setChecked(PanelControl c, bool on) override
    {
        checked[c] = on;
        if (c == PanelControl::cxJinyAdrReq && logic)
            logic->cxJinyAdrReqClick();
    }
    std::int32_t value(PanelControl c) const override { return limits(c).ReadValue(texts.at(c)); }
    void setValue(PanelControl c, std::int32_t v) override { texts[c] = limits(c).WriteValue(v); }
    std::string text(PanelControl c) const override { return texts.count(c) ? texts.at(c) : ""; }
    void setText(PanelControl c, const std::string& t) override { texts[c] = t; }
    void setEnabled(PanelControl c, bool on) override { enabled[c] = on; }
    void setFocus(PanelControl c) override { focused = c; }
    std::optional<std::string> chooseFile() override { return chosen; }

    static SpinLimits limits(PanelControl c)
    {
        const PanelControlRow& row = PanelControlOf(c);
        return {row.minValue, row.maxValue};
    }

    SettingsPanelLogic* logic = nullptr;
    std::map<PanelControl, bool> checked;
    std::map<PanelControl, std::string> texts;
    std::map<PanelControl, bool> enabled;
    std::optional<PanelControl> focused;
    std::optional<std::string> chosen;
};

struct Panel {
    Panel() { frontEnd.logic = &logic; }
    test::FakeFileSystem files;
    TConf conf{files, "/app/"};
    FakePanel frontEnd;
    SettingsPanelLogic logic{conf, frontEnd};
};

TEST(SettingsPanelLogic, ShownAndTakenBackThroughTheControlsRanges)
{
    const struct {
        const char* key;
        std::int32_t stored;
        PanelControl control;
        const char* shown;
        std::int32_t takenBack;
    } cases[] = {
        {"Interval", 30000, PanelControl::seInterval, "30", 30000},
        {"Interval", 1500, PanelControl::seInterval, "1", 1000},
        {"Interval", 999, PanelControl::seInterval, "1", 1000},
        {"Interval", 5000000, PanelControl::seInterval, "5000", 5000000},
        {"MaxStejnyRequest", 0, PanelControl::seMaxSame, "1", 1},
        {"MaxStariRequest", 700000, PanelControl::seMaxOld, "600000", 600000},
        {"MaxRadkuRequest", 5000, PanelControl::seMaxRadku, "1000", 1000},
        {"CekaniNaTrovan", -7, PanelControl::seWait, "-7", -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + std::to_string(c.stored));
        Panel p;
        p.conf.*FindSetting(c.key)->number = c.stored;
        p.logic.ShowSettings();
        EXPECT_EQ(p.frontEnd.text(c.control), c.shown);
        p.logic.bSaveConfClick();
        EXPECT_EQ(p.conf.*FindSetting(c.key)->number, c.takenBack);
    }
}

TEST(SettingsPanelLogic, SwitchesAndThePathGoBothWays)
{
    Panel p;
    p.conf.HlidatZdaTrovanJede = true;
    p.conf.MazatRequest = false;
    p.conf.ZobrazitIkonu = true;
    p.conf.AdrReq = "/data";
    p.logic.ShowSettings();
    EXPECT_TRUE(p.frontEnd.isChecked(PanelControl::cxHlidatTrovan));
    EXPECT_FALSE(p.frontEnd.isChecked(PanelControl::cxMazatRq));
    EXPECT_EQ(p.frontEnd.text(PanelControl::ePathTo), "/data");

    p.frontEnd.checked[PanelControl::cxHlidatTrovan] = false;
    p.frontEnd.checked[PanelControl::cxMazatRq] = true;
    p.frontEnd.texts[PanelControl::ePathTo] = "/typed";
    // Typing and ticking change nothing in the record until "ULOŽIT".
    EXPECT_TRUE(p.conf.HlidatZdaTrovanJede);
    EXPECT_EQ(p.conf.AdrReq, "/data");
    p.logic.bSaveConfClick();
    EXPECT_FALSE(p.conf.HlidatZdaTrovanJede);
    EXPECT_TRUE(p.conf.MazatRequest);
    EXPECT_EQ(p.conf.AdrReq, "/typed");
}

TEST(SettingsPanelLogic, TheOtherFolderActsAtOnceAndEnablesItsControls)
{
    for (const bool on : {false, true}) {
        Panel p;
        p.conf.JinyAdrReq = on;
        p.logic.ShowSettings();
        EXPECT_EQ(p.frontEnd.enabled[PanelControl::ePathTo], on);
        EXPECT_EQ(p.frontEnd.enabled[PanelControl::bJinyAdrReq], on);
        p.frontEnd.setChecked(PanelControl::cxJinyAdrReq, !on);
        EXPECT_EQ(p.conf.JinyAdrReq, !on);
        EXPECT_EQ(p.frontEnd.enabled[PanelControl::ePathTo], !on);
        EXPECT_EQ(p.frontEnd.enabled[PanelControl::bJinyAdrReq], !on);
    }
}

TEST(SettingsPanelLogic, NajitTakesTheChosenFilesFolder)
{
    Panel p;
    p.conf.AdrReq = "/old";
    p.frontEnd.texts[PanelControl::ePathTo] = "/old";
    p.logic.bJinyAdrReqClick();  // cancelled
    EXPECT_EQ(p.conf.AdrReq, "/old");
    EXPECT_FALSE(p.frontEnd.focused);
    p.frontEnd.chosen = "/x/request.cfg";
    p.logic.bJinyAdrReqClick();
    EXPECT_EQ(p.frontEnd.text(PanelControl::ePathTo), "/x");
    EXPECT_EQ(p.conf.AdrReq, "/x");
    EXPECT_EQ(p.frontEnd.focused, PanelControl::ePathTo);

    const struct {
        const char* file;
        const char* folder;
    } cases[] = {
        {"/a/b c/request.cfg", "/a/b c"},
        {"/request.cfg", "/"},
        {"D:/data/request.cfg", "D:/data"},
        {"D:/request.cfg", "D:/"},
        {"D:\\data\\request.cfg", "D:\\data"},
        {"D:\\request.cfg", "D:\\"},
        {"request.cfg", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsPanelLogic::FolderOfFile(c.file), c.folder) << c.file;
}

// The table both front ends build the panel from: every setting is bound, the tab order runs without gaps or
// doubles, and only the path field and its button depend on a setting.
TEST(SettingsPanelTable, IsWhole)
{
    std::set<std::string> keys;
    for (const PanelSettingRow& row : PanelSettings()) {
        ASSERT_NE(FindSetting(row.key), nullptr) << row.key;
        keys.insert(row.key);
    }
    EXPECT_EQ(keys.size(), SettingKeys().size());

    std::vector<int> order;
    std::set<std::string> names;
    for (const PanelControlRow& row : PanelControls()) {
        names.insert(row.name);
        if (row.tabOrder >= 0)
            order.push_back(row.tabOrder);
        EXPECT_EQ(row.kind == PanelControlKind::Label, row.tabOrder < 0) << row.name;
    }
    EXPECT_EQ(names.size(), PanelControls().size());
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}));
}

}  // namespace
}  // namespace ovin

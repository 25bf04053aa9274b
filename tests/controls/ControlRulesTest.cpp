#include <gtest/gtest.h>

#include <vector>

#include "controls/ActiveArrow.h"
#include "controls/AutoRepeat.h"
#include "controls/FocusColour.h"
#include "controls/FormFocus.h"
#include "controls/LabelPlacement.h"
#include "support/Fakes.h"
#include "watchdog/WatchTimer.h"

namespace ovin {
namespace {

// The watch cycle's fake clock drives the auto-repeat too.
struct RepeatRig {
    test::FakeClock clock;
    test::FakeEventLoop loop{clock};
    int clicks = 0;
    bool held = true;
    AutoRepeat repeat{[this] { return loop.makeTimer(); }, [this] { ++clicks; }, [this] { return held; }};
};

TEST(AutoRepeat, HoldingRepeatsAfter400ThenEvery100Ms)
{
    RepeatRig rig;
    rig.repeat.setEnabled(true);
    rig.repeat.press();
    ASSERT_NE(rig.repeat.timer(), nullptr);
    EXPECT_EQ(rig.repeat.timer()->interval(), 400);
    const struct {
        int afterMs, clicks;
    } steps[] = {{399, 0}, {1, 1}, {99, 1}, {1, 2}, {300, 5}};
    for (const auto& s : steps) {
        rig.loop.runFor(s.afterMs);
        EXPECT_EQ(rig.clicks, s.clicks);
    }
    EXPECT_EQ(rig.repeat.timer()->interval(), 100);

    // The pointer off the button pauses the repeat; the timer goes on.
    rig.held = false;
    rig.loop.runFor(500);
    EXPECT_EQ(rig.clicks, 5);
    rig.repeat.release();
    EXPECT_FALSE(rig.repeat.timer()->enabled());

    // The next press starts at 400 ms again, on the same timer.
    WatchTimer* timer = rig.repeat.timer();
    rig.held = true;
    rig.repeat.press();
    EXPECT_EQ(rig.repeat.timer(), timer);
    EXPECT_EQ(timer->interval(), 400);
}

TEST(AutoRepeat, WithoutTheFlagNoTimerIsMade)
{
    RepeatRig rig;
    rig.repeat.press();
    rig.loop.runFor(1000);
    EXPECT_EQ(rig.repeat.timer(), nullptr);
    EXPECT_EQ(rig.clicks, 0);
}

TEST(ActiveArrow, OnlyASpinButtonThatCanHoldTheFocusChangesIt)
{
    ActiveArrow arrow;
    EXPECT_EQ(arrow.active(), ActiveArrow::Up);
    EXPECT_FALSE(arrow.SetActiveButton(ActiveArrow::Down, false, true));
    EXPECT_FALSE(arrow.SetActiveButton(ActiveArrow::Down, true, false));
    EXPECT_EQ(arrow.active(), ActiveArrow::Up);
    EXPECT_TRUE(arrow.SetActiveButton(ActiveArrow::Down, true, true));
    EXPECT_FALSE(arrow.SetActiveButton(ActiveArrow::Down, true, true));
    EXPECT_EQ(arrow.active(), ActiveArrow::Down);
    EXPECT_FALSE(arrow.focusMark());
    arrow.focusIn();
    EXPECT_TRUE(arrow.focusMark());
    arrow.focusOut();
    EXPECT_FALSE(arrow.focusMark());
}

TEST(LabelPlacement, EachSideOfTheSpinEdit)
{
    const struct {
        TLabelPosition position;
        Rect edit;
        Size label;
        Point corner;
    } cases[] = {
        {lpAbove, {100, 50, 73, 21}, {40, 13}, {100, 34}}, {lpBelow, {100, 50, 73, 21}, {40, 13}, {100, 74}},
        {lpLeft, {100, 50, 73, 21}, {40, 13}, {57, 54}},   {lpRight, {100, 50, 73, 21}, {40, 13}, {176, 54}},
        {lpRight, {100, 50, 73, 20}, {40, 23}, {176, 49}},  // taller by 3: up by 1, truncated toward zero
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceLabel(c.position, c.edit, c.label, 3), c.corner);
}

TEST(FocusColour, EntryAndExitOfTheWindowsFocusedControl)
{
    FormFocus focus;
    FocusColour colour(0xffffff);
    EXPECT_EQ(colour.exit(), 0xffffffu);
    ASSERT_TRUE(focus.enters());
    EXPECT_EQ(colour.enter(0xffffff, 0x00ff00), 0x00ff00u);
    EXPECT_FALSE(focus.enters());
    // A popup or another application borrows the keyboard: no exit, and no new entry when it comes back.
    EXPECT_FALSE(focus.exits(FocusLoss::Borrowed));
    EXPECT_FALSE(focus.enters());
    ASSERT_TRUE(focus.exits(FocusLoss::Ordinary));
    EXPECT_EQ(colour.exit(), 0xffffffu);
    EXPECT_FALSE(focus.exits(FocusLoss::Ordinary));
    // A colour set while unfocused is the one the next exit returns to.
    ASSERT_TRUE(focus.enters());
    colour.enter(0x123456, 0x00ff00);
    EXPECT_EQ(colour.exit(), 0x123456u);
}

TEST(LayoutScaling, MeasuresRoundToTheNearestPixelAndRectanglesKeepTheirEdges)
{
    struct Case {
        int px, dpi, expected;
    };
    for (const Case& c : std::vector<Case>{{590, 96, 590},
                                           {590, 120, 738},
                                           {493, 120, 616},  // 616.25
                                           {493, 144, 740},  // 739.5: a half goes up
                                           {15, 144, 23},
                                           {493, 192, 986},
                                           {-3, 144, -5},  // away from zero both ways
                                           {0, 144, 0}})
        EXPECT_EQ(ScaledPx(c.px, c.dpi), c.expected) << c.px << " at " << c.dpi;

    // At 150 % "Mazat request.cfg" ends at 85.5 and starts at 60: its height comes from the scaled edges, so
    // that the next control, 24 pixels lower at 100 %, is 36 lower whatever the rounding.
    EXPECT_EQ(ScaledRect(Rect{16, 40, 137, 17}, 144), (Rect{24, 60, 206, 26}));
    EXPECT_EQ(ScaledRect(Rect{424, 37, 153, 21}, 144), (Rect{636, 56, 230, 31}));
    EXPECT_EQ(ScaledRect(Rect{312, 8, 73, 22}, 96), (Rect{312, 8, 73, 22}));
}

}  // namespace
}  // namespace ovin

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "controls/SpinRules.h"

namespace ovin {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(SpinRules, ValueRulesOfTheField)
{
    struct Case {
        std::int32_t minValue, maxValue;
        const char* text;
        std::int32_t read;                // what the text reads as
        std::optional<std::string> exit;  // the text after leaving the field, when it changes
    };
    const Case cases[] = {
        {1, 1000, "12", 12, std::nullopt},
        {1, 1000, "5000", 5000, "1000"},
        {1, 1000, "0", 0, "1"},
        {1, 1000, "", 1, std::nullopt},  // an emptied field stays empty
        {1, 1000, "1,5", 1, std::nullopt},
        {1, 1000, "+7", 7, std::nullopt},
        {1, 1000, "+-7", 1, std::nullopt},
        {1, 1000, "--7", 1, std::nullopt},
        {1, 1000, "7a", 1, std::nullopt},
        {0, 0, "-2147483648", kMin, std::nullopt},
        {0, 0, "2147483648", 0, std::nullopt},  // out of range reads as MinValue
        {0, 600000, "-5", -5, "0"},
        {10, 5, "7", 7, "10"},  // inverted limits: the lower one is tested first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const SpinLimits limits{c.minValue, c.maxValue};
        EXPECT_EQ(limits.ReadValue(c.text), c.read);
        EXPECT_EQ(limits.TextOnExit(c.text), c.exit);
    }
}

TEST(SpinRules, WritingClampsAndStepsWrap)
{
    EXPECT_EQ((SpinLimits{1, 1000}.WriteValue(0)), "1");
    EXPECT_EQ((SpinLimits{1, 1000}.WriteValue(5000)), "1000");
    EXPECT_EQ((SpinLimits{10, 5}.WriteValue(7)), "10");
    EXPECT_EQ((SpinLimits{0, 0}.WriteValue(-42)), "-42");
    EXPECT_EQ(StepValue(kMax, 1, +1), kMin);
    EXPECT_EQ(StepValue(kMin, 1, -1), kMax);
    EXPECT_EQ(StepValue(5, -3, +1), 2);
    EXPECT_EQ(StepValue(5, 0, -1), 5);
}

TEST(SpinRules, CharacterFilter)
{
    struct Case {
        char32_t ch;
        bool editorOn, editorOff;
    };
    const Case cases[] = {
        {U'0', true, false},   {U'9', true, false},  {U'+', true, false},
        {U'-', true, false},   {U',', true, false},  // the decimal separator below
        {U'.', false, false},  {U'a', false, false}, {U' ', false, false},
        {U'\r', false, false}, {U'\b', true, false}, {3, true, true},  // Ctrl+C
        {U'\t', true, true},   {U'š', false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.ch));
        EXPECT_EQ(IsAcceptedChar(c.ch, U',', true), c.editorOn);
        EXPECT_EQ(IsAcceptedChar(c.ch, U',', false), c.editorOff);
    }
}

TEST(SpinRules, ArrowButtonsShareARowAndKeepAWidth)
{
    struct Case {
        Size given;
        SpinButtonFit fit;
    };
    const Case cases[] = {
        {{10, 25}, {{15, 25}, {0, 0, 15, 12}, {0, 11, 15, 14}}},
        {{20, 24}, {{20, 24}, {0, 0, 20, 12}, {0, 11, 20, 13}}},
        {{15, 17}, {{15, 17}, {0, 0, 15, 8}, {0, 7, 15, 10}}},
    };
    for (const Case& c : cases) {
        const SpinButtonFit fit = FitButtons(c.given);
        EXPECT_EQ(fit.size, c.fit.size);
        EXPECT_EQ(fit.up, c.fit.up);
        EXPECT_EQ(fit.down, c.fit.down);
    }
    EXPECT_EQ(SpinEditMinimumHeight(13, 16), 13 + 3 + 4 + 2);
    EXPECT_EQ(SpinEditMinimumHeight(20, 13), 20 + 3 + 4 + 2);
}

}  // namespace
}  // namespace ovin

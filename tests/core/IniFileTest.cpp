#include <gtest/gtest.h>

#include "settings/IniFile.h"

namespace ovin {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> value;
};

class ParseInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseInteger, FollowsTheProfileRules)
{
    EXPECT_EQ(IniFile::parseInteger(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseInteger,
    ::testing::Values(IntegerCase{"5", 5}, IntegerCase{"-1", -1}, IntegerCase{"+7", 7}, IntegerCase{"  42  ", 42},
                      IntegerCase{"0x7530", 30000}, IntegerCase{"0X1f", 31}, IntegerCase{"$FF", 255},
                      IntegerCase{"x10", 16}, IntegerCase{"X10", 16}, IntegerCase{"-0x10", -16},
                      IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", -2147483647 - 1},
                      IntegerCase{"2147483648", std::nullopt}, IntegerCase{"0x80000000", std::nullopt},
                      IntegerCase{"", std::nullopt}, IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt},
                      IntegerCase{"-", std::nullopt}, IntegerCase{"yes", std::nullopt},
                      IntegerCase{"12ab", std::nullopt}, IntegerCase{"1 2", std::nullopt},
                      IntegerCase{"0xG", std::nullopt}));

TEST(IniRead, MatchesNamesWithoutCaseAndDropsBlanksAroundValues)
{
    const IniFile ini("[Other]\r\nKey=other\r\n[CONF]\r\n  mazatrequest  =   1  \r\nAdrReq =  /data dir  \r\n");
    EXPECT_EQ(ini.readString("conf", "MazatRequest"), "1");
    EXPECT_EQ(ini.readString("conf", "AdrReq"), "/data dir");
    EXPECT_EQ(ini.readString("conf", "Key"), std::nullopt) << "a key of another section is not seen";
    EXPECT_EQ(ini.readString("missing", "Key"), std::nullopt);
}

TEST(IniRead, TheFirstOfDuplicatesWinsAndCommentsAreNoKeys)
{
    const IniFile ini("[conf]\n;Interval=1\n#Interval=2\nInterval=3\nInterval=4\n[conf]\nInterval=5\n");
    EXPECT_EQ(ini.readInteger("conf", "Interval", 0), 3);
}

TEST(IniRead, DefaultsForMissingAndInvalidValues)
{
    const IniFile ini("[conf]\nMaxStejnyRequest=abc\nZobrazitIkonu=2\nJinyAdrReq=yes\nEmpty=\n");
    EXPECT_EQ(ini.readInteger("conf", "MaxStejnyRequest", 5), 5);
    EXPECT_EQ(ini.readInteger("conf", "Empty", 9), 9);
    EXPECT_EQ(ini.readInteger("conf", "Missing", 600), 600);
    EXPECT_TRUE(ini.readBool("conf", "ZobrazitIkonu", false)) << "any number but 0 is on";
    EXPECT_TRUE(ini.readBool("conf", "JinyAdrReq", true)) << "a word reads as the default";
    EXPECT_FALSE(ini.readBool("conf", "JinyAdrReq", false));
}

TEST(IniRead, CutsLongTextValues)
{
    const std::string value(3000, 'a');
    const IniFile ini("[conf]\nAdrReq=" + value + "\n");
    EXPECT_EQ(ini.readString("conf", "AdrReq")->size(), IniFile::kMaxValueLength);
}

TEST(IniWrite, CreatesTheSectionInAnEmptyText)
{
    IniFile ini;
    ini.writeString("conf", "A", "1");
    ini.writeString("conf", "B", "");
    EXPECT_EQ(ini.text(), "[conf]\r\nA=1\r\nB=\r\n");
}

TEST(IniWrite, ReplacesInPlaceAndKeepsEveryOtherLineAsItWas)
{
    const std::string before =
        "; settings of the watchdog\n[first]\nx = 1\n\n[Conf]\n# comment\nb=old\na = 2\n\n[last]\ny=2";
    IniFile ini(before);
    ini.writeString("conf", "A", "3");
    ini.writeString("conf", "B", "new");
    EXPECT_EQ(ini.text(), "; settings of the watchdog\n[first]\nx = 1\n\n[Conf]\n# comment\nb=new\na=3\n\n[last]\ny=2");
}

TEST(IniWrite, AddsAMissingKeyAfterTheSectionsLastKey)
{
    IniFile ini("[conf]\r\na=1\r\n\r\n; next\r\n[other]\r\nz=1\r\n");
    ini.writeString("conf", "b", "2");
    EXPECT_EQ(ini.text(), "[conf]\r\na=1\r\nb=2\r\n\r\n; next\r\n[other]\r\nz=1\r\n");
}

TEST(IniWrite, AddsTheSectionAtTheEndAfterALastLineWithoutBreak)
{
    IniFile ini("[other]\nz=1");
    ini.writeString("conf", "a", "1");
    EXPECT_EQ(ini.text(), "[other]\nz=1\r\n[conf]\r\na=1\r\n");
}

TEST(IniWrite, AddsAKeyToASectionWhoseHeaderEndsTheText)
{
    IniFile ini("[conf]");
    ini.writeString("conf", "a", "1");
    EXPECT_EQ(ini.text(), "[conf]\r\na=1\r\n");
}

// What other editors write: a byte-order mark first, values in quotes.
struct QuotedCase {
    const char* what;
    const char* value;  // as it stands after "AdrReq="
    const char* read;
};

void PrintTo(const QuotedCase& c, std::ostream* os) { *os << c.what; }

class QuotedValue : public ::testing::TestWithParam<QuotedCase> {};

TEST_P(QuotedValue, LosesOnePairOfMatchingQuotes)
{
    const QuotedCase& c = GetParam();
    const IniFile ini(std::string("[conf]\r\nAdrReq=") + c.value + "\r\n");
    EXPECT_EQ(ini.readString("conf", "AdrReq"), c.read) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Values, QuotedValue,
    ::testing::Values(QuotedCase{"double", "\"/srv/my data\"", "/srv/my data"},
                      QuotedCase{"single", "'/srv/my data'", "/srv/my data"},
                      QuotedCase{"blanks outside and inside", "  \" x \"  ", " x "},
                      QuotedCase{"only one pair", "\"\"x\"\"", "\"x\""}, QuotedCase{"empty quotes", "\"\"", ""},
                      QuotedCase{"a lone quote", "\"", "\""}, QuotedCase{"mismatched", "\"x'", "\"x'"},
                      QuotedCase{"open only", "\"x", "\"x"}, QuotedCase{"inner quotes stay", "a\"b\"", "a\"b\""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(IniRead, QuotedNumbersReadUnderTheNumberRules)
{
    const IniFile ini("[conf]\nMaxStejnyRequest=\"7\"\nInterval='0x7530'\nMaxRadkuRequest=\" 3\"\nBad=\"7x\"\n");
    EXPECT_EQ(ini.readInteger("conf", "MaxStejnyRequest", 5), 7);
    EXPECT_EQ(ini.readInteger("conf", "Interval", 0), 30000);
    EXPECT_EQ(ini.readInteger("conf", "MaxRadkuRequest", 1), 3) << "blanks around a number are dropped as before";
    EXPECT_EQ(ini.readInteger("conf", "Bad", 5), 5);
}

TEST(IniFileBom, IsReadThroughAndWrittenBack)
{
    const std::string bom = "\xEF\xBB\xBF";
    IniFile ini(bom + "[conf]\r\nHlidatZdaTrovanJede=1\r\n");
    EXPECT_TRUE(ini.readBool("conf", "HlidatZdaTrovanJede", false));
    ini.writeString("conf", "HlidatZdaTrovanJede", "0");
    ini.writeString("conf", "Interval", "1000");
    EXPECT_EQ(ini.text(), bom + "[conf]\r\nHlidatZdaTrovanJede=0\r\nInterval=1000\r\n");
    EXPECT_EQ(IniFile("[conf]\r\n").text(), "[conf]\r\n") << "no mark is added";
    EXPECT_FALSE(IniFile("x" + bom + "[conf]\r\nA=1\r\n").readString("conf", "A")) << "only a leading mark";
}

}  // namespace
}  // namespace ovin

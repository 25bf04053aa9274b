#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/DohledSettings.h"

namespace ovin {
namespace {

struct SectionCase {
    const char* what;
    std::string ini;
    DohledSettings expected;
    std::vector<std::string> complaints;
};

void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.what; }

DohledSettings with(void (*change)(DohledSettings&))
{
    DohledSettings s;
    change(s);
    return s;
}

class Section : public ::testing::TestWithParam<SectionCase> {};

TEST_P(Section, IsReadWithAClearLineForEachValueItCannotUse)
{
    const SectionCase& c = GetParam();
    std::vector<std::string> complaints;
    EXPECT_EQ(DohledSettings::Read(c.ini, complaints), c.expected);
    EXPECT_EQ(complaints, c.complaints);
}

INSTANTIATE_TEST_SUITE_P(
    DohledSettings, Section,
    ::testing::Values(
        SectionCase{"no file or no section: everything off", "[conf]\r\nMazatRequest=1\r\n", {}, {}},
        SectionCase{"every key", "[Dohled]\r\nMetriky=C:\\Metriky\r\nSystemovyLog=1\r\nUtlum=1\r\nUtlumPokusu=5\r\n"
                                 "UtlumMaxSekund=120\r\nZdravySekund=30\r\nPrikaz=C:\\Skripty\\upozorni.cmd\r\n"
                                 "Webhook=https://hooks.example.net/T0000/B0000\r\nUpozorneniMinut=0\r\n",
                    {"C:\\Metriky", true, true, 5, 120, 30, "C:\\Skripty\\upozorni.cmd",
                     "https://hooks.example.net/T0000/B0000", 0},
                    {}},
        SectionCase{"a flag that is not 0 or 1 stays off",
                    "[dohled]\nSystemovyLog=ano\nUtlum=2\n",
                    {},
                    {"Neplatne nastaveni [dohled] SystemovyLog=ano (0 nebo 1) - plati 0",
                     "Neplatne nastaveni [dohled] Utlum=2 (0 nebo 1) - plati 0"}},
        SectionCase{"numbers out of range or not numbers keep their defaults",
                    "[dohled]\nUtlumPokusu=0\nUtlumMaxSekund=9\nZdravySekund=-5\nUpozorneniMinut=1e3\n",
                    {},
                    {"Neplatne nastaveni [dohled] UtlumPokusu=0 (cislo 1 az 1000) - plati 3",
                     "Neplatne nastaveni [dohled] UtlumMaxSekund=9 (cislo 10 az 86400) - plati 600",
                     "Neplatne nastaveni [dohled] ZdravySekund=-5 (cislo 1 az 86400) - plati 60",
                     "Neplatne nastaveni [dohled] UpozorneniMinut=1e3 (cislo 0 az 1440) - plati 10"}},
        SectionCase{"the range's ends hold", "[dohled]\nUtlumPokusu=1000\nUtlumMaxSekund=10\nUpozorneniMinut=1440\n",
                    with([](DohledSettings& s) {
                        s.UtlumPokusu = 1000;
                        s.UtlumMaxSekund = 10;
                        s.UpozorneniMinut = 1440;
                    }),
                    {}},
        SectionCase{"a number too long for 32 bits is no number", "[dohled]\nZdravySekund=99999999999\n", {},
                    {"Neplatne nastaveni [dohled] ZdravySekund=99999999999 (cislo 1 az 86400) - plati 60"}},
        SectionCase{"empty values are as good as missing", "[dohled]\nMetriky=\nSystemovyLog=\nUtlumPokusu=\n", {},
                    {}},
        SectionCase{"keys of [conf] are not read here", "[conf]\nUtlum=1\n[dohled]\nZdravySekund=90\n",
                    with([](DohledSettings& s) { s.ZdravySekund = 90; }), {}}));

}  // namespace
}  // namespace ovin

#include <gtest/gtest.h>

#include "watchdog/LineTally.h"
#include "watchdog/ProcessOps.h"

namespace ovin {
namespace {

// The streamed count must agree with splitting the whole text, wherever the
// pieces are cut (a CR LF split between two pieces is one break).
TEST(LineTally, AgreesWithSplittingTheWholeTextForEveryPieceSize)
{
    const char* texts[] = {"",       "a",          "\r",      "\n",       "\r\n",       "\n\r",
                           "a\r\nb", "a\r\nb\r\n", "a\rb\nc", "\r\r\n\n", "x\r\n\r\ny", "\r\n\r\n\r"};
    for (const std::string text : texts) {
        std::size_t crLf = 0;
        for (const std::string& line : SplitLines(text))
            crLf += line.size() + 2;
        for (std::size_t piece = 1; piece <= text.size() + 1; ++piece) {
            LineTally tally;
            for (std::size_t at = 0; at < text.size(); at += piece)
                tally.add(std::string_view(text).substr(at, piece));
            EXPECT_EQ(tally.lines(), static_cast<std::int64_t>(SplitLines(text).size()))
                << testing::PrintToString(text) << " in pieces of " << piece;
            EXPECT_EQ(tally.crLfBytes(), crLf) << testing::PrintToString(text) << " in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace ovin

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/TextLines.h"

namespace ovin {
namespace {

// Lines as "text|break" pairs.
std::vector<std::string> wholeLines(std::string_view text)
{
    std::vector<std::string> out;
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        std::string b;
        for (const char c : lineBreak)
            b += c == '\r' ? "CR" : "LF";
        out.push_back(std::string(line) + "|" + b);
    });
    return out;
}

// The same text fed in two pieces split at `cut`: the lines (text only) the splitter reports.
std::vector<std::string> piecedLines(std::string_view text, std::size_t cut)
{
    std::vector<std::string> out;
    std::string line;
    bool open = false;
    LineSplitter splitter;
    for (const std::string_view piece : {text.substr(0, cut), text.substr(cut)}) {
        splitter.feed(
            piece,
            [&](std::string_view run) {
                line += run;
                open = true;
                return true;
            },
            [&] {
                out.push_back(line);
                line.clear();
                open = false;
                return true;
            });
    }
    if (open)
        out.push_back(line);
    return out;
}

TEST(TextLines, OneRuleForWholeTextsAndPieces)
{
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a|"}},
        {"a\r\nb", {"a|CRLF", "b|"}},
        {"a\nb\r", {"a|LF", "b|CR"}},
        {"\r\n\r\n", {"|CRLF", "|CRLF"}},
        {"a\n\rb", {"a|LF", "|CR", "b|"}},  // LF CR is two breaks
        {"a\r\rb", {"a|CR", "|CR", "b|"}},
        {"x\r\n", {"x|CRLF"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(wholeLines(c.text), c.lines);
        std::vector<std::string> texts;
        for (const std::string& l : c.lines)
            texts.push_back(l.substr(0, l.find('|')));
        // A CR LF split between two pieces is still one break, wherever the cut falls.
        for (std::size_t cut = 0; cut <= std::string_view(c.text).size(); ++cut)
            EXPECT_EQ(piecedLines(c.text, cut), texts) << "cut at " << cut;
    }
}

TEST(TextLines, TheSplitterStopsWhenTold)
{
    LineSplitter splitter;
    int breaks = 0;
    EXPECT_FALSE(splitter.feed(
        "a\nb\nc\n", [](std::string_view) { return true; }, [&] { return ++breaks < 2; }));
    EXPECT_EQ(breaks, 2);
}

}  // namespace
}  // namespace ovin

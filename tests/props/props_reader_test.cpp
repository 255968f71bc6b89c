#include "props/props_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Statements(const std::string& text) {
    std::vector<std::string> out;
    int position = 0;
    const int length = static_cast<int>(text.size());
    while (position < length) {
        const String statement = ReadStatement(text.data(), length, position);
        out.emplace_back(statement.CStr(), static_cast<std::size_t>(statement.Length()));
    }
    return out;
}

using List = std::vector<std::string>;

}  // namespace

TEST(PropsReaderTest, StatementsEndAtSemicolonsOutsideQuotes) {
    const struct {
        std::string text;
        List expected;
    } cases[] = {
        {"A = 1; B = 2;", {"A = 1", " B = 2"}},
        {"A = 1", {"A = 1"}},
        {"A = 1;;B = 2", {"A = 1", "", "B = 2"}},
        {"A = \"x;y\"; B", {"A = \"x;y\"", " B"}},
        {"A = 'x;y'; B", {"A = 'x;y'", " B"}},
        {"A = \"it's;\"; B", {"A = \"it's;\"", " B"}},      // a single quote inside double quotes
        {"A = 'say \"hi;'; B", {"A = 'say \"hi;'", " B"}},  // and the other way round
        {"A = \"a\\\";b\"; C", {"A = \"a\\\";b\"", " C"}},  // an escaped quote does not close
        {"A = \\\"; B", {"A = \\\"", " B"}},                // nor open
    };
    for (const auto& c : cases) EXPECT_EQ(Statements(c.text), c.expected) << c.text;
}

TEST(PropsReaderTest, LineEndsAreDroppedAndCommentsSkipped) {
    const struct {
        std::string text;
        List expected;
    } cases[] = {
        {"A = array(\r\n  1,\r\n  2\r\n);", {"A = array(  1,  2)"}},
        {"// comment\nA = 1;", {"A = 1"}},
        {"A = 1; // comment; not a statement\r\n\r\nB = 2;", {"A = 1", " B = 2"}},
        {"A = 1 //; comment\n;", {"A = 1 "}},
        {"A = 1\t\n\tB", {"A = 1\t\tB"}},
        {"A = \"x//y\";\nB = 2;", {"A = \"xB = 2;"}},  // the comment eats the closing quote
        {"A = 'a//b';\n'", {"A = 'a'"}},
        {"A = 1/2;", {"A = 1/2"}},
        {"A = 1;///x\n//y\nB", {"A = 1", "B"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Statements(c.text), c.expected) << c.text;
}

TEST(PropsReaderTest, PositionMovesPastWhatWasRead) {
    const std::string text = "A=1;\n\n";
    int position = 0;
    EXPECT_STREQ(ReadStatement(text.data(), 6, position).CStr(), "A=1");
    EXPECT_EQ(position, 4);
    EXPECT_TRUE(ReadStatement(text.data(), 6, position).IsEmpty()) << "a file ending in line breaks";
    EXPECT_EQ(position, 6);
    EXPECT_TRUE(ReadStatement(text.data(), 6, position).IsEmpty());
}

#include "app/command_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Case {
    const char* line;
    LaunchMode mode;
    std::int32_t host;
};

TEST(CommandLineTest, SwitchSelectsModeAndHostWindow) {
    const Case cases[] = {
        // No switch: the settings dialog without an owner.
        {"", LaunchMode::Configure, 0},
        {"saver.scr", LaunchMode::Configure, 0},
        {"\"C:\\Program Files\\Frost\\saver.scr\"", LaunchMode::Configure, 0},
        // Switches inside a quoted program path are skipped with the name.
        {"\"C:\\my /p 5\\saver.scr\"", LaunchMode::Configure, 0},
        {"\"C:\\x -p 9\\saver.scr\" /s", LaunchMode::Saver, 0},
        {"\"/opt/a /p 5/saver\" /p 77", LaunchMode::Preview, 77},
        // A switch right after the closing quote is kept (skipping one character past the
        // quote would swallow its "/" and give Configure).
        {"\"frostvale.scr\"/p 99", LaunchMode::Preview, 99},
        {"\"frostvale.scr\"-s", LaunchMode::Saver, 0},
        // An unclosed quote swallows the whole line.
        {"\"C:\\x /p 5", LaunchMode::Configure, 0},
        // Saver: s, any other letter, a lone switch character at the end.
        {"saver.scr /s", LaunchMode::Saver, 0},
        {"saver.scr -S", LaunchMode::Saver, 0},
        {"saver.scr /x", LaunchMode::Saver, 0},
        {"saver.scr /", LaunchMode::Saver, 0},
        {"saver.scr -", LaunchMode::Saver, 0},
        {"saver.scr /s 123", LaunchMode::Saver, 0},
        // Test ignores the rest of the line.
        {"saver.scr /t 55", LaunchMode::Test, 0},
        {"saver.scr -T", LaunchMode::Test, 0},
        // Preview, with or without a separator before the number, or no number at all.
        {"saver.scr /p", LaunchMode::Preview, 0},
        {"saver.scr /p 1234", LaunchMode::Preview, 1234},
        {"saver.scr /p:1234", LaunchMode::Preview, 1234},
        {"saver.scr /p1234", LaunchMode::Preview, 1234},
        {"saver.scr -P 42", LaunchMode::Preview, 42},
        {"saver.scr /p abc", LaunchMode::Preview, 0},
        // Configure with an owner; leading zeros.
        {"saver.scr /c:0012", LaunchMode::Configure, 12},
        {"saver.scr /C", LaunchMode::Configure, 0},
        {"saver.scr /a 77", LaunchMode::Password, 77},
        // The number is the digits only and never overflows.
        {"saver.scr /p -5", LaunchMode::Preview, 5},
        {"saver.scr /p 2147483647", LaunchMode::Preview, INT_MAX},
        {"saver.scr /p 2147483648", LaunchMode::Preview, INT_MAX},
        {"saver.scr /p 99999999999999999999999999", LaunchMode::Preview, INT_MAX},
        {"saver.scr /p 12x34", LaunchMode::Preview, 12},
        // The first switch character wins, even a minus inside a word.
        {"saver.scr run-p 8", LaunchMode::Preview, 8},
        {"saver.scr  /p 3", LaunchMode::Preview, 3},
    };
    for (const Case& c : cases) {
        std::int32_t host = -1;
        EXPECT_EQ(ParseCommandLine(c.line, host), c.mode) << c.line;
        EXPECT_EQ(host, c.host) << c.line;
    }
}

TEST(CommandLineTest, ArgumentsJoinIntoTheLineTheParserReads) {
    struct JoinCase {
        std::vector<std::string> args;
        const char* line;
        LaunchMode mode;
        std::int32_t host;
    };
    const JoinCase cases[] = {
        {{"/usr/bin/frostvale"}, "/usr/bin/frostvale", LaunchMode::Configure, 0},
        {{"/usr/bin/frostvale", "/p", "12"}, "/usr/bin/frostvale /p 12", LaunchMode::Preview, 12},
        {{"/opt/my saver/frostvale", "-s"}, "\"/opt/my saver/frostvale\" -s", LaunchMode::Saver, 0},
        {{"/opt/a /p 5/frostvale"}, "\"/opt/a /p 5/frostvale\"", LaunchMode::Configure, 0},
        {{"frostvale", "/c:7"}, "frostvale /c:7", LaunchMode::Configure, 7},
        {{}, "", LaunchMode::Configure, 0},
    };
    for (const JoinCase& c : cases) {
        const std::string line = JoinCommandLine(c.args);
        EXPECT_EQ(line, c.line);
        std::int32_t host = -1;
        EXPECT_EQ(ParseCommandLine(line, host), c.mode) << line;
        EXPECT_EQ(host, c.host) << line;
    }
}

TEST(CommandLineTest, ModesKeepTheirNumbers) {
    EXPECT_EQ(static_cast<int>(LaunchMode::Saver), 0);
    EXPECT_EQ(static_cast<int>(LaunchMode::Preview), 1);
    EXPECT_EQ(static_cast<int>(LaunchMode::Test), 2);
    EXPECT_EQ(static_cast<int>(LaunchMode::Configure), 3);
    EXPECT_EQ(static_cast<int>(LaunchMode::Password), 4);
    EXPECT_STREQ(LaunchModeName(LaunchMode::Preview), "Preview");
}

}  // namespace

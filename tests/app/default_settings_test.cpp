#include "app/default_settings.h"
#include "tests/app/message_box_capture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const char kBadLine[] = "неправильный формат файла def_settings.txt";
const char kMissingKey[] = "Не найден параметр в файле def_settings.txt";

DefaultSettings ParseText(const std::string& text) {
    DefaultSettings defaults;
    defaults.Parse(text.data(), text.size());
    return defaults;
}

TEST(DefaultSettingsTest, LinesLoseBlanksControlsAndComments) {
    struct Case {
        std::string text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"MusicVolume = 75;", "MusicVolume", "75"},
        {"musicvolume=75", "musicvolume", "75"},
        {"WindVel = 1; wind speed", "WindVel", "1"},
        {"\tM W\t=\x01 8 0 0\r", "MW", "800"},
        {std::string("M\0W=8\0", 7) + "00", "MW", "800"},
        {"Url = http://a/b;c", "Url", "http://a/b"},
        {"A=b=c", "A", "b=c"},
        {"=5", "", "5"},
        {"Name=\xe4\xf6", "Name", "\xe4\xf6"},  // bytes above 127 are not blanks
        {"Empty=", "Empty", ""},
    };
    for (const Case& c : cases) {
        MessageBoxCapture capture;
        const DefaultSettings defaults = ParseText(c.text);
        ASSERT_EQ(defaults.Count(), 1) << c.text;
        EXPECT_STREQ(defaults.KeyAt(0).CStr(), c.key) << c.text;
        EXPECT_STREQ(defaults.ValueAt(0).CStr(), c.value) << c.text;
        EXPECT_TRUE(capture.boxes().empty()) << c.text;
    }
    // Lines holding only blanks or a comment are skipped; the last line needs no "\n".
    MessageBoxCapture capture;
    const DefaultSettings defaults = ParseText("; comment\n\n   \r\n  ;x=1\nA=1\r\nB=2");
    ASSERT_EQ(defaults.Count(), 2);
    EXPECT_STREQ(defaults.KeyAt(1).CStr(), "B");
    EXPECT_STREQ(defaults.ValueAt(1).CStr(), "2");
    EXPECT_TRUE(capture.boxes().empty());
}

TEST(DefaultSettingsTest, LineWithoutEqualsShowsMessageAndIsKeptWhole) {
    MessageBoxCapture capture;
    const DefaultSettings defaults = ParseText("A=1\nno pair here ; comment\nB=2\n");
    ASSERT_EQ(defaults.Count(), 3);
    EXPECT_STREQ(defaults.KeyAt(1).CStr(), "nopairhere");
    EXPECT_STREQ(defaults.ValueAt(1).CStr(), "nopairhere");
    ASSERT_EQ(capture.boxes().size(), 1u);
    EXPECT_EQ(capture.boxes()[0].text, kBadLine);
    EXPECT_EQ(capture.boxes()[0].caption, "");
    EXPECT_EQ(capture.boxes()[0].type, MB_OK);
    EXPECT_EQ(defaults.Number("NoPairHere"), 0);
}

TEST(DefaultSettingsTest, AtMostHundredPairsAreRead) {
    std::string text;
    for (int i = 0; i < 100; ++i) text.append("K").append(std::to_string(i)).append("=").append(std::to_string(i)).append("\n");
    text += "broken line\nK100=100\n";
    MessageBoxCapture capture;
    const DefaultSettings defaults = ParseText(text);
    EXPECT_EQ(defaults.Count(), DefaultSettings::kMaxPairs);
    EXPECT_EQ(defaults.Number("K99"), 99);
    EXPECT_TRUE(capture.boxes().empty());  // the broken line lies beyond the 100th pair
    EXPECT_EQ(defaults.Number("K100"), 0);
    ASSERT_EQ(capture.boxes().size(), 1u);
    EXPECT_EQ(capture.boxes()[0].text, kMissingKey);
    EXPECT_EQ(capture.boxes()[0].caption, "k100");
}

TEST(DefaultSettingsTest, LookupIgnoresCaseAndTakesTheFirstMatch) {
    MessageBoxCapture capture;
    const DefaultSettings defaults = ParseText("ShowFPS=true\nshowfps=false\nGammControl=150\n");
    struct Case {
        const char* key;
        std::int32_t number;
    };
    for (const Case& c : {Case{"ShowFPS", 1}, Case{"SHOWFPS", 1}, Case{"showfps", 1}, Case{"gammcontrol", 150}}) {
        EXPECT_EQ(defaults.Number(c.key), c.number) << c.key;
    }
    EXPECT_TRUE(capture.boxes().empty());
    EXPECT_STREQ(defaults.Value("Missing_KEY").CStr(), "");
    ASSERT_EQ(capture.boxes().size(), 1u);
    EXPECT_EQ(capture.boxes()[0].caption, "missing_key");
    EXPECT_EQ(capture.boxes()[0].text, kMissingKey);
}

TEST(DefaultSettingsTest, ValuesConvertLikeTheTextSays) {
    struct Case {
        const char* value;
        std::int32_t number;
    };
    const Case cases[] = {
        {"true", 1},     {"false", 0},  {"True", 0},  {"75", 75},          {"-7", -7},
        {"12abc", 12},   {"abc", 0},    {"", 0},      {"+3", 3},           {"0012", 12},
        {"1.9", 1},      {"1e3", 1},    {"99999999999", INT_MAX},          {"-99999999999", INT_MIN},
        {"1099511627776", INT_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(DefaultSettings::ToNumber(c.value), c.number) << c.value;
}

}  // namespace

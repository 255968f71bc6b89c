#include "core/byte_string.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(StringTest, SubstringBounds) {
    const String abc("abc");
    struct Case { int first, last; const char* expected; };
    const Case cases[] = {
        {2, -1, "c"}, {3, -1, ""}, {-5, 0, "a"}, {0, 99, "abc"}, {1, 1, "b"}, {2, 1, ""}, {-5, -3, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(abc.Substring(c.first, c.last).CStr(), c.expected) << c.first << "," << c.last;
    EXPECT_TRUE(String().Substring(0, -1).IsEmpty());
}

TEST(StringTest, FindForwardsAndBackwards) {
    const String text("a=b=c");
    EXPECT_EQ(text.Find("="), 1);
    EXPECT_EQ(text.Find("=", true), 3);
    EXPECT_EQ(text.Find("x"), -1);
    EXPECT_EQ(text.Find("b=c"), 2);
    EXPECT_EQ(text.Find("a=b=c=", true), -1);
    EXPECT_EQ(text.Find(""), -1);
}

TEST(StringTest, ToDoubleAcceptsOnlyWholeNumbers) {
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {"12", true, 12.0},    {"12px", false, 12.0}, {"", true, 0.0},       {"  -1.5e2", true, -150.0},
        {"+.5", true, 0.5},    {"1e", false, 1.0},    {"0x10", true, 16.0},  {"abc", false, 0.0},
        {"0.5 ", false, 0.5},  {"1e-400", true, 0.0}, {"-", false, 0.0},
    };
    for (const Case& c : cases) {
        double value = -99;
        EXPECT_EQ(String(c.text).ToDouble(value), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    double huge = 0;
    EXPECT_TRUE(String("1e999").ToDouble(huge));
    EXPECT_TRUE(std::isinf(huge));
}

TEST(StringTest, ToIntTruncatesTowardZeroAndClamps) {
    int value = 0;
    EXPECT_TRUE(String("-2.7").ToInt(value));
    EXPECT_EQ(value, -2);
    EXPECT_TRUE(String("2.9").ToInt(value));
    EXPECT_EQ(value, 2);
    EXPECT_TRUE(String("1e12").ToInt(value));
    EXPECT_EQ(value, 2147483647);
}

TEST(StringTest, NumbersIgnoreTheProcessLocale) {
    // A German locale reads "0,5"; the engine's texts always use a point.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    double value = 0;
    EXPECT_TRUE(String("0.5").ToDouble(value));
    EXPECT_DOUBLE_EQ(value, 0.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(StringTest, TrimRemovesSpacesAndTabsOnly) {
    EXPECT_STREQ(String(" \tab c\t ").Trim().CStr(), "ab c");
    EXPECT_TRUE(String(" \t ").Trim().IsEmpty());
    EXPECT_STREQ(String("\nx\n").Trim().CStr(), "\nx\n");
}

TEST(StringTest, Comparisons) {
    EXPECT_TRUE(String("Snow").EqualsNoCase("sNOW"));
    EXPECT_FALSE(String("Snow").Equals("snow"));
    EXPECT_TRUE(String(nullptr).Equals(""));
    EXPECT_TRUE(String().EqualsNoCase(String("")));
    EXPECT_LT(String("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(String("abcd").CompareNoCase("ABC"), 0);
}

TEST(StringTest, PathParts) {
    struct Case { const char* path; const char* file; const char* folder; const char* extension; };
    const Case cases[] = {
        {"FrostvaleMedia/Scene.props", "Scene.props", "FrostvaleMedia", "props"},
        {"a\\b/c.tar.gz", "c.tar.gz", "a\\b", "gz"},
        {"/frostvale.udf", "frostvale.udf", "", "udf"},
        {"noext", "noext", "", ""},
        {"dir.d/file", "file", "dir.d", ""},
    };
    for (const Case& c : cases) {
        const String path(c.path);
        EXPECT_STREQ(path.FileName().CStr(), c.file) << c.path;
        EXPECT_STREQ(path.Folder().CStr(), c.folder) << c.path;
        EXPECT_STREQ(path.Extension().CStr(), c.extension) << c.path;
    }
}

TEST(StringTest, ConstructionAndConcatenation) {
    EXPECT_STREQ(String::FromInt(-2147483647 - 1).CStr(), "-2147483648");
    EXPECT_STREQ(String::FromInt(255, 16).CStr(), "ff");
    EXPECT_STREQ(String::FromInt(-1, 16).CStr(), "ffffffff");
    EXPECT_STREQ(String::FromUInt16(65535).CStr(), "65535");
    EXPECT_STREQ((String("a") + "b" + String('c')).CStr(), "abc");
    EXPECT_STREQ(("x" + String("y")).CStr(), "xy");
    char* buffer = new char[3]{'h', 'i', '\0'};
    const String adopted = String::Adopt(buffer, 2);
    EXPECT_EQ(adopted.CStr(), buffer);
    String a("text");
    String& alias = a;
    a = alias;
    EXPECT_STREQ(a.CStr(), "text");
}

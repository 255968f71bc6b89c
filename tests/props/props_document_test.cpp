#include "props/props_document.h"

#include "tests/props/props_test_util.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

TEST(PropsDocumentTest, ValuesReadAsTextIntegerAndReal) {
    const struct {
        const char* value;  // the value as written after "V = "
        const char* text;
        int integer;
        double real;
    } cases[] = {
        {"12", "12", 12, 12.0},
        {"\"12px\"", "12px", 0, 12.0},
        {"-2.7", "-2.7", -2, -2.7},
        {"1e3", "1e3", 1000, 1000.0},
        {"\"\"", "", 0, 0.0},
        {"", "", 0, 0.0},
        {"\"abc\"", "abc", 0, 0.0},
        {"\" 7\"", " 7", 7, 7.0},
        {"\"0x10\"", "0x10", 16, 16.0},  // strtod's reading of a quoted hex text
        {"\"1e999\"", "1e999", 2147483647, HUGE_VAL},
        {"array(1)", "", 0, 0.0},
    };
    for (const auto& c : cases) {
        PropsDocument document;
        ParseText(document, std::string("V = ") + c.value + ";");
        const PropsNode* node = Find(document, "v");
        ASSERT_NE(node, nullptr) << c.value;
        EXPECT_STREQ(AsString(node).CStr(), c.text) << c.value;
        EXPECT_EQ(AsInt(node), c.integer) << c.value;
        EXPECT_EQ(AsDouble(node), c.real) << c.value;
    }
}

TEST(PropsDocumentTest, LookupIgnoresCaseAndMissingNodesReadAsEmpty) {
    PropsDocument document;
    ParseText(document, "Ambient = array(60, 61, 62); Styles[0].Size = 14;");
    EXPECT_EQ(Find(document, "ambient"), Find(document, "AMBIENT"));
    ASSERT_NE(Find(document, "ambient"), nullptr);
    EXPECT_STREQ(Find(document, "ambient")->Name().CStr(), "Ambient");
    const PropsNode* ambient = Find(document, "Ambient");
    EXPECT_EQ(AsInt(Get(ambient, 0)), 60);
    EXPECT_EQ(AsInt(Get(ambient, "2")), 62);
    EXPECT_EQ(Get(ambient, 3), nullptr);
    EXPECT_EQ(AsInt(Find(Find(Find(document, "STYLES"), "0"), "size")), 14);
    const PropsNode* missing = Find(Find(document, "Nothing"), "Deeper");
    EXPECT_EQ(missing, nullptr);
    EXPECT_TRUE(AsString(missing).IsEmpty());
    EXPECT_EQ(AsInt(missing), 0);
    EXPECT_EQ(AsDouble(missing), 0.0);
}

TEST(PropsDocumentTest, ChildMapsWalkInRingOrderFromTheCursor) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        // After array(...) the cursor rests on element 0.
        {"Sizes = array(1, 2, 3);", "Sizes:2#3{0:0=1,1:0=2,2:0=3}"},
        // A new entry goes in after the cursor.
        {"Sizes = array(1, 2, 3); Sizes[5] = 9;", "Sizes:2#3{5:0=9,1:0=2,2:0=3,0:0=1}"},
        // Filled statement by statement, the cursor rests on the last entry.
        {"M.a = 1; M.b = 2; M.c = 3;", "M:1{c:0=3,a:0=1,b:0=2}"},
        // A copied map keeps its ring and cursor.
        {"M.a = 1; M.b = 2; C = M;", "M:1{b:0=2,a:0=1},C:1{b:0=2,a:0=1}"},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeParse(c.text), c.expected) << c.text;

    std::string text = "Animations = array(";
    for (int i = 1; i <= 14; ++i) text += std::string(i > 1 ? ",\n" : "\n") + "\"frostvalen" + (i < 10 ? "0" : "") + std::to_string(i) + ".cam\"";
    text += "\n);";
    PropsDocument document;
    ParseText(document, text);
    PropsNode* animations = Find(document, "Animations");
    ASSERT_NE(animations, nullptr);
    std::vector<std::string> names;
    animations->Children().Walk([&](PropsNode& node) { names.emplace_back(AsString(&node).CStr()); });
    ASSERT_EQ(names.size(), 14u);
    EXPECT_EQ(names.front(), "frostvalen01.cam");
    EXPECT_EQ(names.back(), "frostvalen14.cam");
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(animations->Children().Cursor()->Name(), String("0")) << "a whole walk leaves the cursor";
}

TEST(PropsDocumentTest, NumbersDoNotDependOnTheLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.utf8") == nullptr) GTEST_SKIP() << "no locale with a decimal comma";
    PropsDocument document;
    ParseText(document, "A = 1.5; B = \"2,5\";");
    const double a = AsDouble(Find(document, "A"));
    const std::string aText = AsString(Find(document, "A")).CStr();
    const double b = AsDouble(Find(document, "B"));
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(aText, "1.5") << "1.5 is a number, not a reference";
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 2.0) << "a comma is not a decimal point";
}

TEST(PropsDocumentTest, TreesStayWithinTheDepthAndNodeLimits) {
    const auto maxDepth = [](PropsMap& map) {
        int deepest = 0;
        std::function<void(PropsMap&)> visit = [&](PropsMap& m) {
            m.Walk([&](PropsNode& node) {
                deepest = std::max(deepest, node.Depth());
                visit(node.Children());
            });
        };
        visit(map);
        return deepest;
    };
    {
        std::string path = "A";
        for (int i = 0; i < 300; ++i) path += ".A";
        PropsDocument document;
        ParseText(document, path + " = 1; B = 2;");
        EXPECT_EQ(maxDepth(document.TopLevel()), kMaxPropsDepth);
        EXPECT_EQ(AsInt(Find(document, "B")), 2);
    }
    {
        std::string nested = "1";
        for (int i = 0; i < 1000; ++i) nested = "array(" + nested + ")";
        PropsDocument document;
        ParseText(document, "N = " + nested + ";");
        EXPECT_LE(maxDepth(document.TopLevel()), kMaxPropsDepth);
    }
    {
        // Each statement doubles the tree.
        std::string text = "T = array(1, 2);";
        for (int i = 0; i < 40; ++i) text += " T.x" + std::to_string(i) + " = T;";
        PropsDocument document;
        ParseText(document, text);
        EXPECT_LE(document.NodesMade(), kMaxPropsNodes);
        EXPECT_GE(document.NodesMade(), kMaxPropsNodes / 2);
    }
}

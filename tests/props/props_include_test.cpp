#include "props/props_parser.h"

#include "tests/props/props_test_util.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace {

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + "props_include_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Parses text with includes served from memory; records the names asked for.
struct MemoryFiles {
    std::map<std::string, std::string> files;
    std::vector<std::string> asked;

    bool Parse(PropsDocument& document, const std::string& text) {
        const PropsFileReader reader = [this](const String& name, std::vector<std::uint8_t>& bytes) {
            asked.emplace_back(name.CStr());
            auto it = files.find(name.CStr());
            if (it == files.end()) return false;
            bytes.assign(it->second.begin(), it->second.end());
            return true;
        };
        return ParseProps(document, text.data(), static_cast<int>(text.size()), reader);
    }
};

}  // namespace

TEST(PropsIncludeTest, IncludedFilesJoinTheDocumentWithAScopeOfTheirOwn) {
    const std::string inner = WriteFile("inner.props", "Inner = 1; 7; using Other; x = 2;");
    PropsDocument document;
    const std::string text = "using S; include( \"" + inner + "\" ); 5; Outer = 3;";
    EXPECT_TRUE(ParseText(document, text));
    EXPECT_EQ(DescribeTopLevel(document), "S:1#1{Outer:0=3,0:0=5},Inner:0=1,Other:1{x:0=2}");
}

TEST(PropsIncludeTest, TheNameGoesToTheReaderUnchanged) {
    const struct {
        std::string statement;
        std::vector<std::string> asked;
        bool ok;
    } cases[] = {
        {"include(\"/Scene.props\")", {"/Scene.props"}, true},
        {"include( \"  spaced name \" )", {"  spaced name "}, false},
        {"include(\"a\\\\b\")", {"a\\\\b"}, false},  // no escapes are processed
        {"include(/Scene.props)", {}, false},         // not quoted
        {"include(\"/Scene.props\"", {}, false},      // no ")"
        {"include \"/Scene.props\"", {}, false},
        {"include(\"\")", {""}, false},
    };
    for (const auto& c : cases) {
        MemoryFiles memory;
        memory.files["/Scene.props"] = "A = 1;";
        PropsDocument document;
        EXPECT_EQ(memory.Parse(document, c.statement + "; B = 2;"), c.ok) << c.statement;
        EXPECT_EQ(memory.asked, c.asked) << c.statement;
        EXPECT_EQ(DescribeTopLevel(document), c.ok ? "A:0=1,B:0=2" : "B:0=2") << c.statement;
    }
}

TEST(PropsIncludeTest, AnIncludeChainThatComesBackFailsPastSixteenFiles) {
    // Every level adds one bare value to Levels before including itself again.
    MemoryFiles memory;
    memory.files["self"] = "using Levels; x; using; include(\"self\"); Done = 1;";
    PropsDocument document;
    EXPECT_FALSE(memory.Parse(document, "include(\"self\");"));
    // Sixteen files deep the next include fails without reading.
    EXPECT_EQ(memory.asked.size(), static_cast<std::size_t>(kMaxPropsIncludeDepth));
    PropsNode* levels = Find(document, "Levels");
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(levels->Children().Count(), kMaxPropsIncludeDepth);
    EXPECT_EQ(AsInt(Find(document, "Done")), 1) << "the statements after the failed include still run";

    // Two files that include each other stop the same way.
    MemoryFiles pair;
    pair.files["a"] = "include(\"b\");";
    pair.files["b"] = "include(\"a\");";
    PropsDocument other;
    EXPECT_FALSE(pair.Parse(other, "include(\"a\");"));
    EXPECT_EQ(pair.asked.size(), static_cast<std::size_t>(kMaxPropsIncludeDepth));
}

TEST(PropsIncludeTest, OneParseReadsABoundedNumberOfFiles) {
    // Including itself twice would read 2^16 files.
    MemoryFiles memory;
    memory.files["twice"] = "include(\"twice\"); include(\"twice\");";
    PropsDocument document;
    EXPECT_FALSE(memory.Parse(document, "include(\"twice\"); A = 1;"));
    EXPECT_EQ(memory.asked.size(), static_cast<std::size_t>(kMaxPropsIncludes));
    EXPECT_EQ(AsInt(Find(document, "A")), 1);
}

TEST(PropsIncludeTest, DiskIncludesGoThroughReadFile) {
    PropsDocument document;
    EXPECT_FALSE(ParseText(document, "include(\"/no/such/file.props\"); A = 1;"));
    EXPECT_EQ(DescribeTopLevel(document), "A:0=1");
}

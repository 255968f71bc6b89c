// fvtool udf dump, run as a program on files made by the writer.

#include "scene/udf_element.h"
#include "tests/scene/udf_test_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

using namespace udftest;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun Fvtool(const std::string& args, const std::string& tag) {
    const std::string base = std::string(FV_BINARY_DIR) + "/udf_dump_test_" + tag;
    const std::string command =
        std::string(FV_BINARY_DIR) + "/tools/fvtool " + args + " >" + base + ".out 2>" + base + ".err";
    ToolRun run;
    run.status = std::system(command.c_str());
    std::stringstream out, err;
    out << std::ifstream(base + ".out").rdbuf();
    err << std::ifstream(base + ".err").rdbuf();
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string WriteFile(const std::vector<std::uint8_t>& bytes, const std::string& tag) {
    const std::string path = std::string(FV_BINARY_DIR) + "/udf_dump_test_" + tag + ".udf";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
    return path;
}

bool HaveFvtool() { return std::ifstream(std::string(FV_BINARY_DIR) + "/tools/fvtool").good(); }

}  // namespace

// The dump lists the tree as the reader sees it: fields, links, children of containers,
// the head of leaves; shared and looping elements print their children once.
TEST(UdfDump, TreeAsTheReaderSeesIt) {
    if (!HaveFvtool()) GTEST_SKIP() << "fvtool is not built";
    const ToolRun run = Fvtool("udf dump " + WriteFile(SmallScene(), "scene"), "scene");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json dump = nlohmann::json::parse(run.out);
    EXPECT_EQ(dump["types"], nlohmann::json::array());
    const nlohmann::json& root = dump["root"];
    EXPECT_EQ(root["name"], "_root");
    EXPECT_EQ(root["type"], "_roottype");
    EXPECT_EQ(root["flags"], 4);
    EXPECT_EQ(root["offset"], 30);
    EXPECT_EQ(root["link"], false);
    ASSERT_EQ(root["children"].size(), 3u);
    EXPECT_EQ(root["children"][0]["name"], "Children");
    EXPECT_EQ(root["children"][1]["type"], "Material");
    const nlohmann::json& house = root["children"][0]["children"][0];
    ASSERT_EQ(house["children"].size(), 5u);
    EXPECT_EQ(house["children"][0]["type"], "matrix");
    EXPECT_EQ(house["children"][0]["head"], "0000803f000000000000000000000000");
    EXPECT_FALSE(house["children"][0].contains("count"));
    EXPECT_FALSE(house["children"][0].contains("children"));
    EXPECT_EQ(house["children"][2]["link"], true);
    EXPECT_FALSE(house["children"][2].contains("children")) << "links are shown where they point, not expanded";
    EXPECT_EQ(house["children"][3]["count"], 6);
    EXPECT_EQ(house["children"][3]["flags"], 1);
    EXPECT_EQ(house["children"][3]["size"], 24);
    EXPECT_EQ(house["children"][3]["head"], "00000000010000000200000002000000");
    const nlohmann::json& wood = root["children"][1]["children"][0];
    EXPECT_EQ(wood["children"][0]["name"], "Diffuse");

    UdfWriter loop;
    UdfWriter::Node* a = loop.Root()->AddContainer("A", "Node");
    a->AddReference("Self", a, UdfElement::kContainer);
    const ToolRun looped = Fvtool("udf dump " + WriteFile(Written(loop), "loop"), "loop");
    ASSERT_EQ(looped.status, 0) << looped.err;
    const nlohmann::json self = nlohmann::json::parse(looped.out)["root"]["children"][0];
    // A link is named as the directory lists it, with the name of what it points to.
    EXPECT_EQ(self["children"][0]["name"], "Self");
    EXPECT_EQ(self["children"][0]["target"], "A");
    EXPECT_FALSE(self["children"][0].contains("children"));
    EXPECT_FALSE(self.contains("target"));
}

// A file that is not "UDF Binary 1.0", or cannot be read, is one error line and a
// non-zero exit.
TEST(UdfDump, ErrorsAreOneLine) {
    if (!HaveFvtool()) GTEST_SKIP() << "fvtool is not built";
    std::vector<std::uint8_t> wrong = CameraPath();
    wrong[4 + 4 + 13] = '1';
    struct Case {
        std::string args;
    };
    const Case cases[] = {{"udf dump " + WriteFile(wrong, "wrong")},
                          {"udf dump " + std::string(FV_BINARY_DIR) + "/no-such-file.udf"},
                          {"udf dump"},
                          {"udf list x"}};
    int n = 0;
    for (const Case& c : cases) {
        const ToolRun run = Fvtool(c.args, "error" + std::to_string(n++));
        EXPECT_NE(run.status, 0) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << c.args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.args;
    }
}

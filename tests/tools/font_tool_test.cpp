// fvtool font and fvtool label layout, run as programs on the shipped clock font.

#include "tests/tools/mediagen_formats.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out;
};

ToolRun Fvtool(const std::string& args) {
    const std::string command = "'" + (fs::path(FV_BINARY_DIR) / "tools" / "fvtool").string() + "' " + args + " 2>&1";
    ToolRun run{0, ""};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    run.status = pclose(pipe);
    return run;
}

std::string ClockFont() { return "'" + mediagen_test::MediaDir() + "/ferrow.fs'"; }

}  // namespace

TEST(FontToolTest, FontListsStylesCharsetsWidthsAndRectangles) {
    const ToolRun run = Fvtool("font " + ClockFont());
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_TRUE(json["ok"]);
    ASSERT_EQ(json["styles"].size(), 1u);
    EXPECT_EQ(json["styles"][0]["size"], 64);
    EXPECT_EQ(json["styles"][0]["bold"], false);
    const auto& cs = json["styles"][0]["charsets"][0];
    EXPECT_EQ(cs["colorKey"], 0xFFFF00FF);
    EXPECT_EQ(cs["start"], 32);
    const std::size_t codes = std::size_t(cs["end"].get<int>() - 32 + 1);
    EXPECT_EQ(cs["widths"].size(), codes);
    EXPECT_EQ(cs["rects"].size(), codes);
    EXPECT_GT(cs["widths"]['0' - 32], 0);
    EXPECT_EQ(cs["textureWidth"], 512);
    ASSERT_EQ(json["styles"][0]["charsets"].size(), 2u);
    EXPECT_EQ(json["styles"][0]["charsets"][1]["start"], 'a');

    const ToolRun missing = Fvtool("font /nowhere/x.fs");
    EXPECT_EQ(missing.status, 0);
    EXPECT_FALSE(nlohmann::json::parse(missing.out)["ok"]);
}

TEST(FontToolTest, LabelLayoutGivesBoxesTrianglesAndVertices) {
    const ToolRun run = Fvtool("label layout --font " + ClockFont() +
                               " --size 64 --text '1:07 pm' --rect 527,543,273,57 --scale 0.78125 --depth 0.25");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    const auto& boxes = json["boxes"];
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0]["char"], '1');
    EXPECT_EQ(boxes[0]["box"][0], 527);
    EXPECT_EQ(boxes[0]["box"][3].get<int>() - boxes[0]["box"][1].get<int>(), 50);  // trunc(64 x 0.78125)
    ASSERT_EQ(json["triangles"].size(), 1u);
    EXPECT_EQ(json["triangles"].begin().value(), 14);
    ASSERT_EQ(json["vertices"].size(), 42u);
    EXPECT_FLOAT_EQ(json["vertices"][0][0].get<float>(), 526.5f);
    EXPECT_FLOAT_EQ(json["vertices"][0][2].get<float>(), 0.25f);
    // The clock's height is cut by its 57-pixel rectangle only below the glyphs.
    EXPECT_FLOAT_EQ(json["vertices"][2][1].get<float>(), 592.5f);

    for (const char* bad : {"label layout --font x.fs", "label layout --font x.fs --size 64 --text a --rect 1,2,3",
                            "label draw"}) {
        const ToolRun failed = Fvtool(bad);
        EXPECT_NE(failed.status, 0) << bad;
        EXPECT_EQ(failed.out.rfind("Error: ", 0), 0u) << bad;
    }
}

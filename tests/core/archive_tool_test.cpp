// fvtool rar list / cat / pack, run as a program.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out, err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ArchiveToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        tool_ = fs::path(FV_BINARY_DIR) / "tools" / "fvtool";
        if (!fs::exists(tool_)) GTEST_SKIP() << "fvtool is not built";
        root_ = fs::temp_directory_path() /
                ("frostvale_archive_tool_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "_" + std::to_string(std::random_device()()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "FrostvaleMedia" / "skipped-folder");
    }
    void TearDown() override { fs::remove_all(root_); }

    ToolRun Fvtool(const std::string& args) {
        // Appended piece by piece: g++ 12 takes "'" + ... for an overlapping copy (-Wrestrict).
        std::string command = "'";
        command.append(tool_.string()).append("' ").append(args).append(" >'").append((root_ / "out").string());
        command.append("' 2>'").append((root_ / "err").string()).append("'");
        const int status = std::system(command.c_str());
        return {status, Slurp(root_ / "out"), Slurp(root_ / "err")};
    }
    std::string Path(const std::string& name) { return std::string("'").append((root_ / name).string()).append("'"); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }

    fs::path tool_, root_;
};

TEST_F(ArchiveToolTest, PackListCatRoundTrip) {
    const std::string binary("\0\x01\xff rest", 7);
    Write("FrostvaleMedia/Scene.props", "SnowBox = 500\n");
    Write("FrostvaleMedia/data.bin", binary);
    Write("FrostvaleMedia/empty", "");
    ASSERT_EQ(Fvtool("rar pack " + Path("FrostvaleMedia/") + " " + Path("media.rar")).status, 0);

    const ToolRun list = Fvtool("rar list " + Path("media.rar"));
    ASSERT_EQ(list.status, 0) << list.err;
    const auto json = nlohmann::json::parse(list.out);
    ASSERT_EQ(json.size(), 4u);
    const char* names[] = {"FrostvaleMedia", "FrostvaleMedia\\Scene.props", "FrostvaleMedia\\data.bin",
                           "FrostvaleMedia\\empty"};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(json[i]["name"], names[i]);
    EXPECT_EQ(json[0]["flags"], 0x80E0);
    EXPECT_EQ(json[2]["flags"], 0x8040);
    EXPECT_EQ(json[2]["packed"], 7);
    EXPECT_EQ(json[2]["unpacked"], 7);
    EXPECT_EQ(json[2]["crc"], crc32(0, reinterpret_cast<const Bytef*>(binary.data()), 7));
    EXPECT_EQ(json[2]["version"], 20);
    EXPECT_EQ(json[2]["method"], 0x30);

    struct Case { const char* name; std::string bytes; };
    for (const Case& c : {Case{"FrostvaleMedia/data.bin", binary}, Case{"frostvalemedia\\DATA.BIN", binary},
                          Case{"FrostvaleMedia/Scene.props", "SnowBox = 500\n"}, Case{"FrostvaleMedia/empty", ""}}) {
        const ToolRun cat = Fvtool(std::string("rar cat ") + Path("media.rar") + " '" + c.name + "'");
        EXPECT_EQ(cat.status, 0) << c.name << ": " << cat.err;
        EXPECT_EQ(cat.out, c.bytes) << c.name;
    }
}

TEST_F(ArchiveToolTest, BadInputGivesOneErrorLine) {
    Write("FrostvaleMedia/a", "a");
    ASSERT_EQ(Fvtool("rar pack " + Path("FrostvaleMedia") + " " + Path("media.rar")).status, 0);
    Write("junk.rar", "Rar!\x1a\x07");
    const std::string runs[] = {
        "rar list " + Path("junk.rar"),
        "rar list " + Path("missing.rar"),
        "rar list " + Path("FrostvaleMedia"),
        "rar cat " + Path("media.rar") + " a",
        "rar cat " + Path("junk.rar") + " FrostvaleMedia/a",
        "rar pack " + Path("missing") + " " + Path("x.rar"),
        "rar frobnicate",
    };
    for (const std::string& args : runs) {
        const ToolRun run = Fvtool(args);
        EXPECT_NE(run.status, 0) << args;
        EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << args << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << args;
    }
}

}  // namespace

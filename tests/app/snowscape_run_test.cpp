// The screensaver as a user sees it: a short headless recording through the whole start-up
// and frame, read back from the PNG frames and the statistics it writes.

#include "app/application.h"
#include "core/clock.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "platform/image/image.h"
#include "platform/win/message_queue.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class SnowscapeRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        static const std::string config = ::testing::TempDir() + "/frostvale-snowscape-run-test";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / ("frostvale_run_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        ResetMessageQueue();
    }
    void TearDown() override {
        ResetMessageQueue();
        UseMonotonicClock();
        fs::remove_all(folder_);
    }

    // Records frames at 320 x 180 and 10 frames per second of the virtual clock.
    nlohmann::json Record(int frames, const std::string& path = "") {
        RecordOptions record;
        record.dir = (folder_ / "frames").string();
        record.frames = frames;
        record.width = 320;
        record.height = 180;
        record.fps = 10;
        const std::string stats = (folder_ / "stats.json").string();
        FrameRecorder recorder(record, stats);
        std::string error;
        EXPECT_TRUE(recorder.Prepare(error)) << error;
        UseVirtualClock(0, 100.0);
        ShellOptions shell;
        shell.windowed = true;
        shell.windowWidth = record.width;
        shell.windowHeight = record.height;
        shell.fixedSeed = true;
        shell.seed = 11;
        shell.recorder = &recorder;
        shell.cameraPath = path;
        EXPECT_EQ(RunApplication(nullptr, LaunchMode::Test, 0, shell), 1);
        EXPECT_TRUE(recorder.Finish(error)) << error;
        std::ifstream in(stats);
        return nlohmann::json::parse(in, nullptr, false);
    }

    image::Image Frame(int index) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", index);
        std::ifstream in(folder_ / "frames" / name, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        image::Image picture;
        EXPECT_TRUE(image::DecodeImage(bytes.data(), bytes.size(), picture));
        return picture;
    }

    fs::path folder_;
};

TEST_F(SnowscapeRunTest, PathFadesInThenShowsTheSnowyVillage) {
    const nlohmann::json stats = Record(24, "frostvalen01.cam");
    ASSERT_TRUE(stats.is_object());
    EXPECT_EQ(stats["frames"], 24);
    EXPECT_LE(stats["draw_calls"]["max"].get<double>(), 64);  // the whole scene's budget
    EXPECT_GT(stats["triangles"]["median"].get<double>(), 1000);
    EXPECT_GE(stats["flakes"]["median"].get<double>(), 100);  // the first fill, then births

    // The first frame is nearly black (the fade at a path's start); a second later the
    // picture is bright and varied.
    auto brightness = [](std::uint32_t argb) { return ((argb >> 16) & 255) + ((argb >> 8) & 255) + (argb & 255); };
    const image::Image first = Frame(0), later = Frame(23);
    ASSERT_EQ(later.width, 320);
    long darkSum = 0, lightSum = 0;
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < later.pixels.size(); ++i) {
        darkSum += brightness(first.pixels[i]);
        lightSum += brightness(later.pixels[i]);
        colours.insert(later.pixels[i] & 0xF0F0F0u);
    }
    const long pixels = long(later.pixels.size());
    EXPECT_LT(darkSum / pixels, 120);
    EXPECT_GT(lightSum / pixels, 300);
    EXPECT_GT(colours.size(), 40u);  // textures, lights and snow, not a flat clear
}

// After the device is lost and reset, the village comes back: batches, textures, snow and
// the sky rebuild their device resources.
TEST_F(SnowscapeRunTest, TheSceneSurvivesALostDevice) {
    UseVirtualClock(0, 100.0);
    Application app;
    ShellOptions shell;
    shell.windowed = true;
    shell.windowWidth = 160;
    shell.windowHeight = 90;
    shell.cameraPath = "frostvalen02.cam";
    app.SetShellOptions(shell);
    ASSERT_TRUE(app.Start(nullptr, LaunchMode::Test, 0));
    IDirect3DDevice9* device = app.Session().Device();
    ASSERT_NE(device, nullptr);
    SetFrameCapture(device, true);
    auto meanBrightness = [&] {
        PresentedFrame frame;
        EXPECT_TRUE(ReadPresentedFrame(device, frame));
        long sum = 0;
        for (std::size_t i = 0; i + 3 < frame.rgba.size(); i += 4) sum += frame.rgba[i] + frame.rgba[i + 1] + frame.rgba[i + 2];
        return sum / long(frame.rgba.size() / 4);
    };
    for (int i = 0; i < 25; ++i) app.RunIteration();
    const long before = meanBrightness();
    EXPECT_GT(before, 300);
    SimulateDeviceLost(device, 2);
    for (int i = 0; i < 8; ++i) app.RunIteration();
    device = app.Session().Device();
    ASSERT_NE(device, nullptr);
    SetFrameCapture(device, true);
    app.RunIteration();
    const long after = meanBrightness();
    EXPECT_GT(after, 300);
    EXPECT_NEAR(double(after), double(before), 80.0);
    EXPECT_FALSE(app.QuitRequested());
}

}  // namespace

// The long options taken out of frostvale's arguments before the switch scan.

#include "app/launch_options.h"
#include "platform/win/layer_shell_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ApplicationOptions, LongOptionsAreTakenOutBeforeTheSwitches) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        std::string logFile;
        bool window;
        std::vector<std::string> rest;
    } cases[] = {
        {{"frostvale", "/s"}, true, "", false, {"frostvale", "/s"}},
        {{"frostvale", "--window"}, true, "", true, {"frostvale"}},
        {{"frostvale", "/p", "--log", "x.log", "12"}, true, "x.log", false, {"frostvale", "/p", "12"}},
        {{"frostvale", "--window", "/t", "--log", "--window"}, true, "--window", true, {"frostvale", "/t"}},
        {{"frostvale", "--log"}, false, "", false, {}},
        {{"frostvale", "--windowed"}, false, "", false, {}},
        {{"frostvale", "-s", "-window"}, true, "", false, {"frostvale", "-s", "-window"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.args.back();
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(options.logFile, c.logFile);
        EXPECT_EQ(options.window, c.window);
        EXPECT_EQ(args, c.rest);
    }
}

TEST(ApplicationOptions, RecordingOptionsAreCheckedWhole) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        RecordOptions expected;
    } cases[] = {
        {{"frostvale", "--record", "out"}, true, {"out", false, 300, 1280, 720, 30.0, false, 0}},
        {{"frostvale", "--bench", "--frames", "600", "--size", "640x360", "--fps", "60", "--seed", "4294967295"},
         true, {"", true, 600, 640, 360, 60.0, true, 4294967295u}},
        {{"frostvale", "--record", "o", "--fps", "29.97"}, true, {"o", false, 300, 1280, 720, 29.97, false, 0}},
        {{"frostvale", "--bench", "--empty"}, true, {"", true, 300, 1280, 720, 30.0, false, 0, true, false}},
        {{"frostvale", "--record", "o", "--overdraw"}, true, {"o", false, 300, 1280, 720, 30.0, false, 0, false, true}},
        {{"frostvale", "--frames", "10"}, false, {}},                      // needs --record or --bench
        {{"frostvale", "--overdraw"}, false, {}},
        {{"frostvale", "--record", "o", "--bench"}, false, {}},           // one or the other
        {{"frostvale", "--record", ""}, false, {}},
        {{"frostvale", "--bench", "--frames", "0"}, false, {}},
        {{"frostvale", "--bench", "--frames", "12x"}, false, {}},
        {{"frostvale", "--bench", "--frames", "99999999999999999999"}, false, {}},
        {{"frostvale", "--bench", "--size", "1280x"}, false, {}},
        {{"frostvale", "--bench", "--size", "8x8"}, false, {}},
        {{"frostvale", "--bench", "--size", "20000x720"}, false, {}},
        {{"frostvale", "--bench", "--fps", "0"}, false, {}},
        {{"frostvale", "--bench", "--fps", "nan"}, false, {}},
        {{"frostvale", "--bench", "--seed", "-1"}, false, {}},
        {{"frostvale", "--bench", "--seed", "4294967296"}, false, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.args.back() << ": " << error;
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        const RecordOptions& r = options.record;
        EXPECT_EQ(r.dir, c.expected.dir);
        EXPECT_EQ(r.bench, c.expected.bench);
        EXPECT_EQ(r.frames, c.expected.frames);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
        EXPECT_DOUBLE_EQ(r.fps, c.expected.fps);
        EXPECT_EQ(r.hasSeed, c.expected.hasSeed);
        EXPECT_EQ(r.seed, c.expected.seed);
        EXPECT_EQ(r.empty, c.expected.empty);
        EXPECT_EQ(r.overdraw, c.expected.overdraw);
        EXPECT_EQ(args, std::vector<std::string>{"frostvale"});
    }
}

TEST(ApplicationOptions, RenderScaleIsAFractionFromAQuarterToOne) {
    const struct {
        const char* text;
        bool ok;
        float scale;
    } cases[] = {{"0.5", true, 0.5f}, {"0.25", true, 0.25f}, {"1", true, 1.0f},
                 {"0.2", false, 0}, {"1.5", false, 0}, {"half", false, 0}, {"", false, 0}};
    for (const auto& c : cases) {
        std::vector<std::string> args{"frostvale", "--scale", c.text, "/s"};
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.text;
        if (c.ok) EXPECT_FLOAT_EQ(options.renderScale, c.scale);
        else EXPECT_FALSE(error.empty());
    }
}

// --scale wins over the RenderScale setting (percent, already clamped when read).
TEST(ApplicationOptions, RenderScaleOptionWinsOverTheSetting) {
    const struct {
        float commandLine;  // 0: not given
        std::int32_t settingPercent;
        float expected;
    } cases[] = {{0, 100, 1.0f}, {0, 50, 0.5f}, {0, 25, 0.25f}, {0.5f, 100, 0.5f}, {1.0f, 25, 1.0f}, {0.3f, 80, 0.3f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(ChooseRenderScale(c.commandLine, c.settingPercent), c.expected)
            << c.commandLine << " " << c.settingPercent;
}

// --layer-shell takes an output name when one follows; a switch or option is not one. The
// output named on the command line wins over the one a lock screen names.
TEST(ApplicationOptions, LayerShellTakesAnOptionalOutput) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        std::string output;
        std::vector<std::string> rest;
    } cases[] = {
        {{"frostvale", "--layer-shell"}, true, "", {"frostvale"}},
        {{"frostvale", "--layer-shell", "HEADLESS-1"}, true, "HEADLESS-1", {"frostvale"}},
        {{"frostvale", "--layer-shell", "/s"}, true, "", {"frostvale", "/s"}},
        {{"frostvale", "--layer-shell", "--log", "x"}, true, "", {"frostvale"}},
        {{"frostvale", "--layer-shell", "-s"}, true, "", {"frostvale", "-s"}},
        {{"frostvale", "--layer-shell", "DP-1", "--window"}, false, "", {}},
        {{"frostvale", "--bench", "--layer-shell"}, false, "", {}},
        {{"frostvale", "--record", "o", "--layer-shell"}, false, "", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.args.back() << ": " << error;
        if (!c.ok) continue;
        EXPECT_TRUE(options.layerShell);
        EXPECT_EQ(options.layerShellOutput, c.output);
        EXPECT_EQ(args, c.rest);
    }
    EXPECT_EQ(LayerShellOutput("DP-1", "HDMI-A-1"), "DP-1");
    EXPECT_EQ(LayerShellOutput("", "HDMI-A-1"), "HDMI-A-1");
    EXPECT_EQ(LayerShellOutput("", nullptr), "");
}

TEST(ApplicationOptions, OverlayOptions) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        bool showFps;
        int showTime, localTime;
    } cases[] = {
        {{"frostvale", "--show-fps", "--show-time", "12"}, true, true, 12, -1},
        {{"frostvale", "--window", "--show-time", "24"}, true, false, 24, -1},
        {{"frostvale", "--bench", "--local-time", "13:07:09"}, true, false, 0, 13 * 3600 + 7 * 60 + 9},
        {{"frostvale", "--record", "o", "--local-time", "00:00:00"}, true, false, 0, 0},
        {{"frostvale", "--local-time", "13:07:09"}, false, false, 0, 0},  // needs --record or --bench
        {{"frostvale", "--bench", "--local-time", "24:00:00"}, false, false, 0, 0},
        {{"frostvale", "--bench", "--local-time", "1:07:09"}, false, false, 0, 0},
        {{"frostvale", "--bench", "--local-time", "13:60:09"}, false, false, 0, 0},
        {{"frostvale", "--show-time", "25"}, false, false, 0, 0},
        {{"frostvale", "--show-time"}, false, false, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.args.back() << ": " << error;
        if (!c.ok) continue;
        EXPECT_EQ(options.showFps, c.showFps);
        EXPECT_EQ(options.showTime, c.showTime);
        EXPECT_EQ(options.record.localTime, c.localTime);
    }
}

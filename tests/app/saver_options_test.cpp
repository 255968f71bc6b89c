// Hack-mode options, the settings options of the one table, and the XScreenSaver
// description and manual that must agree with them.

#include "app/frame_pacing.h"
#include "app/launch_options.h"
#include "app/saver_options.h"
#include "app/settings.h"
#include "platform/win/registry.h"
#include "tests/app/config_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool Extract(std::vector<std::string> args, LaunchOptions& options) {
    args.insert(args.begin(), "frostvale");
    std::string error;
    return ExtractLongOptions(args, options, error);
}

// The settings a command line gives over the shipped defaults.
Settings SettingsFor(const std::string& line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word);
    LaunchOptions options;
    EXPECT_TRUE(Extract(args, options)) << line;
    DefaultSettings defaults;
    Settings settings;
    LoadDefaultSettings(defaults, settings);
    ApplyOverrides(options.overrides, settings);
    return settings;
}

std::int32_t Field(const Settings& settings, const char* name) {
    return GetSetting(settings, *FindSettingField(name));
}

}  // namespace

TEST(SaverOptions, WindowIdsAreHexOrDecimal) {
    const struct {
        const char* text;
        bool ok;
        std::uint64_t id;
    } cases[] = {
        {"0x1a00007", true, 0x1a00007}, {"0X1A", true, 0x1a},   {"27262983", true, 27262983},
        {"4294967295", true, 0xFFFFFFFFu}, {"0xffffffff", true, 0xFFFFFFFFu},
        {"0", false, 0},  {"0x", false, 0}, {"", false, 0},    {"0x1g", false, 0}, {"-5", false, 0},
        {"12 ", false, 0}, {"junk", false, 0}, {"4294967296", false, 0}, {"0x100000000", false, 0},
    };
    for (const auto& c : cases) {
        std::uint64_t id = 0;
        ASSERT_EQ(ParseWindowId(c.text, id), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(id, c.id) << c.text;
        }
    }
}

TEST(SaverOptions, HackOptionsTakeOneDashOrTwo) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        bool root;
        bool hasWindowId;
        std::uint64_t windowId;
        long long delayUs;
    } cases[] = {
        {{"--root"}, true, true, false, 0, -1},
        {{"-root"}, true, true, false, 0, -1},
        {{"-window-id", "0x2c00003"}, true, false, true, 0x2c00003, -1},
        {{"--root", "--window-id", "77"}, true, true, true, 77, -1},
        {{"--root", "-delay", "0"}, true, true, false, 0, 0},
        {{"--delay", "10000000"}, true, false, false, 0, 10000000},
        {{"--delay", "10000001"}, false, false, false, 0, -1},
        {{"--delay", "-1"}, false, false, false, 0, -1},
        {{"--window-id", "window"}, false, false, false, 0, -1},
        {{"--window-id"}, false, false, false, 0, -1},
        {{"--root", "--window"}, false, false, false, 0, -1},
        {{"--root", "--bench"}, false, false, false, 0, -1},
    };
    for (const auto& c : cases) {
        LaunchOptions options;
        ASSERT_EQ(Extract(c.args, options), c.ok) << c.args[0];
        if (!c.ok) continue;
        EXPECT_EQ(options.root, c.root);
        EXPECT_EQ(options.hasWindowId, c.hasWindowId);
        EXPECT_EQ(options.windowId, c.windowId);
        EXPECT_EQ(options.delayUs, c.delayUs);
    }
}

TEST(SaverOptions, EachOptionSetsItsFieldsInCommandLineOrder) {
    const struct {
        const char* line;
        const char* field;
        std::int32_t value;
    } cases[] = {
        {"--fps", "ShowFps", 1},
        {"-fps /s", "ShowFps", 1},
        {"--clock 12", "TimeStyle", 0},
        {"--no-clock --clock 24", "ShowTime", 1},  // a clock style shows the clock again
        {"--clock 12 --no-clock", "ShowTime", 0},
        {"--no-music", "Music", 0},
        {"--no-music -music", "Music", 1},
        {"--volume 0", "Volume", 0},
        {"-volume 100", "Volume", 100},
        {"--snow small", "ParticleCount", 0},
        {"--wind strong", "WindVelocity", 2},
        {"--gamma -100", "Gamma", -100},
        {"--exit-on-mouse-move", "ExitOnMM", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(Field(SettingsFor(c.line), c.field), c.value) << c.line;

    for (const char* bad : {"--volume 101", "--volume -1", "--volume 5x", "--gamma 101", "--snow huge",
                            "--clock 13", "--wind", "--volume"}) {
        std::vector<std::string> args;
        std::istringstream words(bad);
        for (std::string word; words >> word;) args.push_back(word);
        LaunchOptions options;
        EXPECT_FALSE(Extract(args, options)) << bad;
    }
    // --fps with a number stays the recording rate.
    LaunchOptions options;
    ASSERT_TRUE(Extract({"--bench", "--fps", "60"}, options));
    EXPECT_EQ(options.record.fps, 60.0);
    EXPECT_TRUE(options.overrides.empty());
}

// Every argument the XScreenSaver description passes means what its widget claims, and
// every widget's default is the shipped default.
TEST(SaverOptions, XScreenSaverDescriptionAgreesWithTheTableAndTheDefaults) {
    const std::string xml = WriteXScreenSaverXml();
    const Settings shipped = SettingsFor("");
    int widgets = 0;

    const std::regex boolean(R"re(<boolean id="([^"]+)" _label="[^"]+" (arg-set|arg-unset)="([^"]+)"/>)re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), boolean), end; it != end; ++it, ++widgets) {
        const Settings changed = SettingsFor((*it)[3]);
        const bool set = (*it)[2] == "arg-set";
        int differing = 0;
        for (const SettingField& field : kSettingFields) {
            if (GetSetting(changed, field) == GetSetting(shipped, field)) continue;
            ++differing;
            // Unchecked by default with arg-set: the field is off by default and the
            // argument turns it on; arg-unset the other way round.
            EXPECT_EQ(GetSetting(shipped, field), set ? 0 : 1) << (*it)[3];
            EXPECT_EQ(GetSetting(changed, field), set ? 1 : 0) << (*it)[3];
        }
        EXPECT_EQ(differing, 1) << (*it)[3];
    }

    const std::regex select(R"re(<select id="([^"]+)">([\s\S]*?)</select>)re");
    const std::regex option(R"re(<option id="([^"]+)-([^"-]+)" _label="[^"]+"( arg-set="([^"]+)")?/>)re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), select), end; it != end; ++it, ++widgets) {
        const std::string body = (*it)[2];
        const SaverOption* owner = FindSaverOption((*it)[1]);
        ASSERT_NE(owner, nullptr) << (*it)[1];
        int withoutArgs = 0;
        for (std::sregex_iterator o(body.begin(), body.end(), option); o != end; ++o) {
            const std::string line = "--" + std::string((*it)[1]) + " " + std::string((*o)[2]);
            if ((*o)[3].matched) {
                EXPECT_EQ((*o)[4], line);
            } else {
                // The choice without arguments is the shipped one.
                ++withoutArgs;
                EXPECT_EQ(Field(SettingsFor(line), owner->field), Field(shipped, owner->field)) << line;
            }
        }
        EXPECT_EQ(withoutArgs, 1) << (*it)[1];
    }

    const std::regex number(R"re(<number id="([^"]+)" type="slider" arg="([^"]+) %"[^>]* low="(-?\d+)" high="(-?\d+)" default="(-?\d+)")re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), number), end; it != end; ++it) {
        if ((*it)[1] == "delay") {
            EXPECT_EQ(std::stoll((*it)[5]), kHostedDelayUs);
            continue;
        }
        ++widgets;
        const SaverOption* owner = FindSaverOption((*it)[1]);
        ASSERT_NE(owner, nullptr) << (*it)[1];
        EXPECT_EQ(std::stoi((*it)[3]), owner->low);
        EXPECT_EQ(std::stoi((*it)[4]), owner->high);
        EXPECT_EQ(std::stoi((*it)[5]), Field(shipped, owner->field)) << (*it)[1];
        EXPECT_EQ(Field(SettingsFor((*it)[2].str() + " " + (*it)[4].str()), owner->field), owner->high);
    }

    // One widget per field with a label in the table.
    std::vector<std::string> labelled;
    for (const SaverOption& o : kSaverOptions)
        if (o.label != nullptr) labelled.push_back(o.field);
    EXPECT_EQ(widgets, static_cast<int>(labelled.size()));
    EXPECT_NE(xml.find("<command arg=\"--root\"/>"), std::string::npos);
}

TEST(SaverOptions, TheManualNamesEveryOption) {
    std::ifstream file(std::string(FV_SOURCE_DIR) + "/dist/frostvale.6");
    std::stringstream text;
    text << file.rdbuf();
    // roff writes a hyphen in an option name as "\-".
    std::string manual = std::regex_replace(text.str(), std::regex(R"(\\-)"), "-");
    std::vector<std::string> names = {"root", "window-id", "delay", "window", "path", "log", "stats",
                                      "record", "bench", "frames", "size", "seed", "layer-shell", "scale",
                                      "empty", "overdraw"};
    for (const SaverOption& o : kSaverOptions) names.push_back(o.name);
    for (const std::string& name : names) EXPECT_NE(manual.find("--" + name), std::string::npos) << name;
    for (const char* variable : {"XSCREENSAVER_WINDOW", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "FrameLimit"})
        EXPECT_NE(manual.find(variable), std::string::npos) << variable;
}

// Missing or unreadable: the fallback; out of range: clamped.
TEST(SaverOptions, KeyValuesAreReadFromTheSettingsKeyAndClamped) {
    const ConfigHome home;
    const struct {
        KeyValue value;
        const char* line;
        std::int32_t expected;
    } cases[] = {
        {KeyValue::FrameLimit, "", 0}, {KeyValue::FrameLimit, "FrameLimit=30", 30},
        {KeyValue::FrameLimit, "FrameLimit=-5", 0}, {KeyValue::FrameLimit, "FrameLimit=5000", 1000},
        {KeyValue::FrameLimit, "FrameLimit=\"30\"", 0}, {KeyValue::FrameLimit, "FrameLimit=0", 0},
        {KeyValue::RenderScale, "", 100}, {KeyValue::RenderScale, "RenderScale=50", 50},
        {KeyValue::RenderScale, "RenderScale=25", 25}, {KeyValue::RenderScale, "RenderScale=10", 25},
        {KeyValue::RenderScale, "RenderScale=-1", 25}, {KeyValue::RenderScale, "RenderScale=250", 100},
        {KeyValue::RenderScale, "RenderScale=\"50\"", 100}, {KeyValue::RenderScale, "RenderScale=half", 100},
    };
    for (const auto& c : cases) {
        home.WriteSettings(std::string(c.line) + "\n");
        EXPECT_EQ(ReadKeyValue(c.value), c.expected) << c.line;
    }
}

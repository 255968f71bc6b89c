// Scene.props as shipped: the props parser reads every key with its value, and the scene
// settings reader, through the built-in archive, gets the shipped tuning.

#include "core/media_archive.h"
#include "platform/win/resources.h"
#include "props/props_parser.h"
#include "snowscape/scene_settings.h"
#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/scene_settings.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mediagen_test;

namespace {

// The values of a key: its value text, or its array elements joined by "|".
std::string Values(const PropsDocument& document, const char* key) {
    const PropsNode* node = Find(document, key);
    if (!node) return "(missing)";
    if (node->Kind() != kPropsArray) return AsString(node).CStr();
    std::string joined;
    for (int i = 0; i < node->Children().Count(); ++i) {
        const PropsNode* element = Get(node, i);
        joined += (i ? "|" : "") + std::string(element ? AsString(element).CStr() : "(gap)");
    }
    return joined;
}

}  // namespace

TEST(MediagenSettingsTest, SceneSettingsParseToTheShippedValues) {
    const std::string text = SceneSettingsText();
    PropsDocument document;
    ASSERT_TRUE(ParseProps(document, text.c_str(), static_cast<int>(text.size())));
    std::string animations;
    for (int i = 0; i < kCameraPathCount; ++i) animations += (i ? "|" : "") + CameraPathName(i);
    const std::pair<const char*, std::string> cases[] = {
        {"Ambient", "60|60|60"}, {"FogColor", "156|153|146"}, {"NearPlane", "10"},    {"FarPlane", "1000"},
        {"FogStart", "10"},      {"FogEnd", "700"},           {"Fov", "70"},          {"MaxSnow", "2000"},
        {"SnowBox", "500"},      {"SnowFall", "0.14"},        {"SnowStrafe", "0.04"}, {"SnowSpawn", "2"},
        {"DustTime", "5"},       {"DustWait", "1000"},        {"DustDist", "100"},    {"BlissTime", "2"},
        {"BlissWait", "10000"},  {"Animations", animations},
    };
    for (const auto& [key, expected] : cases) EXPECT_EQ(Values(document, key), expected) << key;
    // Those keys and nothing else: no stray statement became a node.
    EXPECT_EQ(document.TopLevel().Count(), static_cast<int>(std::size(cases)));
    EXPECT_EQ(Find(document, "Animations")->Kind(), kPropsArray);
}

TEST(MediagenSettingsTest, ShippedArchiveGivesTheSceneTuning) {
    HRSRC resource = FindResourceA(nullptr, 147, "MEMFILE");
    ASSERT_NE(resource, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    MountArchiveBytes(data, SizeofResource(nullptr, resource));
    SceneSettings settings;
    // Media names are the media folder followed by the file's "/" name.
    ReadSceneSettings(String(kMediaFolder) + kSceneSettingsFile, 2, 1, settings);
    UnmountArchiveForTesting();
    const std::pair<const char*, double> cases[] = {
        {"ambient", settings.ambient.r * 255.0},   {"fog red", settings.fogColor.r * 255.0},
        {"fog green", settings.fogColor.g * 255.0}, {"fog blue", settings.fogColor.b * 255.0},
        {"fog start", settings.fogStart},           {"fog end", settings.fogEnd},
        {"fov degrees", settings.fov * 180.0 / 3.14159265}, {"snow box", settings.snowBox},
        {"bliss wait", settings.blissWait},         {"spawn", settings.snowSpawn},
    };
    const double expected[] = {60, 156, 153, 146, 10, 700, 70, 500, 10000, 4.0};
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NEAR(cases[i].second, expected[i], 1e-3) << cases[i].first;
    ASSERT_EQ(settings.animations.size(), static_cast<size_t>(kCameraPathCount));
    EXPECT_STREQ(settings.animations.front().CStr(), "frostvalen01.cam");
    EXPECT_STREQ(settings.animations.back().CStr(), "frostvalen14.cam");
}

TEST(MediagenSettingsTest, SceneSettingsFileIsTheTextWithCommentsAndASpreadArray) {
    const std::vector<unsigned char> file = ReadAll(MediaDir() + "/Scene.props");
    const std::string text = SceneSettingsText();
    EXPECT_EQ(std::string(file.begin(), file.end()), text);
    EXPECT_EQ(text.rfind("//", 0), 0u);
    // The camera paths stand one to a line, every line but the last ending in a comma.
    const size_t open = text.find("Animations = array(");
    ASSERT_NE(open, std::string::npos);
    const std::string list = text.substr(open);
    int lines = 0;
    for (size_t at = list.find("\"frostvalen"); at != std::string::npos; at = list.find("\"frostvalen", at + 1)) {
        ++lines;
        const std::string line = list.substr(at, list.find('\r', at) - at);
        EXPECT_EQ(line.back() == ',', lines < kCameraPathCount) << line;
    }
    EXPECT_EQ(lines, kCameraPathCount);
}

TEST(MediagenSettingsTest, CameraPathNamesAreNumberedFromOne) {
    const std::pair<int, const char*> cases[] = {{0, "frostvalen01.cam"}, {8, "frostvalen09.cam"}, {13, "frostvalen14.cam"}};
    for (const auto& [index, name] : cases) EXPECT_EQ(CameraPathName(index), name);
}

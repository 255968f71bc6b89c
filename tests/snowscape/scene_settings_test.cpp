#include "snowscape/scene_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kShipped =
    "// Scene tuning\r\n"
    "Ambient    = array(60,60,60);\r\n"
    "FogColor   = array(156,153,146);\r\n"
    "NearPlane  = 10;\r\nFarPlane   = 1000;\r\nFogStart   = 10;\r\nFogEnd     = 700;\r\n"
    "Fov        = 70;\r\nMaxSnow    = 2000;\r\nSnowBox    = 500;\r\nSnowFall   = 0.14;\r\n"
    "SnowStrafe = 0.04;\r\nSnowSpawn  = 2;\r\nDustTime   = 5;\r\nDustWait   = 1000;\r\n"
    "DustDist   = 100;\r\nBlissTime  = 2;\r\nBlissWait  = 10000;\r\n"
    "Animations = array(\r\n  \"frostvalen01.cam\",\r\n  \"frostvalen02.cam\",\r\n  \"frostvalen03.cam\"\r\n);\r\n";

// One file per test: ctest runs the tests of this folder in parallel processes.
String WriteScene(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + "scene_settings_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return String(path.c_str());
}

SceneSettings Read(const std::string& text, int particleCount = 0, int windVelocity = 0) {
    SceneSettings settings;
    ReadSceneSettings(WriteScene("test.props", text), particleCount, windVelocity, settings);
    return settings;
}

std::vector<std::string> Names(const SceneSettings& settings) {
    std::vector<std::string> names;
    for (const String& name : settings.animations) names.emplace_back(name.CStr());
    return names;
}

const String kMissing("/no/such/folder/Scene.props");

}  // namespace

TEST(SceneSettingsTest, PresetsGiveFlakesAndFallStepWithOrWithoutAFile) {
    const struct {
        int particleCount;
        int windVelocity;
        int maxFlakes;
        float fallStep;
    } cases[] = {
        {0, 0, 1000, 0.13f}, {1, 1, 2500, 0.17f}, {2, 2, 4000, 0.3f},
        {3, 3, 1000, 0.13f}, {-1, -1, 1000, 0.13f}, {2, 0, 4000, 0.13f},
    };
    for (const auto& c : cases) {
        SceneSettings missing;
        ReadSceneSettings(kMissing, c.particleCount, c.windVelocity, missing);
        EXPECT_EQ(missing.maxFlakes, c.maxFlakes) << c.particleCount;
        EXPECT_EQ(missing.fallStep, c.fallStep) << c.windVelocity;
        EXPECT_EQ(missing.snowSpawn, 1.0f) << "without a file the spawn rate stays 1.0";

        const SceneSettings shipped = Read(kShipped, c.particleCount, c.windVelocity);
        EXPECT_EQ(shipped.maxFlakes, c.maxFlakes) << c.particleCount;
        EXPECT_EQ(shipped.fallStep, c.fallStep) << "SnowFall is not read";
        EXPECT_EQ(shipped.snowSpawn, static_cast<float>(c.maxFlakes) * 0.001f) << "SnowSpawn is replaced";
    }
}

TEST(SceneSettingsTest, AMissingFileKeepsEveryDefault) {
    SceneSettings settings;
    settings.animations.push_back("stale.cam");
    ReadSceneSettings(kMissing, 2, 1, settings);
    EXPECT_EQ(settings.farPlane, 1300.0f);
    EXPECT_EQ(settings.nearPlane, 10.0f);
    EXPECT_FLOAT_EQ(settings.fov, 1.0471976f);
    EXPECT_EQ(settings.fogStart, 120.0f);
    EXPECT_EQ(settings.fogEnd, 700.0f);
    EXPECT_EQ(settings.snowBox, 300.0f);
    EXPECT_EQ(settings.blissWait, 0.0f);
    EXPECT_FLOAT_EQ(settings.ambient.r, 80.0f / 255.0f);
    EXPECT_FLOAT_EQ(settings.fogColor.b, 125.0f / 255.0f);
    EXPECT_EQ(settings.ambient.a, 1.0f);
    EXPECT_TRUE(settings.animations.empty());
}

TEST(SceneSettingsTest, KeysConvertToTheRecordsUnits) {
    const SceneSettings shipped = Read(kShipped, 2, 1);
    EXPECT_FLOAT_EQ(shipped.ambient.g, 60.0f / 255.0f);
    EXPECT_FLOAT_EQ(shipped.fogColor.r, 156.0f / 255.0f);
    EXPECT_FLOAT_EQ(shipped.fogColor.g, 153.0f / 255.0f);
    EXPECT_FLOAT_EQ(shipped.fogColor.b, 146.0f / 255.0f);
    EXPECT_EQ(shipped.farPlane, 1300.0f) << "FarPlane is not read";
    EXPECT_EQ(shipped.fogStart, 10.0f);
    EXPECT_FLOAT_EQ(shipped.fov, 70.0f / 180.0f * 3.1415927f);
    EXPECT_EQ(shipped.snowBox, 500.0f);
    EXPECT_EQ(shipped.snowStrafe, 0.04f);
    EXPECT_EQ(shipped.blissWait, 10000.0f);
    EXPECT_EQ(shipped.snowSpawn, 4.0f);
    EXPECT_EQ(Names(shipped), (std::vector<std::string>{"frostvalen01.cam", "frostvalen02.cam", "frostvalen03.cam"}));

    EXPECT_FLOAT_EQ(Read("Fov = 90;").fov, 1.5707964f);
    const SceneColor red = Read("Ambient = array(255, 0, 0);").ambient;
    EXPECT_EQ(red.r, 1.0f);
    EXPECT_EQ(red.g, 0.0f);
    EXPECT_EQ(red.b, 0.0f);
    EXPECT_EQ(red.a, 1.0f);
    const SceneColor partial = Read("fogcolor = array(51, \"102px\");").fogColor;
    EXPECT_FLOAT_EQ(partial.r, 0.2f) << "keys compare without case";
    EXPECT_EQ(partial.g, 0.0f) << "a colour channel that is not wholly a number reads 0";
    EXPECT_EQ(partial.b, 0.0f) << "a missing channel reads 0";
    EXPECT_EQ(Read("FogEnd = \"650m\";").fogEnd, 650.0f) << "reals take the leading number";
    EXPECT_EQ(Read("FogEnd = ;").fogEnd, 0.0f) << "an empty value reads 0";
    EXPECT_EQ(Read("DustWait = 5;").fogEnd, 700.0f) << "a missing key keeps its default";
}

TEST(SceneSettingsTest, AnimationsFollowTheRingFromTheCursor) {
    const struct {
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"Animations = array(\"b.cam\", \"a.cam\");", {"b.cam", "a.cam"}},
        // A later entry goes in after the cursor (element 0) and becomes it.
        {"Animations = array(\"b.cam\", \"a.cam\"); Animations[5] = \"z.cam\";", {"z.cam", "a.cam", "b.cam"}},
        {"Animations.x = \"x.cam\"; Animations.y = \"y.cam\";", {"y.cam", "x.cam"}},
        {"Animations = \"one.cam\";", {}},
        {"Animations = array(\"a.cam\", 7, Other);", {"a.cam", "7", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Names(Read(c.text)), c.names) << c.text;
}

TEST(SceneSettingsTest, LoadFillsTheProcessWideRecord) {
    // No archive is mounted and no "/Scene.props" exists on disk: the presets only.
    LoadSceneSettings(1, 2);
    EXPECT_EQ(SceneTuning().maxFlakes, 2500);
    EXPECT_EQ(SceneTuning().fallStep, 0.3f);
    EXPECT_EQ(SceneTuning().snowSpawn, 1.0f);
    LoadSceneSettings(0, 0);
    EXPECT_EQ(SceneTuning().maxFlakes, 1000);
}

#include "snowscape/scene_settings.h"

#include "core/media_archive.h"
#include "props/props_document.h"
#include "props/props_parser.h"

#include <cstdint>

const char* const kSceneSettingsFile = "/Scene.props";

namespace {

constexpr float kColorScale = 1.0f / 255.0f;

SceneSettings& MutableTuning() {
    static SceneSettings settings;
    return settings;
}

void ReadColor(const PropsDocument& document, const char* key, SceneColor& color) {
    const PropsNode* node = Find(document, key);
    if (node == nullptr) return;
    color.r = static_cast<float>(AsInt(Get(node, 0))) * kColorScale;
    color.g = static_cast<float>(AsInt(Get(node, 1))) * kColorScale;
    color.b = static_cast<float>(AsInt(Get(node, 2))) * kColorScale;
    color.a = 1.0f;
}

void ReadFloat(const PropsDocument& document, const char* key, float& value) {
    const PropsNode* node = Find(document, key);
    if (node != nullptr) value = static_cast<float>(AsDouble(node));
}

}  // namespace

void ReadSceneSettings(const String& fileName, int particleCount, int windVelocity, SceneSettings& settings) {
    settings = SceneSettings();
    switch (windVelocity) {
        case 1: settings.fallStep = 0.17f; break;
        case 2: settings.fallStep = 0.3f; break;
        default: settings.fallStep = 0.13f; break;
    }
    switch (particleCount) {
        case 1: settings.maxFlakes = 2500; break;
        case 2: settings.maxFlakes = 4000; break;
        default: settings.maxFlakes = 1000; break;
    }

    std::vector<std::uint8_t> text;
    if (!ReadFile(fileName, text)) return;
    PropsDocument document;
    ParseProps(document, reinterpret_cast<const char*>(text.data()), static_cast<int>(text.size()));

    ReadColor(document, "Ambient", settings.ambient);
    ReadColor(document, "FogColor", settings.fogColor);
    ReadFloat(document, "NearPlane", settings.nearPlane);
    ReadFloat(document, "FogStart", settings.fogStart);
    ReadFloat(document, "FogEnd", settings.fogEnd);
    float degrees = 0.0f;
    const bool hasFov = Find(document, "Fov") != nullptr;
    ReadFloat(document, "Fov", degrees);
    if (hasFov) settings.fov = degrees * (1.0f / 180.0f) * 3.1415927f;
    ReadFloat(document, "SnowSpawn", settings.snowSpawn);
    ReadFloat(document, "SnowStrafe", settings.snowStrafe);
    ReadFloat(document, "SnowBox", settings.snowBox);
    ReadFloat(document, "DustTime", settings.dustTime);
    ReadFloat(document, "DustWait", settings.dustWait);
    ReadFloat(document, "DustDist", settings.dustDist);
    ReadFloat(document, "BlissTime", settings.blissTime);
    ReadFloat(document, "BlissWait", settings.blissWait);
    if (PropsNode* animations = Find(document, "Animations")) {
        animations->Children().Walk([&](PropsNode& node) { settings.animations.push_back(AsString(&node)); });
    }

    // The snow amount preset decides the spawn rate once the file has been read.
    settings.snowSpawn = static_cast<float>(settings.maxFlakes) * 0.001f;
}

const SceneSettings& SceneTuning() { return MutableTuning(); }

void LoadSceneSettings(int particleCount, int windVelocity) {
    // Media files are named by the media folder followed by their own "/" name.
    ReadSceneSettings(String(kMediaFolder) + kSceneSettingsFile, particleCount, windVelocity, MutableTuning());
}

#pragma once
// The scene tuning record: light, fog, projection, snow, dust, sparkles and the camera path
// list, read once at start-up from "/Scene.props" and folded together with the user's snow
// amount and wind strength. Readers take the process-wide record and never change it.

#include "core/byte_string.h"

#include <vector>

struct SceneColor {
    float r;
    float g;
    float b;
    float a;
};

struct SceneSettings {
    SceneColor ambient{80.0f / 255.0f, 80.0f / 255.0f, 80.0f / 255.0f, 1.0f};
    SceneColor fogColor{125.0f / 255.0f, 125.0f / 255.0f, 125.0f / 255.0f, 1.0f};
    float nearPlane = 10.0f;
    float farPlane = 1300.0f;  // fixed: no key sets it
    float fogStart = 120.0f;
    float fogEnd = 700.0f;
    float fov = 60.0f * (1.0f / 180.0f) * 3.1415927f;  // radians, vertical
    float snowSpawn = 1.0f;   // flakes per 5 ms; maxFlakes x 0.001 once the file is read
    float snowStrafe = 0.04f;
    float snowBox = 300.0f;
    float dustTime = 5.0f;     // seconds
    float dustWait = 1000.0f;  // milliseconds
    float dustDist = 100.0f;
    float blissTime = 2.0f;  // seconds
    float blissWait = 0.0f;  // milliseconds
    int maxFlakes = 1000;    // from the ParticleCount preset
    float fallStep = 0.13f;  // from the WindVelocity preset
    std::vector<String> animations;  // camera path files, in file order
};

// The scene file the application reads.
extern const char* const kSceneSettingsFile;  // "/Scene.props"

// Fills settings from its defaults, the two presets (ParticleCount 0/1/2 gives 1000/2500/
// 4000 flakes, WindVelocity 0/1/2 a fall step of 0.13/0.17/0.3; other values keep the
// first) and, when it can be read through ReadFile, the props file named fileName. A file
// that cannot be read, or a key that is missing, silently keeps the defaults.
void ReadSceneSettings(const String& fileName, int particleCount, int windVelocity, SceneSettings& settings);

// The process-wide record.
const SceneSettings& SceneTuning();
// Reads the media file kSceneSettingsFile (inside the media folder) into the process-wide
// record; called once at start-up, after the user settings are known and before the snow,
// the effects and the camera exist.
void LoadSceneSettings(int particleCount, int windVelocity);

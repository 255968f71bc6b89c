// fvtool scene-settings: the scene tuning record a scene file gives, as JSON.

#include "snowscape/scene_settings.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The record's reals are floats: written with float precision (0.13, not 0.12999999523).
using json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, float>;

json Number(float value) { return json(value); }

json Color(const SceneColor& color) {
    return json::array({Number(color.r), Number(color.g), Number(color.b), Number(color.a)});
}

bool ParseInt(const std::string& text, int& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

int RunSceneSettings(const std::vector<std::string>& args) {
    std::string file;
    int particleCount = 2;  // the shipped presets
    int windVelocity = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--particle-count" || arg == "--wind-velocity") {
            if (i + 1 >= args.size()) return Fail(arg + " needs a number");
            int& target = arg == "--particle-count" ? particleCount : windVelocity;
            if (!ParseInt(args[++i], target)) return Fail(arg + " takes an integer, not '" + args[i] + "'");
        } else if (!arg.empty() && arg[0] == '-' && arg.size() > 1) {
            return Fail("unknown option '" + arg + "'");
        } else if (file.empty()) {
            file = arg;
        } else {
            return Fail("more than one FILE given");
        }
    }
    if (file.empty()) return Fail("usage: fvtool scene-settings FILE [--particle-count N] [--wind-velocity N]");

    // No archive is mounted here, so ReadFile reads FILE from disk.
    SceneSettings settings;
    ReadSceneSettings(String(file.c_str()), particleCount, windVelocity, settings);

    json animations = json::array();
    for (const String& name : settings.animations) animations.push_back(name.ToStdString());
    const json out = {
        {"Ambient", Color(settings.ambient)},
        {"FogColor", Color(settings.fogColor)},
        {"NearPlane", Number(settings.nearPlane)},
        {"FarPlane", Number(settings.farPlane)},
        {"FogStart", Number(settings.fogStart)},
        {"FogEnd", Number(settings.fogEnd)},
        {"Fov", Number(settings.fov)},
        {"SnowSpawn", Number(settings.snowSpawn)},
        {"SnowStrafe", Number(settings.snowStrafe)},
        {"SnowBox", Number(settings.snowBox)},
        {"DustTime", Number(settings.dustTime)},
        {"DustWait", Number(settings.dustWait)},
        {"DustDist", Number(settings.dustDist)},
        {"BlissTime", Number(settings.blissTime)},
        {"BlissWait", Number(settings.blissWait)},
        {"MaxFlakes", settings.maxFlakes},
        {"FallStep", Number(settings.fallStep)},
        {"Animations", animations},
    };
    std::printf("%s\n", out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    return 0;
}

const Subcommand kSceneSettings{"scene-settings", "FILE [--particle-count N] [--wind-velocity N]",
                                RunSceneSettings};

}  // namespace

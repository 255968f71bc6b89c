#include "tools/mediagen/scene_settings.h"

#include "tools/mediagen/image.h"

#include <cstdio>

std::string CameraPathName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frostvalen%02d.cam", index + 1);
    return name;
}

std::string SceneSettingsText() {
    std::string text =
        "// Frostvale scene settings.\r\n"
        "// Colours are red, green, blue (0-255); distances are world units.\r\n"
        "\r\n"
        "// Light and fog: a grey-beige winter afternoon.\r\n"
        "Ambient    = array(60,60,60);\r\n"
        "FogColor   = array(156,153,146);\r\n"
        "\r\n"
        "// Projection. The far plane is fixed by the program; FarPlane is kept for reference.\r\n"
        "NearPlane  = 10;\r\n"
        "FarPlane   = 1000;\r\n"
        "FogStart   = 10;\r\n"
        "FogEnd     = 700;\r\n"
        "Fov        = 70;\r\n"
        "\r\n"
        "// Snow. The flake count and fall speed follow the user's settings;\r\n"
        "// MaxSnow, SnowFall and SnowSpawn are kept for reference.\r\n"
        "MaxSnow    = 2000;\r\n"
        "SnowBox    = 500;\r\n"
        "SnowFall   = 0.14;\r\n"
        "SnowStrafe = 0.04;\r\n"
        "SnowSpawn  = 2;\r\n"
        "\r\n"
        "// Snow dust blown off roofs and branches: seconds, milliseconds, units.\r\n"
        "DustTime   = 5;\r\n"
        "DustWait   = 1000;\r\n"
        "DustDist   = 100;\r\n"
        "\r\n"
        "// Sparkles on the snow: seconds, milliseconds.\r\n"
        "BlissTime  = 2;\r\n"
        "BlissWait  = 10000;\r\n"
        "\r\n"
        "// Camera paths, one chosen at random after another.\r\n"
        "Animations = array(\r\n";
    for (int i = 0; i < kCameraPathCount; ++i) {
        text += "    \"" + CameraPathName(i) + "\"";
        text += i + 1 < kCameraPathCount ? ",\r\n" : "\r\n";
    }
    text += ");\r\n";
    return text;
}

bool WriteSceneSettings(const std::string& mediaDir) {
    return WriteTextFile(mediaDir + "/Scene.props", SceneSettingsText());
}

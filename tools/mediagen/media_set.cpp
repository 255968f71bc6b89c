#include "tools/mediagen/media_set.h"

#include "tools/mediagen/fonts.h"
#include "tools/mediagen/music.h"
#include "tools/mediagen/pictures.h"
#include "tools/mediagen/scene_geometry.h"
#include "tools/mediagen/scene_settings.h"
#include "tools/mediagen/textures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

const MediaStep kSteps[] = {
    {"scene settings", WriteSceneSettings, false},
    {"textures", WriteTextures, false},
    {"fonts", WriteFonts, false},
    {"music", WriteMusic, false},
    {"scene geometry", WriteSceneGeometry, false},
    {"camera paths", WriteCameraPaths, false},
    {"resource pictures", WritePictures, true},
};

}  // namespace

const MediaStep* MediaSteps(int& count) {
    count = static_cast<int>(sizeof kSteps / sizeof kSteps[0]);
    return kSteps;
}

bool GenerateMedia(const std::string& outDir) {
    const std::string media = outDir + "/" + kMediaFolderName;
    const std::string resources = outDir + "/" + kResourceFolderName;
    std::error_code error;
    std::filesystem::create_directories(media, error);
    std::filesystem::create_directories(resources, error);
    if (!std::filesystem::is_directory(media) || !std::filesystem::is_directory(resources)) {
        std::fprintf(stderr, "Error: cannot create the folders under %s\n", outDir.c_str());
        return false;
    }
    for (const MediaStep& step : kSteps) {
        if (!step.write(step.intoResources ? resources : media)) {
            std::fprintf(stderr, "Error: writing the %s failed\n", step.name);
            return false;
        }
    }
    return true;
}

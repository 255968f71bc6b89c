#pragma once
// The whole generated media set, one step per topic:
//   OUTDIR/FrostvaleMedia/  the files packed into the media archive (scene settings, textures,
//                           fonts, music, and the scene and camera paths),
//   OUTDIR/resources/       the images linked into the program as resources of their own.
// Every step is deterministic: the same program writes the same bytes.

#include <string>

constexpr const char* kMediaFolderName = "FrostvaleMedia";
constexpr const char* kResourceFolderName = "resources";

struct MediaStep {
    const char* name;
    bool (*write)(const std::string& folder);
    bool intoResources;  // writes into resources/ instead of FrostvaleMedia/
};

// The steps in the order they run.
const MediaStep* MediaSteps(int& count);

// Creates the folders and runs every step; reports a failing step on stderr. False on failure.
bool GenerateMedia(const std::string& outDir);

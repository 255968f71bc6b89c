#pragma once
// The audio module the program carries as resource MEMFILE 146, process-wide: written to a
// private temporary file ("bas" and a unique suffix, mode 0600) in the first of the user's
// temporary folders that allows loading code, loaded, and its operations resolved by name.
// Unloading shuts its output down first (the mixing thread is joined), then unmaps it and
// deletes the file.

#include "platform/audio/audio_module.h"
#include "platform/win/win_types.h"

#include <string>

constexpr int kMusicLibraryResource = 146;
constexpr char kMusicLibraryType[] = "MEMFILE";
constexpr char kMusicLibraryPrefix[] = "bas";

struct MusicLibraryFunctions {
    audio::InitFn init = nullptr;
    audio::Set3DFactorsFn set3DFactors = nullptr;
    audio::Apply3DFn apply3D = nullptr;
    audio::SetConfigFn setConfig = nullptr;
    audio::SampleLoadFn sampleLoad = nullptr;
    audio::SampleGetChannelFn sampleGetChannel = nullptr;
    audio::ChannelPlayFn channelPlay = nullptr;
    audio::FreeFn free = nullptr;
};

// Loads the module. False, with one log line saying why and no file left behind, when the
// resource is missing, no folder serves, or the module does not load or lacks an operation.
bool LoadMusicLibrary();
// Shuts the module down, unloads it and deletes its file; nothing when none is loaded.
void UnloadMusicLibrary();

// The loaded module's operations; null when none is loaded.
const MusicLibraryFunctions* MusicLibrary();
HMODULE MusicLibraryHandle();
// The temporary file of the loaded module; empty when none is loaded.
const std::string& MusicLibraryPath();

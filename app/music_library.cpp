#include "app/music_library.h"

#include "core/log.h"
#include "platform/win/library.h"
#include "platform/win/resources.h"
#include "platform/win/temp_file.h"

namespace {

HMODULE gMusicLibrary = nullptr;
std::string gMusicLibraryPath;
MusicLibraryFunctions gFunctions;

void LogSkip(const std::string& why) { Log("", String(("Music skipped: " + why + "\n").c_str())); }

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function, std::string& missing) {
    function = reinterpret_cast<Function>(GetProcAddress(module, name));
    if (function == nullptr && missing.empty()) missing = name;
    return function != nullptr;
}

bool ResolveAll(HMODULE module, MusicLibraryFunctions& functions, std::string& missing) {
    bool all = Resolve(module, audio::kInitName, functions.init, missing);
    all &= Resolve(module, audio::kSet3DFactorsName, functions.set3DFactors, missing);
    all &= Resolve(module, audio::kApply3DName, functions.apply3D, missing);
    all &= Resolve(module, audio::kSetConfigName, functions.setConfig, missing);
    all &= Resolve(module, audio::kSampleLoadName, functions.sampleLoad, missing);
    all &= Resolve(module, audio::kSampleGetChannelName, functions.sampleGetChannel, missing);
    all &= Resolve(module, audio::kChannelPlayName, functions.channelPlay, missing);
    all &= Resolve(module, audio::kFreeName, functions.free, missing);
    return all;
}

}  // namespace

bool LoadMusicLibrary() {
    if (gMusicLibrary != nullptr) return true;
    const void* data = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(kMusicLibraryResource, kMusicLibraryType, data, size)) {
        LogSkip("the program holds no audio module");
        return false;
    }
    const std::vector<std::string> folders = ModuleTempFolders();
    if (folders.empty()) {
        LogSkip("no temporary folder allows loading code");
        return false;
    }
    std::string why;
    for (const std::string& folder : folders) {
        const std::string path = WriteTempFile(folder, kMusicLibraryPrefix, data, size);
        if (path.empty()) {
            why = "cannot write the audio module to " + folder;
            continue;
        }
        HMODULE module = LoadLibraryA(path.c_str());
        if (module == nullptr) {
            why = "cannot load the audio module: " + LastLibraryError();
            DeleteFileA(path.c_str());
            continue;
        }
        MusicLibraryFunctions functions;
        std::string missing;
        if (!ResolveAll(module, functions, missing)) {
            FreeLibrary(module);
            DeleteFileA(path.c_str());
            LogSkip("the audio module lacks " + missing);
            return false;
        }
        gMusicLibrary = module;
        gMusicLibraryPath = path;
        gFunctions = functions;
        return true;
    }
    LogSkip(why);
    return false;
}

void UnloadMusicLibrary() {
    if (gMusicLibrary == nullptr) return;
    // The output closes and its thread ends before the code it runs is unmapped.
    gFunctions.free();
    FreeLibrary(gMusicLibrary);
    gMusicLibrary = nullptr;
    DeleteFileA(gMusicLibraryPath.c_str());
    gMusicLibraryPath.clear();
    gFunctions = {};
}

const MusicLibraryFunctions* MusicLibrary() { return gMusicLibrary != nullptr ? &gFunctions : nullptr; }

HMODULE MusicLibraryHandle() { return gMusicLibrary; }

const std::string& MusicLibraryPath() { return gMusicLibraryPath; }

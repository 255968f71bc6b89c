#include "app/music.h"

#include "app/music_library.h"
#include "core/log.h"
#include "core/media_archive.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t kOutputFrequency = 44100;
constexpr std::uint32_t kMaxPlaybacks = 20;
constexpr char kMusicFile[] = "/frostvale.wav";

}  // namespace

void Music::Start(HWND window, int volume) {
    Stop();
    if (lock_.TryTake(kSessionLockName) == SessionLock::Result::HeldElsewhere) {
        Log("", "Music skipped: another process of this session plays it\n");
        return;
    }
    if (!LoadMusicLibrary()) {
        lock_.Release();
        return;
    }
    const MusicLibraryFunctions& audio = *MusicLibrary();
    loaded_ = true;
    volume_ = std::clamp(volume, 0, 100);
    if (!audio.init(audio::kDeviceDefault, kOutputFrequency, audio::kInit3D, window, nullptr)) {
        Log("", "Music: no sound output opens; the music runs silent\n");
        audio.init(audio::kDeviceNoSound, kOutputFrequency, 0, window, nullptr);
    }
    audio.set3DFactors(-1.0f, 0.1f, -1.0f);
    audio.apply3D();
    audio.setConfig(audio::kConfigSampleVolume, 0);  // the music starts silent

    std::vector<std::uint8_t> bytes;
    if (!ReadFile(String(kMediaFolder) + kMusicFile, bytes)) {
        Log("", "Music skipped: the media hold no /frostvale.wav\n");
    } else {
        sample_ = audio.sampleLoad(1, bytes.data(), 0, static_cast<std::uint32_t>(bytes.size()), kMaxPlaybacks,
                                   audio::kSampleLoop);
        if (sample_ == 0) Log("", "Music skipped: /frostvale.wav is not a WAV the audio module plays\n");
        else audio.channelPlay(audio.sampleGetChannel(sample_, 1), 1);
    }
    fade_.Restart();
}

void Music::FadeStep() {
    const MusicLibraryFunctions* audio = MusicLibrary();
    if (!loaded_ || audio == nullptr) return;
    const double along = std::clamp(static_cast<double>(fade_.Elapsed()) / kFadeMilliseconds, 0.0, 1.0);
    audio->setConfig(audio::kConfigSampleVolume, static_cast<std::uint32_t>(along * volume_));
    audio->apply3D();
}

void Music::Stop() {
    if (loaded_) {
        if (const MusicLibraryFunctions* audio = MusicLibrary()) audio->setConfig(audio::kConfigSampleVolume, 0);
        UnloadMusicLibrary();
    }
    loaded_ = false;
    sample_ = 0;
    lock_.Release();
}

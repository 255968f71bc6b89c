// The module's C entry points (audio_module.h). Everything is kept in one AudioOutput made
// when the module is loaded and destroyed when it is unloaded; the control calls come from
// one thread, the mixer guards itself against the mixing thread.

#include "platform/audio/audio_module.h"
#include "platform/audio/audio_output.h"
#include "platform/audio/wav_reader.h"

#include <algorithm>

#define FV_AUDIO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

audio::AudioOutput* gOutput = nullptr;

__attribute__((constructor)) void CreateOutput() { gOutput = new audio::AudioOutput(); }

// The safety net: a module unloaded (or a process ended) without Free still closes its device
// and joins the mixing thread before its code goes away.
__attribute__((destructor)) void DestroyOutput() {
    delete gOutput;
    gOutput = nullptr;
}

audio::SampleMixer* OpenMixer() { return gOutput != nullptr ? gOutput->Mixer() : nullptr; }

}  // namespace

FV_AUDIO_EXPORT int FrostvaleAudioInit(int device, std::uint32_t frequency, std::uint32_t, void*, const void*) {
    return gOutput != nullptr && gOutput->Open(device, static_cast<int>(frequency)) ? 1 : 0;
}

FV_AUDIO_EXPORT int FrostvaleAudioSet3DFactors(float, float, float) { return OpenMixer() != nullptr ? 1 : 0; }

// One looping sample needs no 3D positions; there is nothing to recompute.
FV_AUDIO_EXPORT void FrostvaleAudioApply3D() {}

FV_AUDIO_EXPORT int FrostvaleAudioSetConfig(std::uint32_t option, std::uint32_t value) {
    audio::SampleMixer* mixer = OpenMixer();
    if (mixer == nullptr || option != audio::kConfigSampleVolume) return 0;
    mixer->SetVolume(static_cast<int>(std::min<std::uint32_t>(value, 100)));
    return 1;
}

FV_AUDIO_EXPORT std::uint32_t FrostvaleAudioGetConfig(std::uint32_t option) {
    audio::SampleMixer* mixer = OpenMixer();
    if (mixer == nullptr || option != audio::kConfigSampleVolume) return audio::kConfigUnknown;
    return static_cast<std::uint32_t>(mixer->Volume());
}

FV_AUDIO_EXPORT std::uint32_t FrostvaleAudioSampleLoad(int fromMemory, const void* file, std::uint64_t offset,
                                                       std::uint32_t length, std::uint32_t maxPlaybacks,
                                                       std::uint32_t flags) {
    audio::SampleMixer* mixer = OpenMixer();
    if (mixer == nullptr || !fromMemory || file == nullptr) return 0;
    audio::WavSound sound;
    if (!audio::ReadWav(static_cast<const std::uint8_t*>(file) + offset, length, sound)) return 0;
    return mixer->AddSample(std::move(sound), (flags & audio::kSampleLoop) != 0, maxPlaybacks);
}

FV_AUDIO_EXPORT std::uint32_t FrostvaleAudioSampleGetChannel(std::uint32_t sample, int onlyNew) {
    audio::SampleMixer* mixer = OpenMixer();
    return mixer != nullptr ? mixer->NewChannel(sample, onlyNew != 0) : 0;
}

FV_AUDIO_EXPORT int FrostvaleAudioChannelPlay(std::uint32_t channel, int restart) {
    audio::SampleMixer* mixer = OpenMixer();
    return mixer != nullptr && mixer->Play(channel, restart != 0) ? 1 : 0;
}

FV_AUDIO_EXPORT int FrostvaleAudioFree() {
    if (gOutput == nullptr || !gOutput->IsOpen()) return 0;
    gOutput->Close();
    return 1;
}

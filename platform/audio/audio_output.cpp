#include "platform/audio/audio_output.h"

#include "platform/audio/audio_module.h"

#include <SDL.h>

namespace audio {

namespace {

constexpr int kDefaultFrequency = 44100;
constexpr Uint16 kCallbackFrames = 1024;

}  // namespace

bool AudioOutput::Open(int device, int frequency) {
    if (IsOpen() || (device != kDeviceDefault && device != kDeviceNoSound)) return false;
    if (frequency <= 0) frequency = kDefaultFrequency;
    auto mixer = std::make_unique<SampleMixer>(frequency);
    if (device == kDeviceDefault) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = frequency;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kCallbackFrames;
        want.callback = &AudioOutput::Callback;
        want.userdata = mixer.get();
        // No changes allowed: SDL converts our format to whatever the hardware takes.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
    }
    mixer_ = std::move(mixer);
    if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
    return true;
}

void AudioOutput::Close() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);  // returns after the mixing thread has ended
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
    }
    mixer_.reset();
}

void AudioOutput::Callback(void* self, std::uint8_t* stream, int bytes) {
    static_cast<SampleMixer*>(self)->Mix(reinterpret_cast<std::int16_t*>(stream), bytes / 4);
}

}  // namespace audio

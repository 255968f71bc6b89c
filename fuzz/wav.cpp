// The audio module's WAV reader on arbitrary bytes, and the mixer on whatever it accepts:
// a sample of any rate and length, looped or not, mixed across its end.

#include "platform/audio/sample_mixer.h"
#include "platform/audio/wav_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    audio::WavSound sound;
    if (!audio::ReadWav(data, size, sound)) {
        if (!sound.frames.empty()) __builtin_trap();  // a refused file leaves nothing behind
        return 0;
    }
    if (sound.frames.size() != sound.FrameCount() * sound.channels || sound.FrameCount() == 0) __builtin_trap();
    const bool loop = (data[size - 1] & 1) != 0;
    audio::SampleMixer mixer(22050 + 1000 * (data[size - 1] >> 1));
    mixer.SetVolume(data[0] % 101);
    const std::uint32_t sample = mixer.AddSample(sound, loop, 1);
    if (sample == 0 || !mixer.Play(mixer.NewChannel(sample, true), true)) __builtin_trap();
    std::int16_t out[2 * 1500];
    mixer.Mix(out, 1500);
    mixer.Mix(out, 777);
    return 0;
}

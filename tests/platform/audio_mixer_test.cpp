// The audio module's mixer, read directly: resampling into the device format across loop
// points, and the volume applied at the next mix.

#include "platform/audio/sample_mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using audio::SampleMixer;
using audio::WavSound;

namespace {

std::vector<std::int16_t> MixFrames(SampleMixer& mixer, int frames, int chunk) {
    std::vector<std::int16_t> out(2 * frames);
    for (int done = 0; done < frames; done += chunk) mixer.Mix(out.data() + 2 * done, std::min(chunk, frames - done));
    return out;
}

}  // namespace

// A 22,050 Hz mono loop played at 44,100 Hz is the same sine, on both sides, straight
// through three loop points: no gap, no repeated or dropped frame, no step.
TEST(SampleMixer, LoopsAResampledSampleWithoutASeam) {
    constexpr double kPi = 3.14159265358979323846;
    constexpr int kLoopFrames = 2200;  // 44 periods of 441 Hz
    WavSound sound{22050, 1, {}};
    for (int i = 0; i < kLoopFrames; ++i)
        sound.frames.push_back(static_cast<std::int16_t>(std::lround(10000 * std::sin(2 * kPi * 441 * i / 22050.0))));
    SampleMixer mixer(44100);
    ASSERT_TRUE(mixer.Play(mixer.NewChannel(mixer.AddSample(sound, true, 20), true), true));
    const int frames = 3 * 2 * kLoopFrames + 500;
    const std::vector<std::int16_t> out = MixFrames(mixer, frames, 999);
    int worst = 0;
    for (int n = 0; n < frames; ++n) {
        worst = std::max(worst, static_cast<int>(std::abs(out[2 * n] - 10000 * std::sin(2 * kPi * 441 * n / 44100.0))));
        ASSERT_EQ(out[2 * n], out[2 * n + 1]) << n;
    }
    EXPECT_LE(worst, 22);  // linear interpolation of a 50-frame period: about 20 at most
}

// Playback starts at the volume set before it; a new volume is reached by a ramp across the
// next mix, never a jump.
TEST(SampleMixer, VolumeRampsInAtTheNextMix) {
    SampleMixer mixer(44100);
    mixer.SetVolume(0);
    const WavSound constant{44100, 2, std::vector<std::int16_t>(20, 10000)};
    mixer.Play(mixer.NewChannel(mixer.AddSample(constant, true, 1), true), true);
    EXPECT_EQ(MixFrames(mixer, 64, 64)[0], 0);
    mixer.SetVolume(150);
    EXPECT_EQ(mixer.Volume(), 100);
    mixer.SetVolume(50);
    const std::vector<std::int16_t> ramp = MixFrames(mixer, 1000, 1000);
    for (int n = 1; n < 1000; ++n) ASSERT_GE(ramp[2 * n], ramp[2 * n - 2]) << n;
    EXPECT_LT(ramp[0], 100);
    EXPECT_EQ(ramp[2 * 999], 5000);
    EXPECT_EQ(MixFrames(mixer, 10, 10)[1], 5000);
}

// The audio module's mixer: resampling into the device format, seamless loops, the global
// volume and the channel rules. Its output is read directly, so nothing depends on timing.

#include "platform/audio/sample_mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using audio::SampleMixer;
using audio::WavSound;

namespace {

constexpr double kPi = 3.14159265358979323846;

WavSound Constant(int rate, int channels, std::vector<std::int16_t> frame, int frames) {
    WavSound sound{rate, channels, {}};
    for (int i = 0; i < frames; ++i) sound.frames.insert(sound.frames.end(), frame.begin(), frame.end());
    return sound;
}

std::vector<std::int16_t> MixFrames(SampleMixer& mixer, int frames, int chunk) {
    std::vector<std::int16_t> out(2 * frames);
    for (int done = 0; done < frames; done += chunk) mixer.Mix(out.data() + 2 * done, std::min(chunk, frames - done));
    return out;
}

}  // namespace

// A 22,050 Hz mono loop played at 44,100 Hz is the same sine, on both sides, straight
// through three loop points: no gap, no repeated or dropped frame, no step.
TEST(SampleMixer, LoopsAResampledSampleWithoutASeam) {
    constexpr int kLoopFrames = 2200;  // 44 periods of 441 Hz
    WavSound sound{22050, 1, {}};
    for (int i = 0; i < kLoopFrames; ++i)
        sound.frames.push_back(static_cast<std::int16_t>(std::lround(10000 * std::sin(2 * kPi * 441 * i / 22050.0))));
    SampleMixer mixer(44100);
    const std::uint32_t sample = mixer.AddSample(sound, true, 20);
    ASSERT_TRUE(mixer.Play(mixer.NewChannel(sample, true), true));
    const int frames = 3 * 2 * kLoopFrames + 500;
    const std::vector<std::int16_t> out = MixFrames(mixer, frames, 999);
    int worst = 0;
    for (int n = 0; n < frames; ++n) {
        const double ideal = 10000 * std::sin(2 * kPi * 441 * n / 44100.0);
        worst = std::max(worst, static_cast<int>(std::abs(out[2 * n] - ideal)));
        ASSERT_EQ(out[2 * n], out[2 * n + 1]) << n;
    }
    EXPECT_LE(worst, 22);  // linear interpolation of a 50-frame period: about 20 at most
}

TEST(SampleMixer, MapsChannelsAndRatesToStereoAtTheDeviceRate) {
    const struct {
        int rate, channels;
        std::vector<std::int16_t> frame;
        std::int16_t left, right;
    } cases[] = {
        {8000, 1, {1000}, 1000, 1000},
        {48000, 2, {1000, -2000}, 1000, -2000},
        {96000, 2, {-5, 7}, -5, 7},
    };
    for (const auto& c : cases) {
        SampleMixer mixer(44100);
        const std::uint32_t sample = mixer.AddSample(Constant(c.rate, c.channels, c.frame, 100), true, 1);
        mixer.Play(mixer.NewChannel(sample, true), true);
        const std::vector<std::int16_t> out = MixFrames(mixer, 1000, 1000);
        for (int n = 0; n < 1000; ++n) {
            ASSERT_EQ(out[2 * n], c.left) << c.rate << " frame " << n;
            ASSERT_EQ(out[2 * n + 1], c.right) << c.rate << " frame " << n;
        }
    }
}

// A new volume is heard from the next mix, reached by a ramp across that mix, never a jump.
TEST(SampleMixer, VolumeRampsInAtTheNextMix) {
    SampleMixer mixer(44100);
    mixer.SetVolume(0);
    mixer.Play(mixer.NewChannel(mixer.AddSample(Constant(44100, 1, {10000}, 10), true, 1), true), true);
    EXPECT_EQ(MixFrames(mixer, 64, 64)[0], 0);  // starts silent: no ramp down from the default
    mixer.SetVolume(150);
    EXPECT_EQ(mixer.Volume(), 100);
    mixer.SetVolume(50);
    const std::vector<std::int16_t> ramp = MixFrames(mixer, 1000, 1000);
    for (int n = 1; n < 1000; ++n) ASSERT_GE(ramp[2 * n], ramp[2 * n - 2]) << n;
    EXPECT_LT(ramp[0], 100);
    EXPECT_EQ(ramp[2 * 999], 5000);
    EXPECT_EQ(MixFrames(mixer, 10, 10)[0], 5000);
}

TEST(SampleMixer, ChannelRules) {
    SampleMixer mixer(44100);
    // A one-shot sample plays once, then its channel is idle and silent.
    const std::uint32_t once = mixer.AddSample(Constant(44100, 1, {300}, 100), false, 2);
    const std::uint32_t first = mixer.NewChannel(once, true);
    const std::uint32_t second = mixer.NewChannel(once, true);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, first);
    EXPECT_EQ(mixer.NewChannel(once, true), 0u);  // only-new: both playbacks taken
    ASSERT_TRUE(mixer.Play(first, true));
    const std::vector<std::int16_t> out = MixFrames(mixer, 200, 200);
    EXPECT_EQ(out[2 * 99], 300);
    EXPECT_EQ(out[2 * 100], 0);
    EXPECT_FALSE(mixer.IsPlaying(first));
    EXPECT_EQ(mixer.NewChannel(once, false), first);  // otherwise an idle channel is taken over
    // Handles that name nothing are refused.
    EXPECT_FALSE(mixer.Play(0, true));
    EXPECT_FALSE(mixer.Play(once, true));
    EXPECT_EQ(mixer.NewChannel(first, true), 0u);
    EXPECT_EQ(mixer.AddSample(WavSound{}, true, 1), 0u);
    mixer.Clear();
    EXPECT_FALSE(mixer.Play(first, true));
}

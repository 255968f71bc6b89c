// The music loop: its WAV form, its length, and a loop point without a click or a step.

#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/music.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace mediagen_test;

namespace {

std::vector<int> Samples(const std::vector<unsigned char>& wav) {
    std::vector<int> samples;
    for (size_t at = 44; at + 1 < wav.size(); at += 2) samples.push_back(static_cast<std::int16_t>(Little16(wav, at)));
    return samples;
}

}  // namespace

TEST(MediagenMusicTest, WavHeaderDescribesMono16BitAt22050) {
    const std::vector<unsigned char> wav = ReadAll(MediaDir() + "/frostvale.wav");
    ASSERT_GE(wav.size(), 44u);
    const std::pair<size_t, unsigned> fields[] = {
        {4, static_cast<unsigned>(wav.size() - 8)}, {16, 16}, {40, static_cast<unsigned>(wav.size() - 44)},
    };
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    for (const auto& [at, value] : fields) EXPECT_EQ(Little32(wav, at), value) << at;
    EXPECT_EQ(Little16(wav, 20), 1u);       // PCM
    EXPECT_EQ(Little16(wav, 22), 1u);       // mono
    EXPECT_EQ(Little32(wav, 24), 22050u);   // sample rate
    EXPECT_EQ(Little32(wav, 28), 44100u);   // byte rate
    EXPECT_EQ(Little16(wav, 32), 2u);       // block align
    EXPECT_EQ(Little16(wav, 34), 16u);      // bits
    const double seconds = (wav.size() - 44) / 2.0 / 22050;
    EXPECT_GE(seconds, 30.0);
    EXPECT_LE(seconds, 60.0);
    EXPECT_EQ(wav.size() - 44, static_cast<size_t>(kMusicLoopSamples) * 2);
}

TEST(MediagenMusicTest, LoopPointHasNoClickAndNoStep) {
    const std::vector<int> s = Samples(ReadAll(MediaDir() + "/frostvale.wav"));
    ASSERT_EQ(s.size(), static_cast<size_t>(kMusicLoopSamples));
    // The jump from the last sample to the first is no larger than the signal's usual steps.
    std::vector<int> steps;
    for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    const int typical = steps[steps.size() * 99 / 100];
    EXPECT_LE(std::abs(s.front() - s.back()), typical);
    // No DC offset over the loop and no level step between its end and its start.
    double sum = 0, peak = 0;
    for (int v : s) {
        sum += v;
        peak = std::max(peak, std::fabs(static_cast<double>(v)));
    }
    EXPECT_LT(std::fabs(sum / s.size()), 40.0);
    const int window = 2205;
    double head = 0, tail = 0;
    for (int i = 0; i < window; ++i) {
        head += s[i];
        tail += s[s.size() - window + i];
    }
    EXPECT_LT(std::fabs(head - tail) / window, 200.0);
    // Quiet but not silent: the peak stays well under full scale.
    EXPECT_GT(peak, 8000.0);
    EXPECT_LT(peak, 20000.0);
}

TEST(MediagenMusicTest, ScoreFitsTheLoop) {
    const std::vector<ScoreNote> score = MusicScore();
    ASSERT_FALSE(score.empty());
    int melodyNotes = 0, lastMelodyStart = -1;
    for (size_t i = 0; i < score.size(); ++i) {
        EXPECT_GE(score[i].start, 0);
        EXPECT_LT(score[i].start, kMusicBars * kEighthsPerBar);
        if (i > 0) {
            EXPECT_LE(score[i - 1].start, score[i].start);
        }
        EXPECT_GT(score[i].velocity, 0.0f);
        EXPECT_LE(score[i].velocity, 1.0f);
        if (score[i].melody) {
            ++melodyNotes;
            lastMelodyStart = std::max(lastMelodyStart, score[i].start);
        }
    }
    // Every eighth carries an accompaniment note; the melody's last note starts in bar 23.
    EXPECT_EQ(static_cast<int>(score.size()) - melodyNotes, kMusicBars * kEighthsPerBar);
    EXPECT_EQ(lastMelodyStart, 22 * kEighthsPerBar);
}

TEST(MediagenMusicTest, WavFileWrapsSamplesLittleEndian) {
    const std::vector<unsigned char> wav = WavFile({1, -2, 0x1234}, 8000);
    ASSERT_EQ(wav.size(), 50u);
    EXPECT_EQ(Little32(wav, 24), 8000u);
    EXPECT_EQ(Little32(wav, 40), 6u);
    EXPECT_EQ(std::vector<unsigned char>(wav.begin() + 44, wav.end()),
              (std::vector<unsigned char>{0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12}));
}

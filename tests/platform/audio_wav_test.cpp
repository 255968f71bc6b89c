// The audio module's WAV reader: the PCM layouts it takes and the damaged files it refuses.

#include "platform/audio/wav_reader.h"
#include "tests/platform/wav_test_files.h"

#include <gtest/gtest.h>

using audio::ReadWav;
using audio::WavSound;

TEST(WavReader, DecodesPcmLayouts) {
    const struct {
        const char* name;
        WavSpec spec;
        int rate, channels;
        std::vector<std::int16_t> frames;
    } cases[] = {
        {"8-bit mono, unsigned", {.bits = 8, .data = {0, 128, 255}}, 22050, 1, {-32768, 0, 32512}},
        {"16-bit stereo", {.channels = 2, .rate = 44100, .data = Pcm16({1, -2, 300, -32768})}, 44100, 2,
         {1, -2, 300, -32768}},
        {"odd chunk before the format", {.data = Pcm16({7, 8}), .junkChunkFirst = true}, 22050, 1, {7, 8}},
        {"a half frame at the end is dropped", {.channels = 2, .data = {1, 0, 2, 0, 3, 0}}, 22050, 2, {1, 2}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> file = MakeWav(c.spec);
        file.push_back(0x55);  // bytes after the RIFF chunk are ignored
        WavSound sound;
        ASSERT_TRUE(ReadWav(file.data(), file.size(), sound)) << c.name;
        EXPECT_EQ(sound.rate, c.rate) << c.name;
        EXPECT_EQ(sound.channels, c.channels) << c.name;
        EXPECT_EQ(sound.frames, c.frames) << c.name;
    }
}

TEST(WavReader, RefusesWhatItCannotPlayOrTrust) {
    const std::vector<std::uint8_t> pcm = Pcm16({1, 2, 3, 4});
    const struct {
        const char* name;
        WavSpec spec;
    } cases[] = {
        {"float format", {.tag = 3, .bits = 32, .data = pcm}},
        {"no channels", {.channels = 0, .data = pcm}},
        {"three channels", {.channels = 3, .data = pcm}},
        {"24-bit", {.bits = 24, .data = pcm}},
        {"rate 0", {.rate = 0, .data = pcm}},
        {"block size lies", {.blockAlign = 1, .data = pcm}},
        {"byte rate lies", {.byteRate = 1000, .data = pcm}},
        {"data longer than the file", {.data = pcm, .dataLength = 0x7FFFFFF0}},
        {"RIFF longer than the file", {.data = pcm, .riffSize = 0xFFFFFFFF}},
        {"no format", {.data = pcm, .withFormat = false}},
        {"no data", {.withData = false}},
        {"empty data", {}},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> file = MakeWav(c.spec);
        WavSound sound;
        EXPECT_FALSE(ReadWav(file.data(), file.size(), sound)) << c.name;
        EXPECT_TRUE(sound.frames.empty()) << c.name;
    }
    // Every truncation of a good file fails without reading past its end.
    const std::vector<std::uint8_t> good = MakeWav({.data = pcm});
    for (std::size_t size = 0; size < good.size(); ++size) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        WavSound sound;
        EXPECT_FALSE(ReadWav(cut.data(), cut.size(), sound)) << size;
    }
}

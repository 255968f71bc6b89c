// The audio module's WAV reader: the layouts it converts and the damaged files it refuses.

#include "platform/audio/wav_reader.h"
#include "tests/platform/wav_test_files.h"

#include <gtest/gtest.h>

TEST(WavReader, ConvertsToSigned16Bit) {
    // 8-bit is unsigned; a chunk before the format and a half frame at the end are passed over.
    const std::vector<std::uint8_t> file = MakeWav({.channels = 2, .bits = 8, .data = {0, 128, 255}, .junkChunkFirst = true});
    audio::WavSound sound;
    ASSERT_TRUE(audio::ReadWav(file.data(), file.size(), sound));
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.frames, (std::vector<std::int16_t>{-32768, 0}));
}

TEST(WavReader, RefusesWhatItCannotPlayOrTrust) {
    const std::vector<std::uint8_t> pcm = Pcm16({1, 2, 3, 4});
    const struct {
        const char* name;
        WavSpec spec;
    } cases[] = {
        {"float format", {.tag = 3, .bits = 32, .data = pcm}},
        {"three channels", {.channels = 3, .data = pcm}},
        {"24-bit", {.bits = 24, .data = pcm}},
        {"rate 0", {.rate = 0, .data = pcm}},
        {"block size lies", {.blockAlign = 1, .data = pcm}},
        {"data longer than the file", {.data = pcm, .dataLength = 0x7FFFFFF0}},
        {"RIFF longer than the file", {.data = pcm, .riffSize = 0xFFFFFFFF}},
        {"no format", {.data = pcm, .withFormat = false}},
        {"empty data", {}},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> file = MakeWav(c.spec);
        audio::WavSound sound;
        EXPECT_FALSE(audio::ReadWav(file.data(), file.size(), sound)) << c.name;
    }
    // Every truncation of a good file fails without reading past its end.
    const std::vector<std::uint8_t> good = MakeWav({.data = pcm});
    for (std::size_t size = 0; size < good.size(); ++size) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        audio::WavSound sound;
        EXPECT_FALSE(audio::ReadWav(cut.data(), cut.size(), sound)) << size;
    }
}

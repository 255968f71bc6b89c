#include "platform/audio/wav_reader.h"

#include <cstring>

namespace audio {

namespace {

constexpr std::uint32_t kMaxRate = 384000;
constexpr std::uint16_t kFormatPcm = 1;

std::uint32_t Little32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Little16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
bool IsTag(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

struct Format {
    std::uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    std::uint32_t rate = 0, byteRate = 0;
};

bool ValidFormat(const Format& f) {
    if (f.tag != kFormatPcm || (f.channels != 1 && f.channels != 2) || (f.bits != 8 && f.bits != 16)) return false;
    if (f.rate == 0 || f.rate > kMaxRate) return false;
    // The block and byte rates must agree with the sample layout.
    return f.blockAlign == f.channels * f.bits / 8 && f.byteRate == f.rate * f.blockAlign;
}

}  // namespace

bool ReadWav(const std::uint8_t* data, std::size_t size, WavSound& sound) {
    sound = WavSound{};
    if (data == nullptr || size < 12 || !IsTag(data, "RIFF") || !IsTag(data + 8, "WAVE")) return false;
    // The RIFF size may undercount trailing bytes, never claim more than there is.
    const std::uint64_t riffEnd = static_cast<std::uint64_t>(Little32(data + 4)) + 8;
    if (riffEnd > size) return false;

    Format format;
    bool haveFormat = false;
    const std::uint8_t* samples = nullptr;
    std::uint32_t sampleBytes = 0;
    std::uint64_t at = 12;
    while (at + 8 <= riffEnd) {
        const std::uint8_t* chunk = data + at;
        const std::uint32_t length = Little32(chunk + 4);
        if (at + 8 + length > riffEnd) return false;
        if (IsTag(chunk, "fmt ")) {
            if (length < 16 || haveFormat) return false;
            format = {Little16(chunk + 8),  Little16(chunk + 10), Little16(chunk + 20),
                      Little16(chunk + 22), Little32(chunk + 12), Little32(chunk + 16)};
            haveFormat = true;
        } else if (IsTag(chunk, "data")) {
            if (samples != nullptr) return false;
            samples = chunk + 8;
            sampleBytes = length;
        }
        at += 8 + static_cast<std::uint64_t>(length) + (length & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat || samples == nullptr || !ValidFormat(format)) return false;

    const std::size_t frameCount = sampleBytes / format.blockAlign;
    if (frameCount == 0) return false;
    const std::size_t values = frameCount * format.channels;
    sound.frames.resize(values);
    if (format.bits == 8) {
        for (std::size_t i = 0; i < values; ++i) sound.frames[i] = static_cast<std::int16_t>((samples[i] - 128) * 256);
    } else {
        for (std::size_t i = 0; i < values; ++i) sound.frames[i] = static_cast<std::int16_t>(Little16(samples + 2 * i));
    }
    sound.rate = static_cast<int>(format.rate);
    sound.channels = format.channels;
    return true;
}

}  // namespace audio

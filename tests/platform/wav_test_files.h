#pragma once
// WAV files for the audio tests, built field by field so each can be made to lie.

#include <cstdint>
#include <vector>

struct WavSpec {
    std::uint16_t tag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
    int blockAlign = -1;  // -1: what the layout gives
    std::vector<std::uint8_t> data;
    long long dataLength = -1;  // -1: data.size()
    long long riffSize = -1;    // -1: the true size
    bool junkChunkFirst = false;
    bool withFormat = true;
};

inline void PutLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> MakeWav(const WavSpec& spec) {
    std::vector<std::uint8_t> body;
    auto tag = [&](const char* t) { body.insert(body.end(), t, t + 4); };
    if (spec.junkChunkFirst) {
        tag("LIST");
        PutLe(body, 3, 4);
        body.insert(body.end(), {'a', 'b', 'c', 0});  // odd length, one pad byte
    }
    if (spec.withFormat) {
        const int align = spec.blockAlign >= 0 ? spec.blockAlign : spec.channels * spec.bits / 8;
        tag("fmt ");
        PutLe(body, 16, 4);
        PutLe(body, spec.tag, 2);
        PutLe(body, spec.channels, 2);
        PutLe(body, spec.rate, 4);
        PutLe(body, spec.rate * align, 4);
        PutLe(body, static_cast<std::uint16_t>(align), 2);
        PutLe(body, spec.bits, 2);
    }
    tag("data");
    PutLe(body, spec.dataLength >= 0 ? static_cast<std::uint64_t>(spec.dataLength) : spec.data.size(), 4);
    body.insert(body.end(), spec.data.begin(), spec.data.end());
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    PutLe(file, spec.riffSize >= 0 ? static_cast<std::uint64_t>(spec.riffSize) : body.size() + 4, 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

inline std::vector<std::uint8_t> Pcm16(const std::vector<std::int16_t>& values) {
    std::vector<std::uint8_t> out;
    for (std::int16_t v : values) PutLe(out, static_cast<std::uint16_t>(v), 2);
    return out;
}

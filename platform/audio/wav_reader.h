#pragma once
// RIFF/WAVE files from memory: uncompressed PCM, 8-bit (unsigned) or 16-bit (signed), one or two
// channels, any rate. Anything else, a chunk that runs past the end, a format block that
// contradicts itself or a file without sound fails cleanly.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

struct WavSound {
    int rate = 0;                      // frames per second
    int channels = 0;                  // 1 or 2
    std::vector<std::int16_t> frames;  // interleaved, 16-bit

    std::size_t FrameCount() const { return channels > 0 ? frames.size() / channels : 0; }
};

bool ReadWav(const std::uint8_t* data, std::size_t size, WavSound& sound);

}  // namespace audio

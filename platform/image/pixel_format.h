#pragma once
// Conversion between 0xAARRGGBB texels and the texture formats the loader writes, by their
// D3DFORMAT numbers. Channels are rescaled with rounding (v * max + 127) / 255, so 0x80 -> 16
// of 31 and alpha 0x7F -> 0, 0x80 -> 1 for one-bit alpha. "X" channels are written all ones.
// Multi-byte texels are stored little-endian, as Direct3D lays them out.

#include <cstddef>
#include <cstdint>

#include "platform/win/win_types.h"

namespace image {

enum : DWORD {
    kFormatUnknown = 0,
    kFormatR8G8B8 = 20,
    kFormatA8R8G8B8 = 21,
    kFormatX8R8G8B8 = 22,
    kFormatR5G6B5 = 23,
    kFormatX1R5G5B5 = 24,
    kFormatA1R5G5B5 = 25,
    kFormatA4R4G4B4 = 26,
    kFormatA8 = 28,
    kFormatX4R4G4B4 = 30,
    kFormatA8B8G8R8 = 32,
    kFormatX8B8G8R8 = 33,
    kFormatA16B16G16R16 = 36,
    kFormatP8 = 41,
    kFormatL8 = 50,
    kFormatA8L8 = 51,
    kFormatL16 = 81,
};

// Bytes per texel of a format this layer can write; 0 for any other format.
int BytesPerTexel(DWORD format);
bool CanConvertTo(DWORD format);
bool FormatHasAlpha(DWORD format);

// Writes `count` texels of `argb` in `format` to `out` (BytesPerTexel(format) * count bytes).
// False (nothing written) for a format this layer cannot write.
bool EncodeTexels(const std::uint32_t* argb, int count, DWORD format, void* out);

// Reads `count` texels of `format` back into 0xAARRGGBB (channels widened by replication;
// formats without alpha read as 0xFF, L8 as grey). False for a format this layer cannot read.
bool DecodeTexels(const void* in, int count, DWORD format, std::uint32_t* argb);

// Rounded rescale of an 8-bit channel to `bits` bits, and back by bit replication.
constexpr unsigned QuantizeChannel(unsigned value8, int bits) {
    const unsigned max = (1u << bits) - 1u;
    return (value8 * max + 127u) / 255u;
}
constexpr unsigned ExpandChannel(unsigned value, int bits) {
    const unsigned max = (1u << bits) - 1u;
    return (value * 255u + max / 2u) / max;
}

}  // namespace image

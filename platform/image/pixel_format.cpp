#include "platform/image/pixel_format.h"

#include "platform/image/image.h"

#include <bit>
#include <cstring>

namespace image {
namespace {

void Put16(std::uint8_t* out, unsigned v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* out, std::uint32_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
    out[2] = static_cast<std::uint8_t>(v >> 16);
    out[3] = static_cast<std::uint8_t>(v >> 24);
}

unsigned Get16(const std::uint8_t* in) { return in[0] | (in[1] << 8); }

std::uint32_t Get32(const std::uint8_t* in) {
    return in[0] | (in[1] << 8) | (in[2] << 16) | (std::uint32_t{in[3]} << 24);
}

// Rec. 601 luma, rounded; used when colour goes into a luminance format.
unsigned Luma(unsigned r, unsigned g, unsigned b) { return (r * 299 + g * 587 + b * 114 + 500) / 1000; }

unsigned Pack16(std::uint32_t c, int abits, int rbits, int gbits, int bbits, bool xAlpha) {
    const unsigned a = c >> 24, r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    const unsigned qa = xAlpha ? (1u << abits) - 1u : QuantizeChannel(a, abits);
    return (qa << (rbits + gbits + bbits)) | (QuantizeChannel(r, rbits) << (gbits + bbits)) |
           (QuantizeChannel(g, gbits) << bbits) | QuantizeChannel(b, bbits);
}

std::uint32_t Unpack16(unsigned v, int abits, int rbits, int gbits, int bbits) {
    const unsigned b = v & ((1u << bbits) - 1u);
    const unsigned g = (v >> bbits) & ((1u << gbits) - 1u);
    const unsigned r = (v >> (bbits + gbits)) & ((1u << rbits) - 1u);
    const unsigned a = abits > 0 ? (v >> (bbits + gbits + rbits)) & ((1u << abits) - 1u) : 0u;
    return ((abits > 0 ? ExpandChannel(a, abits) : 0xFFu) << 24) | (ExpandChannel(r, rbits) << 16) |
           (ExpandChannel(g, gbits) << 8) | ExpandChannel(b, bbits);
}

}  // namespace

int BytesPerTexel(DWORD format) {
    switch (format) {
        case kFormatA8R8G8B8:
        case kFormatX8R8G8B8:
        case kFormatA8B8G8R8:
        case kFormatX8B8G8R8:
            return 4;
        case kFormatR8G8B8:
            return 3;
        case kFormatR5G6B5:
        case kFormatX1R5G5B5:
        case kFormatA1R5G5B5:
        case kFormatA4R4G4B4:
        case kFormatX4R4G4B4:
        case kFormatA8L8:
            return 2;
        case kFormatA8:
        case kFormatL8:
            return 1;
        default:
            return 0;
    }
}

bool CanConvertTo(DWORD format) { return BytesPerTexel(format) != 0; }

bool FormatHasAlpha(DWORD format) {
    switch (format) {
        case kFormatA8R8G8B8:
        case kFormatA1R5G5B5:
        case kFormatA4R4G4B4:
        case kFormatA8:
        case kFormatA8B8G8R8:
        case kFormatA16B16G16R16:
        case kFormatA8L8:
            return true;
        default:
            return false;
    }
}

namespace {

// One tight loop per format: `put` writes one texel of `size` bytes.
template <typename Put>
void EncodeLoop(const std::uint32_t* argb, int count, int size, std::uint8_t* o, Put put) {
    for (int i = 0; i < count; ++i, o += size) put(o, argb[i]);
}

}  // namespace

bool EncodeTexels(const std::uint32_t* argb, int count, DWORD format, void* out) {
    auto* o = static_cast<std::uint8_t*>(out);
    const int size = BytesPerTexel(format);
    if (size == 0) return false;
    switch (format) {
        case kFormatA8R8G8B8:
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(o, argb, static_cast<std::size_t>(count) * 4);
            } else {
                EncodeLoop(argb, count, 4, o, [](std::uint8_t* t, std::uint32_t c) { Put32(t, c); });
            }
            break;
        case kFormatX8R8G8B8:
            EncodeLoop(argb, count, 4, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put32(t, c | 0xFF000000u); });
            break;
        case kFormatA8B8G8R8:
        case kFormatX8B8G8R8: {
            const std::uint32_t x = format == kFormatX8B8G8R8 ? 0xFF000000u : 0u;
            EncodeLoop(argb, count, 4, o, [x](std::uint8_t* t, std::uint32_t c) {
                Put32(t, (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF) | x);
            });
            break;
        }
        case kFormatR8G8B8:
            EncodeLoop(argb, count, 3, o, [](std::uint8_t* t, std::uint32_t c) {
                t[0] = static_cast<std::uint8_t>(c);
                t[1] = static_cast<std::uint8_t>(c >> 8);
                t[2] = static_cast<std::uint8_t>(c >> 16);
            });
            break;
        case kFormatR5G6B5:
            EncodeLoop(argb, count, 2, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put16(t, Pack16(c, 0, 5, 6, 5, false)); });
            break;
        case kFormatX1R5G5B5:
            EncodeLoop(argb, count, 2, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put16(t, Pack16(c, 1, 5, 5, 5, true)); });
            break;
        case kFormatA1R5G5B5:
            EncodeLoop(argb, count, 2, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put16(t, Pack16(c, 1, 5, 5, 5, false)); });
            break;
        case kFormatA4R4G4B4:
            EncodeLoop(argb, count, 2, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put16(t, Pack16(c, 4, 4, 4, 4, false)); });
            break;
        case kFormatX4R4G4B4:
            EncodeLoop(argb, count, 2, o,
                       [](std::uint8_t* t, std::uint32_t c) { Put16(t, Pack16(c, 4, 4, 4, 4, true)); });
            break;
        case kFormatA8:
            EncodeLoop(argb, count, 1, o,
                       [](std::uint8_t* t, std::uint32_t c) { t[0] = static_cast<std::uint8_t>(c >> 24); });
            break;
        case kFormatL8:
            EncodeLoop(argb, count, 1, o, [](std::uint8_t* t, std::uint32_t c) {
                t[0] = static_cast<std::uint8_t>(Luma((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
            });
            break;
        case kFormatA8L8:
            EncodeLoop(argb, count, 2, o, [](std::uint8_t* t, std::uint32_t c) {
                t[0] = static_cast<std::uint8_t>(Luma((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
                t[1] = static_cast<std::uint8_t>(c >> 24);
            });
            break;
        default:
            return false;
    }
    return true;
}

bool DecodeTexels(const void* in, int count, DWORD format, std::uint32_t* argb) {
    const auto* p = static_cast<const std::uint8_t*>(in);
    const int size = BytesPerTexel(format);
    if (size == 0) return false;
    for (int i = 0; i < count; ++i, p += size) {
        std::uint32_t c = 0;
        switch (format) {
            case kFormatA8R8G8B8:
                c = Get32(p);
                break;
            case kFormatX8R8G8B8:
                c = Get32(p) | 0xFF000000u;
                break;
            case kFormatA8B8G8R8:
            case kFormatX8B8G8R8: {
                const std::uint32_t v = Get32(p);
                const std::uint32_t a = format == kFormatX8B8G8R8 ? 0xFFu : v >> 24;
                c = (a << 24) | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
                break;
            }
            case kFormatR8G8B8:
                c = PackArgb(0xFF, p[2], p[1], p[0]);
                break;
            case kFormatR5G6B5:
                c = Unpack16(Get16(p), 0, 5, 6, 5);
                break;
            case kFormatX1R5G5B5:
                c = Unpack16(Get16(p), 0, 5, 5, 5);
                break;
            case kFormatA1R5G5B5:
                c = Unpack16(Get16(p), 1, 5, 5, 5);
                break;
            case kFormatA4R4G4B4:
                c = Unpack16(Get16(p), 4, 4, 4, 4);
                break;
            case kFormatX4R4G4B4:
                c = Unpack16(Get16(p), 0, 4, 4, 4);
                break;
            case kFormatA8:
                c = std::uint32_t{p[0]} << 24;
                break;
            case kFormatL8:
                c = PackArgb(0xFF, p[0], p[0], p[0]);
                break;
            case kFormatA8L8:
                c = PackArgb(p[1], p[0], p[0], p[0]);
                break;
            default:
                return false;
        }
        argb[i] = c;
    }
    return true;
}

}  // namespace image

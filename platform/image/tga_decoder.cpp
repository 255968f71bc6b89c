// TGA reader: true-colour (16, 24, 32 bits) and greyscale (8 bits), uncompressed (types 2, 3)
// and run-length encoded (types 10, 11). Descriptor bit 0x20 puts the first row at the top,
// bit 0x10 the first column at the right. A colour map, if present, is skipped.
// 32-bit images keep their stored alpha; 16-bit ones use their top bit as alpha only when the
// descriptor declares one attribute bit.

#include "platform/image/image.h"
#include "platform/image/pixel_format.h"

#include <algorithm>

namespace image {
namespace {

constexpr std::size_t kHeaderSize = 18;

struct TgaHeader {
    int idLength, colorMapType, imageType;
    int mapLength, mapEntryBits;
    int width, height, bits, descriptor;
    std::size_t dataOffset;
};

unsigned Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

bool ParseHeader(const std::uint8_t* b, std::size_t length, TgaHeader& h) {
    if (b == nullptr || length < kHeaderSize) return false;
    h.idLength = b[0];
    h.colorMapType = b[1];
    h.imageType = b[2];
    h.mapLength = static_cast<int>(Get16(b + 5));
    h.mapEntryBits = b[7];
    h.width = static_cast<int>(Get16(b + 12));
    h.height = static_cast<int>(Get16(b + 14));
    h.bits = b[16];
    h.descriptor = b[17];
    if (h.colorMapType > 1) return false;
    const int base = h.imageType & ~8;
    if (h.imageType > 11 || (base != 2 && base != 3)) return false;
    if (base == 2 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;
    if (base == 3 && h.bits != 8) return false;
    if ((h.descriptor & 0xC0) != 0) return false;  // interleaved rows: never written in practice
    if ((h.descriptor & 0x0F) > 8) return false;
    if (h.width < 1 || h.height < 1 || h.width > kMaxImageSide || h.height > kMaxImageSide) return false;
    std::size_t mapBytes = 0;
    if (h.colorMapType == 1) {
        const int entry = h.mapEntryBits;
        if (entry != 15 && entry != 16 && entry != 24 && entry != 32) return false;
        mapBytes = static_cast<std::size_t>(h.mapLength) * ((entry + 7) / 8);
    } else if (h.mapLength != 0 || h.mapEntryBits != 0) {
        return false;
    }
    h.dataOffset = kHeaderSize + h.idLength + mapBytes;
    return h.dataOffset < length;
}

void FillInfo(const TgaHeader& h, ImageInfo& info) {
    info.width = h.width;
    info.height = h.height;
    info.fileFormat = FileFormat::Tga;
    info.bitsPerPixel = h.bits;
    const int alphaBits = h.descriptor & 0x0F;
    switch (h.bits) {
        case 8:
            info.sourceFormat = kFormatL8;
            break;
        case 16:
            info.sourceFormat = alphaBits > 0 ? kFormatA1R5G5B5 : kFormatX1R5G5B5;
            break;
        case 24:
            info.sourceFormat = kFormatR8G8B8;
            break;
        default:
            info.sourceFormat = kFormatA8R8G8B8;
            break;
    }
    info.hasAlpha = h.bits == 32 || (h.bits == 16 && alphaBits > 0);
}

std::uint32_t ReadPixel(const std::uint8_t* p, int bits, bool alpha16) {
    switch (bits) {
        case 8:
            return PackArgb(0xFF, p[0], p[0], p[0]);
        case 16: {
            const unsigned v = Get16(p);
            const unsigned a = alpha16 ? ((v & 0x8000) ? 0xFFu : 0u) : 0xFFu;
            return PackArgb(a, ExpandChannel((v >> 10) & 31, 5), ExpandChannel((v >> 5) & 31, 5),
                            ExpandChannel(v & 31, 5));
        }
        case 24:
            return PackArgb(0xFF, p[2], p[1], p[0]);
        default:
            return PackArgb(p[3], p[2], p[1], p[0]);
    }
}

}  // namespace

bool ReadTgaInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info) {
    TgaHeader h;
    if (!ParseHeader(bytes, length, h)) return false;
    FillInfo(h, info);
    return true;
}

bool DecodeTga(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info) {
    image.Clear();
    TgaHeader h;
    if (!ParseHeader(bytes, length, h)) return false;
    FillInfo(h, info);
    const int size = h.bits / 8;
    const std::size_t count = static_cast<std::size_t>(h.width) * h.height;
    const std::uint8_t* p = bytes + h.dataOffset;
    const std::uint8_t* end = bytes + length;
    const std::size_t available = static_cast<std::size_t>(end - p);
    const bool rle = (h.imageType & 8) != 0;
    // A run packet of 1 + size bytes yields at most 128 pixels: reject before allocating.
    if (!rle && available / size < count) return false;
    if (rle && available / (1 + size) * 128 + 128 < count) return false;
    if (!image.Allocate(h.width, h.height)) return false;
    const bool alpha16 = (h.descriptor & 0x0F) > 0;

    std::uint32_t* out = image.pixels.data();
    if (rle) {
        std::size_t done = 0;
        while (done < count) {
            if (p >= end) {
                image.Clear();
                return false;
            }
            const int header = *p++;
            const std::size_t run = std::min<std::size_t>((header & 0x7F) + 1, count - done);
            if (header & 0x80) {
                if (end - p < size) {
                    image.Clear();
                    return false;
                }
                const std::uint32_t c = ReadPixel(p, h.bits, alpha16);
                p += size;
                for (std::size_t i = 0; i < run; ++i) out[done++] = c;
            } else {
                if (static_cast<std::size_t>(end - p) / size < run) {
                    image.Clear();
                    return false;
                }
                for (std::size_t i = 0; i < run; ++i, p += size) out[done++] = ReadPixel(p, h.bits, alpha16);
            }
        }
    } else {
        for (std::size_t i = 0; i < count; ++i, p += size) out[i] = ReadPixel(p, h.bits, alpha16);
    }

    // Stored rows run bottom-up unless bit 0x20 says top-down; columns right-to-left with 0x10.
    const int w = h.width;
    if ((h.descriptor & 0x20) == 0) {
        for (int top = 0, bottom = h.height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(out + static_cast<std::size_t>(top) * w,
                             out + static_cast<std::size_t>(top + 1) * w,
                             out + static_cast<std::size_t>(bottom) * w);
        }
    }
    if ((h.descriptor & 0x10) != 0) {
        for (int y = 0; y < h.height; ++y)
            std::reverse(out + static_cast<std::size_t>(y) * w, out + static_cast<std::size_t>(y + 1) * w);
    }
    return true;
}

}  // namespace image

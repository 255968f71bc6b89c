// BMP reader: Windows (40- to 124-byte) and OS/2 (12-byte) info headers; palettised 1, 4 and
// 8 bits, 16 bits (5-5-5 or bit fields), 24 bits, 32 bits (alpha ignored unless the header
// gives an alpha mask); uncompressed or bit fields. A positive height stores rows bottom-up,
// a negative one top-down. Palette indices beyond the palette read as opaque black.

#include "platform/image/image.h"
#include "platform/image/pixel_format.h"

#include <bit>

namespace image {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0, kBiBitFields = 3, kBiAlphaBitFields = 6;

std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    int width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    std::size_t paletteOffset = 0;
    int paletteEntries = 0;
    int paletteEntrySize = 4;
    std::size_t stride = 0;
};

bool ParseHeader(const std::uint8_t* b, std::size_t length, BmpHeader& h) {
    if (b == nullptr || length < kFileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M') return false;
    h.dataOffset = Get32(b + 10);
    h.headerSize = Get32(b + 14);
    const std::uint8_t* info = b + kFileHeaderSize;
    std::int64_t width = 0, height = 0;
    if (h.headerSize == 12) {
        width = Get16(info + 4);
        height = Get16(info + 6);
        if (Get16(info + 8) != 1) return false;
        h.bits = static_cast<int>(Get16(info + 10));
        h.paletteEntrySize = 3;
    } else {
        if (h.headerSize < 40 || h.headerSize > 124 || length < kFileHeaderSize + h.headerSize) return false;
        width = static_cast<std::int32_t>(Get32(info + 4));
        height = static_cast<std::int32_t>(Get32(info + 8));
        if (Get16(info + 12) != 1) return false;
        h.bits = static_cast<int>(Get16(info + 14));
        h.compression = Get32(info + 16);
        h.paletteEntries = static_cast<int>(std::min<std::uint32_t>(Get32(info + 32), 1u << 16));
        if (h.headerSize >= 52) {
            for (int i = 0; i < 3; ++i) h.masks[i] = Get32(info + 40 + 4 * i);
        }
        if (h.headerSize >= 56) h.masks[3] = Get32(info + 52);
    }
    if (height < 0) {
        h.topDown = true;
        height = -height;
    }
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return false;
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);
    const int bits = h.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    std::size_t afterHeader = kFileHeaderSize + h.headerSize;
    if (h.compression == kBiBitFields || h.compression == kBiAlphaBitFields) {
        if (bits != 16 && bits != 32) return false;
        if (h.headerSize == 40) {
            // The masks follow the 40-byte header.
            const std::size_t count = h.compression == kBiAlphaBitFields ? 4 : 3;
            if (length < afterHeader + 4 * count) return false;
            for (std::size_t i = 0; i < count; ++i) h.masks[i] = Get32(b + afterHeader + 4 * i);
            afterHeader += 4 * count;
        }
        if (h.masks[0] == 0 || h.masks[1] == 0 || h.masks[2] == 0) return false;
    } else if (h.compression == kBiRgb) {
        for (std::uint32_t& mask : h.masks) mask = 0;  // header masks only count with bit fields
        if (bits == 16) {
            h.masks[0] = 0x7C00;
            h.masks[1] = 0x03E0;
            h.masks[2] = 0x001F;
        } else if (bits == 32) {
            h.masks[0] = 0x00FF0000;
            h.masks[1] = 0x0000FF00;
            h.masks[2] = 0x000000FF;
        }
    } else {
        return false;  // run-length and embedded JPEG/PNG bitmaps are not read
    }

    if (bits <= 8) {
        const int maxEntries = 1 << bits;
        if (h.paletteEntries == 0 || h.paletteEntries > maxEntries) h.paletteEntries = maxEntries;
        h.paletteOffset = afterHeader;
        // The palette must lie before the pixels and inside the file; a short one is cut.
        const std::size_t paletteEnd = std::min<std::size_t>(h.dataOffset, length);
        if (paletteEnd < afterHeader) return false;
        const std::size_t fits = (paletteEnd - afterHeader) / h.paletteEntrySize;
        h.paletteEntries = static_cast<int>(std::min<std::size_t>(h.paletteEntries, fits));
        if (h.paletteEntries == 0) return false;
    }
    h.stride = (static_cast<std::size_t>(h.width) * bits + 31) / 32 * 4;
    return h.dataOffset >= afterHeader && h.dataOffset < length;
}

void FillInfo(const BmpHeader& h, ImageInfo& info) {
    info.width = h.width;
    info.height = h.height;
    info.fileFormat = FileFormat::Bmp;
    info.bitsPerPixel = h.bits;
    info.hasAlpha = h.masks[3] != 0;
    if (h.bits <= 8) {
        info.sourceFormat = kFormatP8;
    } else if (h.bits == 16) {
        info.sourceFormat = h.masks[1] == 0x07E0 ? kFormatR5G6B5
                            : info.hasAlpha      ? kFormatA1R5G5B5
                                                 : kFormatX1R5G5B5;
    } else if (h.bits == 24) {
        info.sourceFormat = kFormatR8G8B8;
    } else {
        info.sourceFormat = info.hasAlpha ? kFormatA8R8G8B8 : kFormatX8R8G8B8;
    }
}

// One channel through a bit mask, widened to 8 bits.
struct MaskChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit MaskChannel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::min(8, std::countr_one(m >> shift));
        shift += std::countr_one(m >> shift) - bits;  // keep the top 8 bits of a wide mask
    }
    unsigned Read(std::uint32_t v, unsigned absent) const {
        if (mask == 0) return absent;
        return ExpandChannel((v >> shift) & ((1u << bits) - 1u), bits);
    }
};

}  // namespace

bool ReadBmpInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info) {
    BmpHeader h;
    if (!ParseHeader(bytes, length, h)) return false;
    FillInfo(h, info);
    return true;
}

bool DecodeBmp(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info) {
    image.Clear();
    BmpHeader h;
    if (!ParseHeader(bytes, length, h)) return false;
    FillInfo(h, info);
    // The last row need not carry its padding.
    const std::size_t lastRow = (static_cast<std::size_t>(h.width) * h.bits + 7) / 8;
    const std::size_t available = length - h.dataOffset;
    if (available < lastRow || (available - lastRow) / h.stride < static_cast<std::size_t>(h.height - 1))
        return false;
    if (!image.Allocate(h.width, h.height)) return false;

    std::vector<std::uint32_t> palette(static_cast<std::size_t>(1) << std::min(h.bits, 8), 0xFF000000u);
    if (h.bits <= 8) {
        const std::uint8_t* p = bytes + h.paletteOffset;
        for (int i = 0; i < h.paletteEntries; ++i, p += h.paletteEntrySize)
            palette[i] = PackArgb(0xFF, p[2], p[1], p[0]);
    }
    const MaskChannel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);

    for (int row = 0; row < h.height; ++row) {
        const std::uint8_t* src = bytes + h.dataOffset + static_cast<std::size_t>(row) * h.stride;
        const int y = h.topDown ? row : h.height - 1 - row;
        std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * h.width;
        for (int x = 0; x < h.width; ++x) {
            switch (h.bits) {
                case 1:
                    out[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    out[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                    break;
                case 8:
                    out[x] = palette[src[x]];
                    break;
                case 24:
                    out[x] = PackArgb(0xFF, src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                default: {
                    const std::uint32_t v = h.bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
                    out[x] = PackArgb(alpha.Read(v, 0xFF), red.Read(v, 0), green.Read(v, 0), blue.Read(v, 0));
                    break;
                }
            }
        }
    }
    return true;
}

}  // namespace image

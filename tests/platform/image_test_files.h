#pragma once
// Small image files written byte by byte (TGA, BMP) or through the encoders (PNG, JPEG) for
// the image tests and the seed-corpus generator.

#include <cstdint>
#include <vector>

#include "platform/image/image.h"
#include "platform/image/image_encoder.h"

namespace image_test {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A w x h image with distinct texels: alpha varies too unless `opaque`.
inline image::Image Pattern(int w, int h, bool opaque) {
    image::Image img;
    img.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned a = opaque ? 0xFF : (0x40 + 0x30 * x + 0x11 * y) & 0xFF;
            img.pixels[y * w + x] =
                image::PackArgb(a, (37 * x + 11) & 0xFF, (91 * y + 5) & 0xFF, (13 * (x + y)) & 0xFF);
        }
    }
    return img;
}

// TGA, true colour or grey, uncompressed or run-length encoded (runs of equal texels within
// a row become run packets; others raw packets).
inline Bytes Tga(const image::Image& img, int bits, bool rle, bool topDown, bool rightToLeft = false) {
    const int type = (bits == 8 ? 3 : 2) + (rle ? 8 : 0);
    Bytes b = {0, 0, static_cast<std::uint8_t>(type), 0, 0, 0, 0, 0};
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, img.width);
    Put16(b, img.height);
    b.push_back(static_cast<std::uint8_t>(bits));
    b.push_back(
        static_cast<std::uint8_t>((topDown ? 0x20 : 0) | (rightToLeft ? 0x10 : 0) | (bits == 32 ? 8 : 0)));
    auto texel = [&](Bytes& out, std::uint32_t c) {
        if (bits == 8) {
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            return;
        }
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (bits == 32) out.push_back(static_cast<std::uint8_t>(c >> 24));
    };
    for (int r = 0; r < img.height; ++r) {
        const int y = topDown ? r : img.height - 1 - r;
        std::vector<std::uint32_t> row;
        for (int i = 0; i < img.width; ++i) row.push_back(img.At(rightToLeft ? img.width - 1 - i : i, y));
        if (!rle) {
            for (std::uint32_t c : row) texel(b, c);
            continue;
        }
        for (std::size_t i = 0; i < row.size();) {
            std::size_t run = 1;
            while (i + run < row.size() && row[i + run] == row[i] && run < 128) ++run;
            if (run > 1) {
                b.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
                texel(b, row[i]);
            } else {
                b.push_back(0);
                texel(b, row[i]);
            }
            i += run;
        }
    }
    return b;
}

// BMP with a 40-byte header: 24 or 32 bits, or 8 bits with `palette` (indices in `indices`).
inline Bytes Bmp(const image::Image& img, int bits, bool topDown,
                 const std::vector<std::uint32_t>& palette = {},
                 const std::vector<std::uint8_t>& indices = {}) {
    const std::size_t stride = (static_cast<std::size_t>(img.width) * bits + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    Bytes b = {'B', 'M'};
    Put32(b, offset + static_cast<std::uint32_t>(stride * img.height));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(img.width));
    Put32(b, static_cast<std::uint32_t>(topDown ? -img.height : img.height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(stride * img.height));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, static_cast<std::uint32_t>(palette.size()));
    Put32(b, 0);
    for (std::uint32_t c : palette) Put32(b, c & 0xFFFFFF);
    for (int r = 0; r < img.height; ++r) {
        const int y = topDown ? r : img.height - 1 - r;
        const std::size_t start = b.size();
        for (int x = 0; x < img.width; ++x) {
            const std::uint32_t c = img.At(x, y);
            if (bits == 8) {
                b.push_back(indices[y * img.width + x]);
            } else {
                b.push_back(static_cast<std::uint8_t>(c));
                b.push_back(static_cast<std::uint8_t>(c >> 8));
                b.push_back(static_cast<std::uint8_t>(c >> 16));
                if (bits == 32) b.push_back(static_cast<std::uint8_t>(c >> 24));
            }
        }
        while (b.size() - start < stride) b.push_back(0);
    }
    return b;
}

inline Bytes Png(const image::Image& img) {
    Bytes out;
    image::EncodePng(img, out);
    return out;
}

inline Bytes Jpeg(const image::Image& img, bool progressive, bool grey, int quality = 95) {
    Bytes out;
    image::EncodeJpeg(img, {quality, progressive, grey}, out);
    return out;
}

}  // namespace image_test

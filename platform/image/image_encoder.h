#pragma once
// PNG and JPEG writers (libpng, libjpeg) for generated images and test files. Failures
// (libpng or libjpeg errors) return false with `out` empty.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/image/image.h"

namespace image {

// Raw PNG rows as libpng takes them: `rows` holds height rows of png_get_rowbytes bytes
// each (16-bit samples big-endian). colorType and bitDepth are PNG's numbers.
struct PngLayout {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = 6;  // RGBA
    bool interlaced = false;
    std::vector<std::uint8_t> palette;              // RGB triples (colour type 3)
    std::vector<std::uint8_t> transparency;         // tRNS: alpha per palette entry
    bool hasTransparentColor = false;               // tRNS for grey / RGB
    std::uint16_t transparentColor[3] = {0, 0, 0};  // grey in [0], or R, G, B
};
bool EncodePngRows(const PngLayout& layout, const std::vector<std::uint8_t>& rows,
                   std::vector<std::uint8_t>& out);

// An 8-bit RGBA PNG of the image.
bool EncodePng(const Image& image, std::vector<std::uint8_t>& out);

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    bool greyscale = false;
};
bool EncodeJpeg(const Image& image, const JpegOptions& options, std::vector<std::uint8_t>& out);

}  // namespace image

#pragma once
// Decoded images and the decoders for the image files the texture loader receives in memory:
// PNG (libpng), JPEG (libjpeg), TGA and BMP (our own readers). The format is found from the
// content: PNG, JPEG and BMP by their magic numbers, TGA by elimination, with header checks.
//
// Pixels are 32-bit values 0xAARRGGBB (the layout of D3DCOLOR and D3DFMT_A8R8G8B8), row by
// row from the top, no padding. Formats without alpha decode with alpha 0xFF.
//
// Every decoder fails cleanly (false, `image` left empty) on truncated data, wrong magic
// numbers, sizes the data cannot fill, or a side above kMaxImageSide; it never allocates
// more than the data can fill. The structures use no Direct3D object; formats are D3DFORMAT
// numbers.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win/win_types.h"

namespace image {

constexpr int kMaxImageSide = 16384;

// The numbers of D3DXIMAGE_FILEFORMAT.
enum class FileFormat : int { Unknown = -1, Bmp = 0, Jpeg = 1, Tga = 2, Png = 3 };

// What a file holds, read from its header alone.
struct ImageInfo {
    int width = 0;
    int height = 0;
    FileFormat fileFormat = FileFormat::Unknown;
    // D3DFORMAT of the stored pixels: R8G8B8 (24-bit), A8R8G8B8, X8R8G8B8, X1R5G5B5,
    // A1R5G5B5, P8 (palettised), L8, A8L8, L16, A16B16G16R16.
    DWORD sourceFormat = 0;
    int bitsPerPixel = 0;  // per stored pixel (index bits for palettised images)
    bool hasAlpha = false;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height values 0xAARRGGBB, top row first

    bool Empty() const { return pixels.empty(); }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Sizes the image (contents zero) after checking 1..kMaxImageSide on both sides.
    bool Allocate(int w, int h);
    void Clear();
};

// Unknown when no decoder claims the bytes.
FileFormat DetectFileFormat(const void* bytes, std::size_t length);

// Reads only the header; true when the header is sound (the pixel data is not checked).
bool ReadImageInfo(const void* bytes, std::size_t length, ImageInfo& info);

// Decodes a whole file. On failure `image` is empty and `info` (when given) unspecified.
bool DecodeImage(const void* bytes, std::size_t length, Image& image, ImageInfo* info = nullptr);

// One decoder each; they do not detect, only check their own magic numbers.
bool DecodePng(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info);
bool DecodeJpeg(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info);
bool DecodeTga(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info);
bool DecodeBmp(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info);
bool ReadPngInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info);
bool ReadJpegInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info);
bool ReadTgaInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info);
bool ReadBmpInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info);

constexpr std::uint32_t PackArgb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

}  // namespace image

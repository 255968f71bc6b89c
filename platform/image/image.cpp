#include "platform/image/image.h"

#include <cstring>

namespace image {

bool Image::Allocate(int w, int h) {
    Clear();
    if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide) return false;
    width = w;
    height = h;
    pixels.assign(static_cast<std::size_t>(w) * h, 0u);
    return true;
}

void Image::Clear() {
    width = 0;
    height = 0;
    pixels.clear();
    pixels.shrink_to_fit();
}

FileFormat DetectFileFormat(const void* bytes, std::size_t length) {
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    if (b == nullptr) return FileFormat::Unknown;
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length >= 8 && std::memcmp(b, kPng, 8) == 0) return FileFormat::Png;
    if (length >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return FileFormat::Jpeg;
    if (length >= 2 && b[0] == 'B' && b[1] == 'M') return FileFormat::Bmp;
    // TGA has no magic number: whatever else has a sound TGA header is one.
    ImageInfo info;
    if (ReadTgaInfo(b, length, info)) return FileFormat::Tga;
    return FileFormat::Unknown;
}

bool ReadImageInfo(const void* bytes, std::size_t length, ImageInfo& info) {
    info = ImageInfo{};
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    switch (DetectFileFormat(bytes, length)) {
        case FileFormat::Png:
            return ReadPngInfo(b, length, info);
        case FileFormat::Jpeg:
            return ReadJpegInfo(b, length, info);
        case FileFormat::Bmp:
            return ReadBmpInfo(b, length, info);
        case FileFormat::Tga:
            return ReadTgaInfo(b, length, info);
        case FileFormat::Unknown:
            break;
    }
    return false;
}

bool DecodeImage(const void* bytes, std::size_t length, Image& image, ImageInfo* info) {
    image.Clear();
    ImageInfo local;
    ImageInfo& out = info != nullptr ? *info : local;
    out = ImageInfo{};
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    bool ok = false;
    switch (DetectFileFormat(bytes, length)) {
        case FileFormat::Png:
            ok = DecodePng(b, length, image, out);
            break;
        case FileFormat::Jpeg:
            ok = DecodeJpeg(b, length, image, out);
            break;
        case FileFormat::Bmp:
            ok = DecodeBmp(b, length, image, out);
            break;
        case FileFormat::Tga:
            ok = DecodeTga(b, length, image, out);
            break;
        case FileFormat::Unknown:
            break;
    }
    if (!ok) image.Clear();
    return ok;
}

}  // namespace image

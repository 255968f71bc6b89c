// PNG through libpng: every colour type and bit depth is expanded to 8-bit RGBA (palettes,
// low bit depths, tRNS; 16-bit channels scaled with rounding), interlaced images included.
// libpng reports errors by longjmp back into the function that set the jump; no object with
// a destructor lives between setjmp and a possible longjmp.

#include "platform/image/image.h"
#include "platform/image/pixel_format.h"

#include <png.h>

#include <cstring>

namespace image {
namespace {

// Deflate cannot expand data by more than about 1032 times; a header that promises more raw
// bytes than the file could hold is refused before anything is allocated.
constexpr std::uint64_t kMaxInflateRatio = 1032;

struct MemoryReader {
    const std::uint8_t* bytes;
    std::size_t length;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->length - reader->position) png_error(png, "truncated");
    std::memcpy(out, reader->bytes + reader->position, count);
    reader->position += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

void ErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void FillInfo(png_structp png, png_infop pngInfo, ImageInfo& info) {
    const int colorType = png_get_color_type(png, pngInfo);
    const int depth = png_get_bit_depth(png, pngInfo);
    const bool trns = png_get_valid(png, pngInfo, PNG_INFO_tRNS) != 0;
    info.width = static_cast<int>(png_get_image_width(png, pngInfo));
    info.height = static_cast<int>(png_get_image_height(png, pngInfo));
    info.fileFormat = FileFormat::Png;
    info.bitsPerPixel = depth * png_get_channels(png, pngInfo);
    info.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || trns;
    switch (colorType) {
        case PNG_COLOR_TYPE_PALETTE:
            info.sourceFormat = kFormatP8;
            break;
        case PNG_COLOR_TYPE_GRAY:
            info.sourceFormat = depth == 16 ? kFormatL16 : kFormatL8;
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            info.sourceFormat = depth == 16 ? kFormatA16B16G16R16 : kFormatA8L8;
            break;
        case PNG_COLOR_TYPE_RGB:
            info.sourceFormat = depth == 16 ? kFormatA16B16G16R16 : kFormatR8G8B8;
            break;
        default:
            info.sourceFormat = depth == 16 ? kFormatA16B16G16R16 : kFormatA8R8G8B8;
            break;
    }
    if (trns && colorType != PNG_COLOR_TYPE_GRAY_ALPHA && colorType != PNG_COLOR_TYPE_RGB_ALPHA) {
        info.sourceFormat = kFormatA8R8G8B8;
    }
}

// The libpng part; separate so that setjmp's frame holds only trivially destructible locals.
// `rows` is filled after the header checks; returns false on any libpng error.
bool Run(MemoryReader& reader, bool decode, ImageInfo& info, Image& image, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop pngInfo = png_create_info_struct(png);
    if (pngInfo == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, pngInfo);
    FillInfo(png, pngInfo, info);
    if (decode && rows.size() != static_cast<std::size_t>(info.height)) png_error(png, "height");
    const std::uint64_t rawBytes = (static_cast<std::uint64_t>(png_get_rowbytes(png, pngInfo)) + 1) *
                                   static_cast<std::uint64_t>(info.height);
    if (rawBytes > static_cast<std::uint64_t>(reader.length) * kMaxInflateRatio + 4096) {
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return false;
    }
    if (!decode) {
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return true;
    }

    png_set_expand(png);  // palette -> RGB, grey < 8 bits -> 8 bits, tRNS -> alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, pngInfo);
    if (png_get_rowbytes(png, pngInfo) != static_cast<png_size_t>(info.width) * 4) png_error(png, "layout");
    if (!image.Allocate(info.width, info.height)) png_error(png, "size");
    for (int y = 0; y < info.height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(image.pixels.data() + static_cast<std::size_t>(y) * info.width);
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &pngInfo, nullptr);
    return true;
}

bool ReadPng(const std::uint8_t* bytes, std::size_t length, bool decode, Image& image, ImageInfo& info) {
    if (bytes == nullptr || length < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
    MemoryReader reader{bytes, length, 0};
    // The row table is sized by the largest image allowed only once the header is known, so
    // it is made here with the header's height read ahead (IHDR is the first chunk).
    std::vector<png_bytep> rows;
    if (decode) {
        if (length < 24) return false;
        const std::uint32_t height =
            (std::uint32_t{bytes[20]} << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23];
        if (height < 1 || height > static_cast<std::uint32_t>(kMaxImageSide)) return false;
        rows.resize(height);
    }
    if (!Run(reader, decode, info, image, rows)) {
        image.Clear();
        return false;
    }
    if (!decode) return true;
    // libpng wrote R, G, B, A bytes; make them 0xAARRGGBB values.
    for (std::uint32_t& pixel : image.pixels) {
        std::uint8_t rgba[4];
        std::memcpy(rgba, &pixel, 4);
        pixel = PackArgb(rgba[3], rgba[0], rgba[1], rgba[2]);
    }
    return true;
}

}  // namespace

bool ReadPngInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info) {
    Image unused;
    return ReadPng(bytes, length, false, unused, info);
}

bool DecodePng(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info) {
    return ReadPng(bytes, length, true, image, info);
}

}  // namespace image

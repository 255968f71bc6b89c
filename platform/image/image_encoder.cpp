#include "platform/image/image_encoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>
#include <algorithm>
#include <cstdlib>

namespace image {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void NoFlush(png_structp) {}
void PngErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngIgnoreWarning(png_structp, png_const_charp) {}

// Everything between setjmp and longjmp is trivially destructible.
bool WritePng(const PngLayout& layout, png_bytep* rowPointers, std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorJump, PngIgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) {
        png_color colors[256];
        const int count = static_cast<int>(std::min<std::size_t>(layout.palette.size() / 3, 256));
        for (int i = 0; i < count; ++i) {
            colors[i] = {layout.palette[3 * i], layout.palette[3 * i + 1], layout.palette[3 * i + 2]};
        }
        png_set_PLTE(png, info, colors, count);
    }
    if (!layout.transparency.empty()) {
        png_set_tRNS(png, info, layout.transparency.data(), static_cast<int>(layout.transparency.size()),
                     nullptr);
    } else if (layout.hasTransparentColor) {
        png_color_16 color{};
        color.gray = layout.transparentColor[0];
        color.red = layout.transparentColor[0];
        color.green = layout.transparentColor[1];
        color.blue = layout.transparentColor[2];
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    png_set_rows(png, info, rowPointers);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}
void JpegSilent(j_common_ptr) {}

bool WriteJpeg(const JpegOptions& options, int width, int height, const std::uint8_t* samples,
               unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegErrorExit;
    errors.base.output_message = JpegSilent;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    const int channels = options.greyscale ? 1 : 3;
    cinfo.input_components = channels;
    cinfo.in_color_space = options.greyscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row[1] = {
            const_cast<JSAMPLE*>(samples + static_cast<std::size_t>(cinfo.next_scanline) * width * channels)};
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool EncodePngRows(const PngLayout& layout, const std::vector<std::uint8_t>& rows,
                   std::vector<std::uint8_t>& out) {
    out.clear();
    if (layout.width < 1 || layout.height < 1) return false;
    const int channels = layout.colorType == 0 || layout.colorType == 3 ? 1
                         : layout.colorType == 4                        ? 2
                         : layout.colorType == 2                        ? 3
                                                                        : 4;
    const std::size_t rowBytes =
        (static_cast<std::size_t>(layout.width) * channels * layout.bitDepth + 7) / 8;
    if (rows.size() < rowBytes * layout.height) return false;
    std::vector<png_bytep> pointers(layout.height);
    for (int y = 0; y < layout.height; ++y) pointers[y] = const_cast<png_bytep>(rows.data() + rowBytes * y);
    if (!WritePng(layout, pointers.data(), out)) {
        out.clear();
        return false;
    }
    return true;
}

bool EncodePng(const Image& image, std::vector<std::uint8_t>& out) {
    PngLayout layout;
    layout.width = image.width;
    layout.height = image.height;
    std::vector<std::uint8_t> rows(image.pixels.size() * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t c = image.pixels[i];
        rows[4 * i] = static_cast<std::uint8_t>(c >> 16);
        rows[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        rows[4 * i + 2] = static_cast<std::uint8_t>(c);
        rows[4 * i + 3] = static_cast<std::uint8_t>(c >> 24);
    }
    return EncodePngRows(layout, rows, out);
}

bool EncodeJpeg(const Image& image, const JpegOptions& options, std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.Empty()) return false;
    const int channels = options.greyscale ? 1 : 3;
    std::vector<std::uint8_t> samples(image.pixels.size() * channels);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t c = image.pixels[i];
        if (options.greyscale) {
            samples[i] = static_cast<std::uint8_t>((c >> 8) & 0xFF);  // green stands for grey
        } else {
            samples[3 * i] = static_cast<std::uint8_t>(c >> 16);
            samples[3 * i + 1] = static_cast<std::uint8_t>(c >> 8);
            samples[3 * i + 2] = static_cast<std::uint8_t>(c);
        }
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = WriteJpeg(options, image.width, image.height, samples.data(), &buffer, &size);
    if (ok && buffer != nullptr) out.assign(buffer, buffer + size);
    std::free(buffer);
    return ok && !out.empty();
}

}  // namespace image

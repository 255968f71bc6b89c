// JPEG through libjpeg: baseline and progressive, greyscale, YCbCr/RGB and (Adobe, inverted)
// CMYK/YCCK. libjpeg's errors end in a longjmp from our error manager, never in exit().
// A file that ends before its image is complete is refused rather than padded with grey.

#include "platform/image/image.h"
#include "platform/image/pixel_format.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>  // needs <cstdio> first
#include <jerror.h>

namespace image {
namespace {

// Every 8x8 luminance block costs at least one bit of Huffman code in its DC scan, baseline
// or progressive, so no valid file holds more than 512 pixels per byte. Headers that promise
// more (twice that, for margin) are refused before the decoder allocates its buffers.
// Arithmetic-coded files, which can do better and which almost nothing writes, are held to
// the same bound.
constexpr std::uint64_t kMaxPixelsPerByte = 1024;
// Each progressive scan passes over the whole coefficient buffer; real files have about ten.
constexpr int kMaxScans = 256;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(errors->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    // Running out of data (in the file, or in a scan before its marker) is only a warning to
    // libjpeg, which pads the image; to us it is a truncated file or a size that lies.
    const int code = cinfo->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) ErrorExit(cinfo);
    }
}

void FillInfo(const jpeg_decompress_struct& cinfo, ImageInfo& info) {
    info.width = static_cast<int>(cinfo.image_width);
    info.height = static_cast<int>(cinfo.image_height);
    info.fileFormat = FileFormat::Jpeg;
    info.hasAlpha = false;
    info.bitsPerPixel = 8 * cinfo.num_components;
    info.sourceFormat = cinfo.num_components == 1 ? kFormatL8 : kFormatR8G8B8;
}

bool SizeAcceptable(const ImageInfo& info, std::size_t length) {
    if (info.width < 1 || info.height < 1 || info.width > kMaxImageSide || info.height > kMaxImageSide)
        return false;
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
    return pixels <= static_cast<std::uint64_t>(length) * kMaxPixelsPerByte + 4096;
}

// Everything between setjmp and a longjmp holds only trivially destructible locals; the
// output image lives in the caller and `row` is allocated before the jump is set.
bool Run(const std::uint8_t* bytes, std::size_t length, bool decode, ImageInfo& info, Image& image,
         std::vector<JSAMPLE>& row) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    errors.base.output_message = OutputMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = LimitScans;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(length));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    FillInfo(cinfo, info);
    if (!SizeAcceptable(info, length)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!decode) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    const J_COLOR_SPACE source = cinfo.jpeg_color_space;
    const bool cmyk = source == JCS_CMYK || source == JCS_YCCK;
    if (cmyk) {
        cinfo.out_color_space = JCS_CMYK;
    } else if (cinfo.num_components == 1) {
        cinfo.out_color_space = JCS_GRAYSCALE;
    } else {
        cinfo.out_color_space = JCS_RGB;
    }
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    jpeg_start_decompress(&cinfo);
    const int channels = cinfo.output_components;
    if ((channels != 1 && channels != 3 && channels != 4) ||
        cinfo.output_width != static_cast<JDIMENSION>(info.width) ||
        cinfo.output_height != static_cast<JDIMENSION>(info.height) ||
        row.size() < static_cast<std::size_t>(info.width) * channels ||
        !image.Allocate(info.width, info.height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        std::uint32_t* out =
            image.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * info.width;
        JSAMPROW rows[1] = {row.data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) ErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
        const JSAMPLE* s = row.data();
        for (int x = 0; x < info.width; ++x, s += channels) {
            if (channels == 1) {
                out[x] = PackArgb(0xFF, s[0], s[0], s[0]);
            } else if (channels == 3) {
                out[x] = PackArgb(0xFF, s[0], s[1], s[2]);
            } else {
                unsigned c = s[0], m = s[1], y = s[2], k = s[3];
                if (!inverted) {
                    c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
                }
                out[x] = PackArgb(0xFF, (c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ReadJpeg(const std::uint8_t* bytes, std::size_t length, bool decode, Image& image, ImageInfo& info) {
    if (bytes == nullptr || length < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
    std::vector<JSAMPLE> row;
    if (decode) {
        ImageInfo header;
        if (!Run(bytes, length, false, header, image, row)) return false;
        row.resize(static_cast<std::size_t>(header.width) * 4);
    }
    if (!Run(bytes, length, decode, info, image, row)) {
        image.Clear();
        return false;
    }
    return true;
}

}  // namespace

bool ReadJpegInfo(const std::uint8_t* bytes, std::size_t length, ImageInfo& info) {
    Image unused;
    return ReadJpeg(bytes, length, false, unused, info);
}

bool DecodeJpeg(const std::uint8_t* bytes, std::size_t length, Image& image, ImageInfo& info) {
    return ReadJpeg(bytes, length, true, image, info);
}

}  // namespace image

#include "tools/mediagen/image.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Scale(const Rgba& c, float factor) { return {c.r * factor, c.g * factor, c.b * factor, c.a}; }

Rgba FromBytes(int r, int g, int b, int a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f}; }

Image::Image(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

const Rgba& Image::Wrapped(int x, int y) const {
    x %= width_;
    y %= height_;
    if (x < 0) x += width_;
    if (y < 0) y += height_;
    return At(x, y);
}

void Image::Blend(int x, int y, const Rgba& colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const float t = std::clamp(coverage * colour.a, 0.0f, 1.0f);
    Rgba& p = At(x, y);
    const float a = p.a + (1.0f - p.a) * t;
    p.r += (colour.r - p.r) * t;
    p.g += (colour.g - p.g) * t;
    p.b += (colour.b - p.b) * t;
    p.a = a;
}

void Image::Add(int x, int y, const Rgba& colour, float amount) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Rgba& p = At(x, y);
    p.r += colour.r * amount;
    p.g += colour.g * amount;
    p.b += colour.b * amount;
}

Image Downsample(const Image& source, int factor) {
    Image out(source.Width() / factor, source.Height() / factor);
    const float weight = 1.0f / (factor * factor);
    for (int y = 0; y < out.Height(); ++y) {
        for (int x = 0; x < out.Width(); ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Rgba& p = source.At(x * factor + i, y * factor + j);
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            }
            out.At(x, y) = {sum.r * weight, sum.g * weight, sum.b * weight, sum.a * weight};
        }
    }
    return out;
}

Image Resize(const Image& source, int width, int height) {
    Image out(width, height);
    const double sx = static_cast<double>(source.Width()) / width;
    const double sy = static_cast<double>(source.Height()) / height;
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(y * sy), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(x * sx), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
            Rgba sum{0, 0, 0, 0};
            for (int j = y0; j < y1; ++j) {
                for (int i = x0; i < x1; ++i) {
                    const Rgba& p = source.At(std::min(i, source.Width() - 1), std::min(j, source.Height() - 1));
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            }
            const float w = 1.0f / ((x1 - x0) * (y1 - y0));
            out.At(x, y) = {sum.r * w, sum.g * w, sum.b * w, sum.a * w};
        }
    }
    return out;
}

unsigned char ToByte(float value) {
    return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    return WriteFileBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool WritePng(const Image& image, const std::string& path, bool withAlpha) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> row(static_cast<size_t>(image.Width()) * channels);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    else if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, image.Width(), image.Height(), 8,
                     withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < image.Height(); ++y) {
            for (int x = 0; x < image.Width(); ++x) {
                const Rgba& p = image.At(x, y);
                unsigned char* out = &row[static_cast<size_t>(x) * channels];
                out[0] = ToByte(p.r);
                out[1] = ToByte(p.g);
                out[2] = ToByte(p.b);
                if (withAlpha) out[3] = ToByte(p.a);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

}  // namespace

bool WriteJpeg(const Image& image, const std::string& path, int quality) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    std::vector<unsigned char> row(static_cast<size_t>(image.Width()) * 3);
    bool ok = true;
    if (setjmp(error.jump)) {
        ok = false;
    } else {
        jpeg_create_compress(&info);
        jpeg_stdio_dest(&info, file);
        info.image_width = image.Width();
        info.image_height = image.Height();
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        for (int y = 0; y < image.Height(); ++y) {
            for (int x = 0; x < image.Width(); ++x) {
                const Rgba& p = image.At(x, y);
                row[x * 3 + 0] = ToByte(p.r);
                row[x * 3 + 1] = ToByte(p.g);
                row[x * 3 + 2] = ToByte(p.b);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&info, rows, 1);
        }
        jpeg_finish_compress(&info);
    }
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0 && ok;
}

namespace {

void PutLittle16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void PutLittle32(std::vector<unsigned char>& out, unsigned value) {
    PutLittle16(out, value & 0xFFFF);
    PutLittle16(out, value >> 16);
}

}  // namespace

bool WriteTga(const Image& image, const std::string& path, int bitsPerPixel) {
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    std::vector<unsigned char> out;
    out.push_back(0);  // no image id
    out.push_back(0);  // no colour map
    out.push_back(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i) out.push_back(0);
    PutLittle16(out, 0);  // origin
    PutLittle16(out, 0);
    PutLittle16(out, image.Width());
    PutLittle16(out, image.Height());
    out.push_back(static_cast<unsigned char>(bitsPerPixel));
    out.push_back(bitsPerPixel == 32 ? 8 : 0);  // alpha bits; rows run bottom-up
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
            if (bitsPerPixel == 32) out.push_back(ToByte(p.a));
        }
    }
    return WriteFileBytes(path, out);
}

bool WriteBmp(const Image& image, const std::string& path) {
    const unsigned stride = (static_cast<unsigned>(image.Width()) * 3 + 3) & ~3u;
    const unsigned pixelBytes = stride * image.Height();
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    PutLittle32(out, 14 + 40 + pixelBytes);
    PutLittle32(out, 0);
    PutLittle32(out, 14 + 40);
    PutLittle32(out, 40);  // BITMAPINFOHEADER
    PutLittle32(out, image.Width());
    PutLittle32(out, image.Height());  // positive: bottom-up
    PutLittle16(out, 1);
    PutLittle16(out, 24);
    PutLittle32(out, 0);  // BI_RGB
    PutLittle32(out, pixelBytes);
    PutLittle32(out, 2835);  // 72 dpi
    PutLittle32(out, 2835);
    PutLittle32(out, 0);
    PutLittle32(out, 0);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
        }
        for (unsigned pad = static_cast<unsigned>(image.Width()) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return WriteFileBytes(path, out);
}

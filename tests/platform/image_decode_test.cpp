#include "platform/image/image.h"
#include "platform/image/image_encoder.h"
#include "platform/image/pixel_format.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using image::FileFormat;
using image::Image;
using image::ImageInfo;
using image::PackArgb;
using image_test::Bytes;

namespace {

std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

void ExpectPixels(const Image& img, const std::vector<std::uint32_t>& expected, const std::string& name) {
    ASSERT_EQ(img.pixels.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Hex(img.pixels[i]), Hex(expected[i])) << name << " texel " << i;
    }
}

image::Image Opaque(const Image& img) {
    Image out = img;
    for (auto& p : out.pixels) p |= 0xFF000000u;
    return out;
}

image::Image GreyFromGreen(const Image& img) {
    Image out = img;
    for (auto& p : out.pixels) {
        const unsigned g = (p >> 8) & 0xFF;
        p = PackArgb(0xFF, g, g, g);
    }
    return out;
}

struct PngCase {
    const char* name;
    image::PngLayout layout;
    Bytes rows;
    std::vector<std::uint32_t> expected;
    DWORD sourceFormat;
    bool alpha;
};

image::PngLayout Layout(int w, int h, int depth, int type) {
    image::PngLayout l;
    l.width = w;
    l.height = h;
    l.bitDepth = depth;
    l.colorType = type;
    return l;
}

constexpr std::uint32_t Grey(unsigned v, unsigned a = 0xFF) { return PackArgb(a, v, v, v); }

}  // namespace

TEST(ImageDecodeTest, PngColourTypesAndDepthsExpandToArgb) {
    std::vector<PngCase> cases;
    cases.push_back({"grey1",
                     Layout(8, 1, 1, 0),
                     {0xB2},
                     {Grey(255), Grey(0), Grey(255), Grey(255), Grey(0), Grey(0), Grey(255), Grey(0)},
                     image::kFormatL8,
                     false});
    cases.push_back({"grey2",
                     Layout(4, 1, 2, 0),
                     {0x1B},
                     {Grey(0), Grey(85), Grey(170), Grey(255)},
                     image::kFormatL8,
                     false});
    cases.push_back({"grey4", Layout(2, 1, 4, 0), {0x7F}, {Grey(0x77), Grey(0xFF)}, image::kFormatL8, false});
    {
        PngCase c{"grey8_trns",           Layout(3, 1, 8, 0),
                  {0x40, 0x41, 0x00},     {0x00404040u, Grey(0x41), Grey(0)},
                  image::kFormatA8R8G8B8, true};
        c.layout.hasTransparentColor = true;
        c.layout.transparentColor[0] = 0x40;
        cases.push_back(c);
    }
    cases.push_back({"grey16",
                     Layout(2, 1, 16, 0),
                     {0x5A, 0x5A, 0xFF, 0xFF},
                     {Grey(0x5A), Grey(0xFF)},
                     image::kFormatL16,
                     false});
    cases.push_back({"grey_alpha8",
                     Layout(2, 1, 8, 4),
                     {0x30, 0x90, 0xFF, 0x00},
                     {Grey(0x30, 0x90), Grey(0xFF, 0x00)},
                     image::kFormatA8L8,
                     true});
    cases.push_back(
        {"rgb8",
         Layout(2, 2, 8, 2),
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {PackArgb(255, 1, 2, 3), PackArgb(255, 4, 5, 6), PackArgb(255, 7, 8, 9), PackArgb(255, 10, 11, 12)},
         image::kFormatR8G8B8,
         false});
    {
        PngCase c{"rgb8_trns",
                  Layout(2, 1, 8, 2),
                  {1, 2, 3, 4, 5, 6},
                  {PackArgb(255, 1, 2, 3), PackArgb(0, 4, 5, 6)},
                  image::kFormatA8R8G8B8,
                  true};
        c.layout.hasTransparentColor = true;
        c.layout.transparentColor[0] = 4;
        c.layout.transparentColor[1] = 5;
        c.layout.transparentColor[2] = 6;
        cases.push_back(c);
    }
    cases.push_back({"rgb16",
                     Layout(1, 1, 16, 2),
                     {0xAB, 0xAB, 0x01, 0x01, 0xFE, 0xFE},
                     {PackArgb(255, 0xAB, 0x01, 0xFE)},
                     image::kFormatA16B16G16R16,
                     false});
    cases.push_back({"rgba8",
                     Layout(2, 1, 8, 6),
                     {1, 2, 3, 4, 5, 6, 7, 0x80},
                     {PackArgb(4, 1, 2, 3), PackArgb(0x80, 5, 6, 7)},
                     image::kFormatA8R8G8B8,
                     true});
    cases.push_back({"rgba16",
                     Layout(1, 1, 16, 6),
                     {0x10, 0x10, 0x20, 0x20, 0x30, 0x30, 0x7F, 0x7F},
                     {PackArgb(0x7F, 0x10, 0x20, 0x30)},
                     image::kFormatA16B16G16R16,
                     true});
    {
        PngCase c{"palette8_trns",
                  Layout(3, 1, 8, 3),
                  {2, 0, 1},
                  {PackArgb(255, 70, 80, 90), PackArgb(0, 10, 20, 30), PackArgb(0x80, 40, 50, 60)},
                  image::kFormatA8R8G8B8,
                  true};
        c.layout.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
        c.layout.transparency = {0, 0x80};
        cases.push_back(c);
    }
    {
        PngCase c{"palette4",       Layout(3, 1, 4, 3),
                  {0x21, 0x00},     {PackArgb(255, 7, 8, 9), PackArgb(255, 4, 5, 6), PackArgb(255, 1, 2, 3)},
                  image::kFormatP8, false};
        c.layout.palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        cases.push_back(c);
    }
    {
        PngCase c{"palette1",       Layout(3, 1, 1, 3),
                  {0x40},           {PackArgb(255, 1, 2, 3), PackArgb(255, 4, 5, 6), PackArgb(255, 1, 2, 3)},
                  image::kFormatP8, false};
        c.layout.palette = {1, 2, 3, 4, 5, 6};
        cases.push_back(c);
    }
    for (const PngCase& c : cases) {
        Bytes file;
        ASSERT_TRUE(image::EncodePngRows(c.layout, c.rows, file)) << c.name;
        Image img;
        ImageInfo info;
        ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info)) << c.name;
        EXPECT_EQ(img.width, c.layout.width) << c.name;
        EXPECT_EQ(img.height, c.layout.height) << c.name;
        ExpectPixels(img, c.expected, c.name);
        EXPECT_EQ(info.fileFormat, FileFormat::Png) << c.name;
        EXPECT_EQ(info.sourceFormat, c.sourceFormat) << c.name;
        EXPECT_EQ(info.hasAlpha, c.alpha) << c.name;
        ImageInfo header;
        ASSERT_TRUE(image::ReadImageInfo(file.data(), file.size(), header)) << c.name;
        EXPECT_EQ(header.width, info.width) << c.name;
        EXPECT_EQ(header.sourceFormat, info.sourceFormat) << c.name;
    }
}

TEST(ImageDecodeTest, InterlacedPngMatchesThePlainOne) {
    const Image source = image_test::Pattern(13, 11, false);
    image::PngLayout layout = Layout(13, 11, 8, 6);
    layout.interlaced = true;
    Bytes rows;
    for (std::uint32_t c : source.pixels) {
        rows.insert(rows.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                 static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)});
    }
    Bytes interlaced, plain = image_test::Png(source);
    ASSERT_TRUE(image::EncodePngRows(layout, rows, interlaced));
    ASSERT_NE(interlaced, plain);
    for (const Bytes* file : {&interlaced, &plain}) {
        Image img;
        ASSERT_TRUE(image::DecodeImage(file->data(), file->size(), img));
        ExpectPixels(img, source.pixels, file == &plain ? "plain" : "interlaced");
    }
}

TEST(ImageDecodeTest, JpegDecodesWithinTolerance) {
    // A smooth image: JPEG keeps it to within a few levels at high quality.
    Image source;
    source.Allocate(24, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) source.pixels[y * 24 + x] = PackArgb(0xFF, x * 10, y * 15, 128);
    }
    struct Case {
        const char* name;
        bool progressive, grey;
    } cases[] = {{"baseline", false, false},
                 {"progressive", true, false},
                 {"grey", false, true},
                 {"grey_progressive", true, true}};
    for (const Case& c : cases) {
        const Bytes file = image_test::Jpeg(source, c.progressive, c.grey);
        ASSERT_FALSE(file.empty()) << c.name;
        Image img;
        ImageInfo info;
        ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info)) << c.name;
        ASSERT_EQ(img.width, 24);
        ASSERT_EQ(img.height, 16);
        EXPECT_EQ(info.fileFormat, FileFormat::Jpeg);
        EXPECT_EQ(info.sourceFormat, c.grey ? image::kFormatL8 : image::kFormatR8G8B8) << c.name;
        EXPECT_FALSE(info.hasAlpha);
        const Image expected = c.grey ? GreyFromGreen(source) : source;
        int worst = 0;
        for (std::size_t i = 0; i < img.pixels.size(); ++i) {
            EXPECT_EQ(img.pixels[i] >> 24, 0xFFu);
            for (int shift : {0, 8, 16}) {
                const int got = (img.pixels[i] >> shift) & 0xFF, want = (expected.pixels[i] >> shift) & 0xFF;
                worst = std::max(worst, std::abs(got - want));
            }
        }
        EXPECT_LE(worst, 8) << c.name;
    }
}

TEST(ImageDecodeTest, TgaDepthsCompressionAndOrigins) {
    const Image colour = image_test::Pattern(5, 4, false);
    // Runs within rows, so the RLE writer emits run packets as well as raw ones.
    Image runs;
    runs.Allocate(7, 3);
    for (int i = 0; i < 21; ++i) runs.pixels[i] = PackArgb(0x80 + (i / 5), 10 * (i / 3), 200, 30);
    for (const Image* source : {&colour, static_cast<const Image*>(&runs)}) {
        for (int bits : {8, 24, 32}) {
            for (bool rle : {false, true}) {
                for (int origin = 0; origin < 3; ++origin) {
                    const bool topDown = origin == 1, rightToLeft = origin == 2;
                    const std::string name = "tga" + std::to_string(bits) + (rle ? " rle" : " raw") +
                                             (topDown ? " top-down" : " bottom-up") +
                                             (rightToLeft ? " right-to-left" : "");
                    const Bytes file = image_test::Tga(*source, bits, rle, topDown, rightToLeft);
                    ASSERT_EQ(image::DetectFileFormat(file.data(), file.size()), FileFormat::Tga) << name;
                    Image img;
                    ImageInfo info;
                    ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info)) << name;
                    const Image expected = bits == 32   ? *source
                                           : bits == 24 ? Opaque(*source)
                                                        : GreyFromGreen(*source);
                    ExpectPixels(img, expected.pixels, name);
                    EXPECT_EQ(info.bitsPerPixel, bits);
                    EXPECT_EQ(info.hasAlpha, bits == 32) << name;
                    EXPECT_EQ(info.sourceFormat, bits == 32   ? image::kFormatA8R8G8B8
                                                 : bits == 24 ? image::kFormatR8G8B8
                                                              : image::kFormatL8);
                }
            }
        }
    }
}

TEST(ImageDecodeTest, TgaRunPacketsMayCrossRows) {
    // 3 x 2 top-down, one run of 4 texels spanning both rows, then a raw packet of 2.
    Bytes file = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20};
    file.insert(file.end(), {0x83, 0x10, 0x20, 0x30, 0x01, 1, 2, 3, 4, 5, 6});
    Image img;
    ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img));
    const std::uint32_t run = PackArgb(255, 0x30, 0x20, 0x10);
    ExpectPixels(img, {run, run, run, run, PackArgb(255, 3, 2, 1), PackArgb(255, 6, 5, 4)}, "cross-row run");
}

TEST(ImageDecodeTest, BmpDepthsAndRowOrder) {
    const Image colour = image_test::Pattern(3, 3, false);  // 3 texels: 24-bit rows need padding
    for (bool topDown : {false, true}) {
        for (int bits : {24, 32}) {
            const std::string name = "bmp" + std::to_string(bits) + (topDown ? " top-down" : " bottom-up");
            const Bytes file = image_test::Bmp(colour, bits, topDown);
            Image img;
            ImageInfo info;
            ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info)) << name;
            // The fourth byte of a 32-bit BI_RGB bitmap is not alpha.
            ExpectPixels(img, Opaque(colour).pixels, name);
            EXPECT_EQ(info.fileFormat, FileFormat::Bmp);
            EXPECT_FALSE(info.hasAlpha);
            EXPECT_EQ(info.sourceFormat, bits == 24 ? image::kFormatR8G8B8 : image::kFormatX8R8G8B8);
        }
        // Palettised: 3 entries, an index beyond them reads as opaque black.
        const std::vector<std::uint32_t> palette = {0x00112233, 0x00445566, 0x00778899};
        const std::vector<std::uint8_t> indices = {0, 1, 2, 2, 1, 0, 7, 0, 1};
        Image sized;
        sized.Allocate(3, 3);
        const Bytes file = image_test::Bmp(sized, 8, topDown, palette, indices);
        Image img;
        ImageInfo info;
        ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info));
        std::vector<std::uint32_t> expected;
        for (std::uint8_t i : indices) expected.push_back(i < 3 ? palette[i] | 0xFF000000u : 0xFF000000u);
        ExpectPixels(img, expected, topDown ? "bmp8 top-down" : "bmp8 bottom-up");
        EXPECT_EQ(info.sourceFormat, image::kFormatP8);
        EXPECT_EQ(info.bitsPerPixel, 8);
    }
}

TEST(ImageDecodeTest, DetectionAndInfoByContent) {
    const Image source = image_test::Pattern(6, 5, false);
    struct Case {
        Bytes file;
        FileFormat format;
        DWORD sourceFormat;
        bool alpha;
    } cases[] = {
        {image_test::Png(source), FileFormat::Png, image::kFormatA8R8G8B8, true},
        {image_test::Jpeg(source, false, false), FileFormat::Jpeg, image::kFormatR8G8B8, false},
        {image_test::Tga(source, 32, false, true), FileFormat::Tga, image::kFormatA8R8G8B8, true},
        {image_test::Tga(source, 24, true, false), FileFormat::Tga, image::kFormatR8G8B8, false},
        {image_test::Bmp(source, 24, false), FileFormat::Bmp, image::kFormatR8G8B8, false},
    };
    for (const Case& c : cases) {
        const int format = static_cast<int>(c.format);
        EXPECT_EQ(image::DetectFileFormat(c.file.data(), c.file.size()), c.format) << format;
        ImageInfo info;
        ASSERT_TRUE(image::ReadImageInfo(c.file.data(), c.file.size(), info)) << format;
        EXPECT_EQ(info.width, 6) << format;
        EXPECT_EQ(info.height, 5) << format;
        EXPECT_EQ(info.fileFormat, c.format);
        EXPECT_EQ(info.sourceFormat, c.sourceFormat) << format;
        EXPECT_EQ(info.hasAlpha, c.alpha) << format;
    }
    const std::string text = "Width = 64;\nHeight = 64;\n";
    EXPECT_EQ(image::DetectFileFormat(text.data(), text.size()), FileFormat::Unknown);
    EXPECT_EQ(image::DetectFileFormat(nullptr, 100), FileFormat::Unknown);
}

namespace {

// A BMP from parts: info header of `headerSize` bytes (12 = OS/2), optional masks (in the
// header from 52 bytes on, else after it), palette entries and the packed rows as given.
Bytes RawBmp(int headerSize, int width, int height, int bits, std::uint32_t compression,
             std::vector<std::uint32_t> masks, std::vector<std::uint32_t> palette, const Bytes& rows) {
    using image_test::Put16;
    using image_test::Put32;
    Bytes info;
    Put32(info, static_cast<std::uint32_t>(headerSize));
    if (headerSize == 12) {
        Put16(info, width), Put16(info, height), Put16(info, 1), Put16(info, bits);
    } else {
        Put32(info, static_cast<std::uint32_t>(width)), Put32(info, static_cast<std::uint32_t>(height));
        Put16(info, 1), Put16(info, bits), Put32(info, compression);
        while (info.size() < 40) info.push_back(0);
        if (headerSize >= 52) {
            for (std::uint32_t m : masks) Put32(info, m);
            masks.clear();
        }
        while (info.size() < static_cast<std::size_t>(headerSize)) info.push_back(0);
    }
    for (std::uint32_t m : masks) Put32(info, m);
    for (std::uint32_t c : palette) {
        info.insert(info.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                 static_cast<std::uint8_t>(c >> 16)});
        if (headerSize != 12) info.push_back(0);
    }
    Bytes file = {'B', 'M'};
    Put32(file, static_cast<std::uint32_t>(14 + info.size() + rows.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

}  // namespace

TEST(ImageDecodeTest, BmpHeaderVariantsLowDepthsAndBitFields) {
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, white = 0xFFFFFFFF;
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::uint32_t> expected;  // 2 x 2, top row first
        DWORD sourceFormat;
        bool alpha;
    } cases[] = {
        {"os2 24-bit",
         RawBmp(12, 2, 2, 24, 0, {}, {}, {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}),
         {blue, green, red, white},
         image::kFormatR8G8B8,
         false},
        {"os2 1-bit",
         RawBmp(12, 2, 2, 1, 0, {}, {0x0000FF, 0xFF0000}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}),
         {blue, red, red, blue},
         image::kFormatP8,
         false},
        {"4-bit",
         RawBmp(40, 2, 2, 4, 0, {}, {0xFF0000, 0x00FF00, 0x0000FF}, {0x12, 0, 0, 0, 0x20, 0, 0, 0}),
         {blue, red, green, blue},
         image::kFormatP8,
         false},
        {"16-bit 5-5-5",
         RawBmp(40, 2, 2, 16, 0, {}, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}),
         {blue, white, red, green},
         image::kFormatX1R5G5B5,
         false},
        {"16-bit 5-6-5 bit fields",
         RawBmp(40, 2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, {},
                {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}),
         {blue, white, red, green},
         image::kFormatR5G6B5,
         false},
        {"32-bit alpha bit fields, V4 header",
         RawBmp(108, 2, -2, 32, 3, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF}, {},
                {0x80, 0, 0, 255, 0x00, 0, 255, 0, 0xFF, 255, 0, 0, 0x01, 255, 255, 255}),
         {0x800000FF, 0x0000FF00, 0xFFFF0000, 0x01FFFFFF},
         image::kFormatA8R8G8B8,
         true},
    };
    for (const Case& c : cases) {
        Image img;
        ImageInfo info;
        ASSERT_TRUE(image::DecodeImage(c.file.data(), c.file.size(), img, &info)) << c.name;
        ExpectPixels(img, c.expected, c.name);
        EXPECT_EQ(info.sourceFormat, c.sourceFormat) << c.name;
        EXPECT_EQ(info.hasAlpha, c.alpha) << c.name;
    }
}

TEST(ImageDecodeTest, Tga16BitUsesTheAttributeBitForAlpha) {
    // 2 x 1 top-down: 0x7C00 (red, top bit clear) and 0x83E0 (green, top bit set).
    for (int attributeBits : {0, 1}) {
        Bytes file = {0, 0, 2, 0, 0, 0, 0, 0,  0,
                      0, 0, 0, 2, 0, 1, 0, 16, static_cast<std::uint8_t>(0x20 | attributeBits)};
        file.insert(file.end(), {0x00, 0x7C, 0xE0, 0x83});
        Image img;
        ImageInfo info;
        ASSERT_TRUE(image::DecodeImage(file.data(), file.size(), img, &info));
        const std::vector<std::uint32_t> expected = attributeBits
                                                        ? std::vector<std::uint32_t>{0x00FF0000, 0xFF00FF00}
                                                        : std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00};
        ExpectPixels(img, expected, attributeBits ? "with alpha bit" : "without");
        EXPECT_EQ(info.sourceFormat, attributeBits ? image::kFormatA1R5G5B5 : image::kFormatX1R5G5B5);
    }
}

#include "platform/image/image.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

using image::Image;
using image::ImageInfo;
using image_test::Bytes;

namespace {

struct NamedFile {
    std::string name;
    Bytes bytes;
};

std::vector<NamedFile> ValidFiles() {
    const Image source = image_test::Pattern(4, 3, false);  // 4 texels: BMP rows need no padding
    std::vector<std::uint32_t> palette = {0x102030, 0x405060};
    return {
        {"png", image_test::Png(source)},
        {"jpeg", image_test::Jpeg(source, false, false)},
        {"jpeg progressive", image_test::Jpeg(source, true, false)},
        {"tga32", image_test::Tga(source, 32, false, true)},
        {"tga24 rle", image_test::Tga(source, 24, true, false)},
        {"tga8", image_test::Tga(source, 8, false, false)},
        {"bmp24", image_test::Bmp(source, 24, false)},
        {"bmp32", image_test::Bmp(source, 32, true)},
        {"bmp8", image_test::Bmp(source, 8, false, palette, std::vector<std::uint8_t>(12, 1))},
    };
}

bool Rejected(const Bytes& bytes, std::size_t length) {
    Image img;
    img.Allocate(2, 2);  // a failed decode leaves nothing behind
    const bool ok = image::DecodeImage(bytes.data(), length, img);
    return !ok && img.Empty() && img.width == 0;
}

void PutBig32(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 24);
    b[at + 1] = static_cast<std::uint8_t>(v >> 16);
    b[at + 2] = static_cast<std::uint8_t>(v >> 8);
    b[at + 3] = static_cast<std::uint8_t>(v);
}

// Rewrites the PNG IHDR size with a valid CRC, so only the size is wrong.
Bytes PngWithSize(Bytes png, std::uint32_t width, std::uint32_t height) {
    PutBig32(png, 16, width);
    PutBig32(png, 20, height);
    PutBig32(png, 29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

// Finds the JPEG frame header (SOF0 or SOF2) and sets its size.
Bytes JpegWithSize(Bytes jpeg, unsigned width, unsigned height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

}  // namespace

TEST(ImageBadInputTest, EveryTruncationFails) {
    for (const NamedFile& file : ValidFiles()) {
        ASSERT_FALSE(Rejected(file.bytes, file.bytes.size())) << file.name << " must decode whole";
        for (std::size_t length = 0; length < file.bytes.size(); ++length) {
            EXPECT_TRUE(Rejected(file.bytes, length)) << file.name << " cut to " << length;
        }
    }
}

TEST(ImageBadInputTest, WrongMagicNumbersFail) {
    for (const NamedFile& file : ValidFiles()) {
        if (file.name.rfind("tga", 0) == 0) continue;  // TGA has no magic number
        Bytes bytes = file.bytes;
        bytes[1] ^= 0x5A;
        EXPECT_TRUE(Rejected(bytes, bytes.size())) << file.name;
        ImageInfo info;
        EXPECT_FALSE(image::ReadImageInfo(bytes.data(), bytes.size(), info)) << file.name;
    }
    // A TGA header with an impossible image type, colour-map type or depth is not a TGA.
    const Bytes tga = image_test::Tga(image_test::Pattern(2, 2, true), 24, false, false);
    for (auto [offset, value] : {std::pair{2, 4}, {1, 2}, {16, 12}, {17, 0xC0}}) {
        Bytes bytes = tga;
        bytes[offset] = static_cast<std::uint8_t>(value);
        EXPECT_EQ(image::DetectFileFormat(bytes.data(), bytes.size()), image::FileFormat::Unknown) << offset;
        EXPECT_TRUE(Rejected(bytes, bytes.size())) << offset;
    }
}

TEST(ImageBadInputTest, DeclaredSizesTheDataCannotFillFail) {
    const Image source = image_test::Pattern(4, 3, true);
    struct Case {
        std::string name;
        Bytes bytes;
    };
    std::vector<Case> cases;
    Bytes tga = image_test::Tga(source, 24, false, false);
    tga[14] = 4;  // height 4 instead of 3
    cases.push_back({"tga taller", tga});
    Bytes tgaRle = image_test::Tga(source, 24, true, false);
    tgaRle[12] = 200;  // width 200: the packets run out
    cases.push_back({"tga rle wider", tgaRle});
    Bytes bmp = image_test::Bmp(source, 24, false);
    bmp[22] = 4;
    cases.push_back({"bmp taller", bmp});
    Bytes bmpOffset = image_test::Bmp(source, 24, false);
    bmpOffset[10] = 0xF0;  // pixel data starting past the end
    bmpOffset[11] = 0xFF;
    cases.push_back({"bmp offset", bmpOffset});
    cases.push_back({"png taller", PngWithSize(image_test::Png(source), 4, 9)});
    cases.push_back({"jpeg taller", JpegWithSize(image_test::Jpeg(source, false, false), 4, 64)});
    // A small file claiming a huge (allowed) size is refused before its pixels are allocated.
    cases.push_back({"png huge", PngWithSize(image_test::Png(source), 16384, 16384)});
    cases.push_back({"jpeg huge", JpegWithSize(image_test::Jpeg(source, false, false), 16384, 16384)});
    for (const Case& c : cases) EXPECT_TRUE(Rejected(c.bytes, c.bytes.size())) << c.name;
}

TEST(ImageBadInputTest, SidesAbove16384Fail) {
    const Image source = image_test::Pattern(4, 3, true);
    struct Case {
        std::string name;
        Bytes bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"png wide", PngWithSize(image_test::Png(source), 16385, 1)});
    cases.push_back({"png tall", PngWithSize(image_test::Png(source), 1, 16385)});
    cases.push_back({"png 2^31", PngWithSize(image_test::Png(source), 0x7FFFFFFF, 1)});
    cases.push_back({"jpeg wide", JpegWithSize(image_test::Jpeg(source, false, false), 16385, 1)});
    Bytes tga = image_test::Tga(source, 8, false, true);
    tga[12] = 0x01;  // 16385 = 0x4001
    tga[13] = 0x40;
    cases.push_back({"tga wide", tga});
    Bytes bmp = image_test::Bmp(source, 24, true);
    bmp[18] = 0x01, bmp[19] = 0x40, bmp[20] = 0, bmp[21] = 0;
    cases.push_back({"bmp wide", bmp});
    Bytes bmpNegative = image_test::Bmp(source, 24, true);
    bmpNegative[22] = 0, bmpNegative[23] = 0, bmpNegative[24] = 0, bmpNegative[25] = 0x80;  // height INT_MIN
    cases.push_back({"bmp height INT_MIN", bmpNegative});
    for (const Case& c : cases) {
        EXPECT_TRUE(Rejected(c.bytes, c.bytes.size())) << c.name;
        ImageInfo info;
        EXPECT_FALSE(image::ReadImageInfo(c.bytes.data(), c.bytes.size(), info)) << c.name;
    }
}

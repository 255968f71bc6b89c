#include "platform/image/image_resize.h"
#include "platform/image/pixel_format.h"
#include "platform/image/texture_image.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <array>

using image::Image;
using image::PackArgb;
using image_test::Bytes;

namespace {

Image Make(int w, int h, std::vector<std::uint32_t> pixels) {
    Image img;
    img.Allocate(w, h);
    img.pixels = std::move(pixels);
    return img;
}

Bytes Encode(std::uint32_t texel, DWORD format) {
    Bytes out(image::BytesPerTexel(format));
    EXPECT_TRUE(image::EncodeTexels(&texel, 1, format, out.data()));
    return out;
}

}  // namespace

TEST(ImageConvertTest, TexelsRoundToTheNearestLevelOfEachFormat) {
    struct Case {
        DWORD format;
        std::uint32_t argb;
        Bytes bytes;
    } cases[] = {
        {image::kFormatA8R8G8B8, 0x80FF4020, {0x20, 0x40, 0xFF, 0x80}},
        {image::kFormatX8R8G8B8, 0x00FF4020, {0x20, 0x40, 0xFF, 0xFF}},
        {image::kFormatR8G8B8, 0x12345678, {0x78, 0x56, 0x34}},
        {image::kFormatA8B8G8R8, 0x80FF4020, {0xFF, 0x40, 0x20, 0x80}},
        // 0x80 is level 16 of 31 and 32 of 63; 0x7F is 15 and 31.
        {image::kFormatR5G6B5, 0xFF808080, {0x10, 0x84}},
        {image::kFormatR5G6B5, 0xFF7F7F7F, {0xEF, 0x7B}},
        // Rounding, not truncation: 5 is level 1 of 31 and of 63; 4 is level 0 of 31, 1 of 63.
        {image::kFormatR5G6B5, 0xFF050505, {0x21, 0x08}},
        {image::kFormatR5G6B5, 0xFF040404, {0x20, 0x00}},
        {image::kFormatR5G6B5, 0x00FFFFFF, {0xFF, 0xFF}},
        // One-bit alpha splits between 0x7F and 0x80.
        {image::kFormatA1R5G5B5, 0x7FFFFFFF, {0xFF, 0x7F}},
        {image::kFormatA1R5G5B5, 0x80FFFFFF, {0xFF, 0xFF}},
        {image::kFormatA1R5G5B5, 0x80808080, {0x10, 0xC2}},
        {image::kFormatX1R5G5B5, 0x00000000, {0x00, 0x80}},
        {image::kFormatA4R4G4B4, 0x80FF0011, {0x01, 0x8F}},
        {image::kFormatA4R4G4B4, 0x77000000, {0x00, 0x70}},
        {image::kFormatA4R4G4B4, 0x78000000, {0x00, 0x70}},
        {image::kFormatA4R4G4B4, 0x7F000000, {0x00, 0x70}},
        {image::kFormatX4R4G4B4, 0x00880000, {0x00, 0xF8}},
        {image::kFormatA8, 0x7F123456, {0x7F}},
        {image::kFormatL8, 0xFF808080, {0x80}},
        {image::kFormatA8L8, 0x40FFFFFF, {0xFF, 0x40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encode(c.argb, c.format), c.bytes)
            << "format " << c.format << " texel " << std::hex << c.argb;
    }
    std::uint32_t texel = 0;
    std::uint8_t out[4] = {};
    EXPECT_FALSE(image::EncodeTexels(&texel, 1, 894720068 /* DXT1 */, out));
    EXPECT_FALSE(image::EncodeTexels(&texel, 1, image::kFormatUnknown, out));
}

TEST(ImageConvertTest, TexelsReadBackByBitReplication) {
    struct Case {
        DWORD format;
        Bytes bytes;
        std::uint32_t argb;
    } cases[] = {
        {image::kFormatR5G6B5, {0x10, 0x84}, 0xFF848284},
        {image::kFormatA1R5G5B5, {0xFF, 0x7F}, 0x00FFFFFF},
        {image::kFormatX1R5G5B5, {0x00, 0x00}, 0xFF000000},
        {image::kFormatA4R4G4B4, {0x01, 0x8F}, 0x88FF0011},
        {image::kFormatR8G8B8, {1, 2, 3}, 0xFF030201},
        {image::kFormatX8R8G8B8, {1, 2, 3, 4}, 0xFF030201},
        {image::kFormatL8, {0x42}, 0xFF424242},
    };
    for (const Case& c : cases) {
        std::uint32_t argb = 0;
        ASSERT_TRUE(image::DecodeTexels(c.bytes.data(), 1, c.format, &argb));
        EXPECT_EQ(argb, c.argb) << "format " << c.format;
    }
}

TEST(ImageConvertTest, ColourKeyMatchesWholeArgbAndBecomesTransparentBlack) {
    // A 24-bit TGA reads with alpha 0xFF: only a key with alpha 0xFF matches it.
    const Image source = Make(3, 1, {0xFFFF00FF, 0xFF00FF00, 0xFFFF00FE});
    const Bytes tga = image_test::Tga(source, 24, false, true);
    struct Case {
        DWORD key;
        DWORD format;
        Bytes expected;
    } cases[] = {
        {0xFFFF00FF, image::kFormatA8R8G8B8, {0, 0, 0, 0, 0x00, 0xFF, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0xFF}},
        {0x00FF00FF,
         image::kFormatA8R8G8B8,
         {0xFF, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0xFF}},
        {0, image::kFormatA8R8G8B8, {0xFF, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0xFF}},
        {0xFFFF00FF, image::kFormatX8R8G8B8, {0, 0, 0, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0xFF}},
        {0xFFFF00FF, image::kFormatA1R5G5B5, {0x00, 0x00, 0xE0, 0x83, 0x1F, 0xFC}},
        {0xFFFF00FF, image::kFormatR5G6B5, {0x00, 0x00, 0xE0, 0x07, 0x1F, 0xF8}},
    };
    for (const Case& c : cases) {
        Bytes texels(3 * image::BytesPerTexel(c.format), 0xCD);
        const image::SurfaceBits surface{texels.data(), static_cast<int>(texels.size()), 3, 1, c.format};
        ASSERT_TRUE(
            image::LoadFileIntoSurface(tga.data(), tga.size(), surface, nullptr, image::kFilterNone, c.key));
        EXPECT_EQ(texels, c.expected) << std::hex << "key " << c.key << " format " << std::dec << c.format;
    }
}

TEST(ImageConvertTest, FiltersResampleAsDocumented) {
    const Image two = Make(2, 1, {PackArgb(0, 0, 0, 0), PackArgb(200, 200, 200, 200)});
    const Image square = Make(2, 2,
                              {PackArgb(0, 0, 0, 0), PackArgb(1, 10, 100, 255), PackArgb(2, 20, 200, 255),
                               PackArgb(3, 30, 255, 255)});
    const Image five = Make(5, 1, {PackArgb(0, 0, 0, 0), PackArgb(50, 50, 50, 50), PackArgb(100, 100, 100, 100),
                                   PackArgb(150, 150, 150, 150), PackArgb(200, 200, 200, 200)});
    struct Case {
        const char* name;
        const Image* source;
        int width, height;
        DWORD filter;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {"linear enlarge",
         &two,
         4,
         1,
         image::kFilterLinear,
         {0, PackArgb(50, 50, 50, 50), PackArgb(150, 150, 150, 150), PackArgb(200, 200, 200, 200)}},
        {"box enlarge is bilinear",
         &two,
         4,
         1,
         image::kFilterBox,
         {0, PackArgb(50, 50, 50, 50), PackArgb(150, 150, 150, 150), PackArgb(200, 200, 200, 200)}},
        {"point enlarge", &two, 4, 1, image::kFilterPoint, {0, 0, two.pixels[1], two.pixels[1]}},
        {"box 2:1 rounds half up", &square, 1, 1, image::kFilterBox, {PackArgb(2, 15, 139, 191)}},
        {"triangle 2:1", &square, 1, 1, image::kFilterTriangle, {PackArgb(2, 15, 139, 191)}},
        {"point shrink", &square, 1, 1, image::kFilterPoint, {square.pixels[3]}},
        {"none pads with transparent black", &two, 3, 2, image::kFilterNone, {0, two.pixels[1], 0, 0, 0, 0}},
        {"box 5:2 weighs the texel it shares by half",
         &five,
         2,
         1,
         image::kFilterBox,
         {PackArgb(40, 40, 40, 40), PackArgb(160, 160, 160, 160)}},
        {"default is triangle", &square, 1, 1, image::kD3dxDefault, {PackArgb(2, 15, 139, 191)}},
    };
    for (const Case& c : cases) {
        Image out;
        ASSERT_TRUE(image::ResizeImage(*c.source, c.width, c.height, c.filter, out)) << c.name;
        ASSERT_EQ(out.pixels.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(out.pixels[i], c.expected[i]) << c.name << " " << i;
    }
    Image out;
    EXPECT_FALSE(image::ResizeImage(square, 0, 4, image::kFilterBox, out));
    EXPECT_FALSE(image::ResizeImage(square, 16385, 1, image::kFilterBox, out));
}

TEST(ImageConvertTest, MipChainHalvesWithA2x2Box) {
    EXPECT_EQ(image::FullMipCount(1, 1), 1);
    EXPECT_EQ(image::FullMipCount(4, 2), 3);
    EXPECT_EQ(image::FullMipCount(5, 3), 3);
    EXPECT_EQ(image::FullMipCount(256, 1), 9);
    EXPECT_EQ(image::FullMipCount(16384, 16384), 15);

    // 4 x 2: the blocks average (0,1,2,3) -> 2 and (0,0,0,1) -> 0 (rounded half up: 1.5 -> 2, 0.25 -> 0).
    Image level0 =
        Make(4, 2,
             {PackArgb(0, 0, 0, 0), PackArgb(1, 0, 0, 0), PackArgb(0, 0, 0, 0), PackArgb(0, 0, 0, 0),
              PackArgb(2, 0, 0, 0), PackArgb(3, 0, 0, 0), PackArgb(0, 0, 0, 0), PackArgb(1, 255, 255, 255)});
    Image level1, level2, point;
    ASSERT_TRUE(image::NextMipLevel(level0, image::kFilterBox, level1));
    EXPECT_EQ(level1.width, 2);
    EXPECT_EQ(level1.height, 1);
    EXPECT_EQ(level1.pixels, (std::vector<std::uint32_t>{PackArgb(2, 0, 0, 0), PackArgb(0, 64, 64, 64)}));
    ASSERT_TRUE(image::NextMipLevel(level1, image::kFilterBox, level2));
    EXPECT_EQ(level2.pixels, (std::vector<std::uint32_t>{PackArgb(1, 32, 32, 32)}));
    ASSERT_TRUE(image::NextMipLevel(level0, image::kFilterPoint, point));
    EXPECT_EQ(point.pixels, (std::vector<std::uint32_t>{level0.pixels[0], level0.pixels[2]}));

    // A whole texture: sizes of every level, level bytes in the requested format.
    const Bytes tga = image_test::Tga(image_test::Pattern(8, 4, false), 32, false, true);
    image::TextureImage texture;
    image::TextureParams params;
    params.format = image::kFormatA4R4G4B4;
    ASSERT_TRUE(image::BuildTextureImage(tga.data(), tga.size(), params, texture));
    EXPECT_EQ(texture.format, image::kFormatA4R4G4B4);
    const int sizes[][2] = {{8, 4}, {4, 2}, {2, 1}, {1, 1}};
    ASSERT_EQ(texture.levels.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texture.levels[i].width, sizes[i][0]);
        EXPECT_EQ(texture.levels[i].height, sizes[i][1]);
        EXPECT_EQ(texture.levels[i].pitch, sizes[i][0] * 2);
        EXPECT_EQ(texture.levels[i].bytes.size(), static_cast<std::size_t>(sizes[i][0] * sizes[i][1] * 2));
    }
    params.levels = 2;
    ASSERT_TRUE(image::BuildTextureImage(tga.data(), tga.size(), params, texture));
    EXPECT_EQ(texture.levels.size(), 2u);
    params.levels = image::kD3dxFromFile;
    ASSERT_TRUE(image::BuildTextureImage(tga.data(), tga.size(), params, texture));
    EXPECT_EQ(texture.levels.size(), 1u);
}

TEST(ImageConvertTest, TextureSizeFormatAndLevelRules) {
    struct Side {
        UINT requested;
        int image;
        bool powerOfTwo;
        int expected;
    } sides[] = {
        {0, 300, false, 300},
        {image::kD3dxDefault, 300, false, 300},
        {image::kD3dxDefault, 300, true, 512},
        {image::kD3dxDefault, 256, true, 256},
        {image::kD3dxDefaultNonPow2, 300, true, 300},
        {image::kD3dxFromFile, 300, false, 300},
        {128, 300, true, 128},
        {16385, 300, false, 0},
        {image::kD3dxDefault, 16384, true, 16384},
    };
    for (const Side& s : sides) {
        EXPECT_EQ(image::ResolveTextureSide(s.requested, s.image, s.powerOfTwo), s.expected) << s.requested;
    }
    image::ImageInfo alpha, opaque;
    alpha.hasAlpha = true;
    EXPECT_EQ(image::ResolveTextureFormat(image::kFormatUnknown, alpha), image::kFormatA8R8G8B8);
    EXPECT_EQ(image::ResolveTextureFormat(image::kFormatUnknown, opaque), image::kFormatX8R8G8B8);
    EXPECT_EQ(image::ResolveTextureFormat(image::kFormatR5G6B5, alpha), image::kFormatR5G6B5);
    EXPECT_EQ(image::ResolveTextureFormat(894720068, opaque), image::kFormatX8R8G8B8);
    EXPECT_EQ(image::ResolveLevelCount(0, 64, 16), 7);
    EXPECT_EQ(image::ResolveLevelCount(image::kD3dxDefault, 64, 16), 7);
    EXPECT_EQ(image::ResolveLevelCount(3, 64, 16), 3);
    EXPECT_EQ(image::ResolveLevelCount(20, 64, 16), 7);
}

TEST(ImageConvertTest, LoadsIntoASubRectangleOnly) {
    // A 4 x 3 R5G6B5 surface with 2 bytes of row padding; the image goes to {1, 1, 3, 3}.
    Bytes surfaceBytes(10 * 3, 0xAA);
    const image::SurfaceBits whole{surfaceBytes.data(), 10, 4, 3, image::kFormatR5G6B5};
    image::SurfaceBits part;
    ASSERT_TRUE(image::SubSurface(whole, 1, 1, 3, 3, part));
    EXPECT_EQ(part.width, 2);
    EXPECT_EQ(part.height, 2);
    const Image source = Make(2, 2, {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF});
    const Bytes bmp = image_test::Bmp(source, 24, false);
    ASSERT_TRUE(image::LoadFileIntoSurface(bmp.data(), bmp.size(), part, nullptr, image::kFilterNone, 0));
    Bytes expected(30, 0xAA);
    expected[12] = expected[13] = 0xFF;  // row 1, x 1
    expected[14] = expected[15] = 0x00;
    expected[22] = expected[23] = 0x00;  // row 2, x 1
    expected[24] = expected[25] = 0xFF;
    EXPECT_EQ(surfaceBytes, expected);

    // A source rectangle picks part of the image; the surface size scales it.
    Bytes one(4, 0);
    const image::SurfaceBits pixel{one.data(), 4, 1, 1, image::kFormatA8R8G8B8};
    const int rect[4] = {1, 0, 2, 1};
    ASSERT_TRUE(image::LoadFileIntoSurface(bmp.data(), bmp.size(), pixel, rect, image::kFilterPoint, 0));
    EXPECT_EQ(one, (Bytes{0, 0, 0, 0xFF}));

    for (auto [l, t, r, b] : {std::array{0, 0, 5, 1}, {2, 2, 2, 3}, {-1, 0, 1, 1}, {0, 1, 1, 4}}) {
        EXPECT_FALSE(image::SubSurface(whole, l, t, r, b, part)) << l << "," << t << "," << r << "," << b;
    }
    const int outside[4] = {0, 0, 3, 1};
    EXPECT_FALSE(image::LoadFileIntoSurface(bmp.data(), bmp.size(), pixel, outside, image::kFilterPoint, 0));
}

TEST(ImageConvertTest, ColourKeyComesBeforeTheMipFilter) {
    // Three keyed texels become transparent black and are averaged as such into level 1.
    const Image source = Make(2, 2, {0xFFFF00FF, 0xFFFF00FF, 0xFFFF00FF, 0xFFFFFFFF});
    const Bytes tga = image_test::Tga(source, 24, false, true);
    image::TextureParams params;
    params.colorKey = 0xFFFF00FF;
    image::TextureImage texture;
    ASSERT_TRUE(image::BuildTextureImage(tga.data(), tga.size(), params, texture));
    EXPECT_EQ(texture.format, image::kFormatX8R8G8B8);  // the source has no alpha
    ASSERT_EQ(texture.levels.size(), 2u);
    params.format = image::kFormatA8R8G8B8;
    ASSERT_TRUE(image::BuildTextureImage(tga.data(), tga.size(), params, texture));
    EXPECT_EQ(texture.levels[0].bytes, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(texture.levels[1].bytes, (Bytes{0x40, 0x40, 0x40, 0x40}));
}

// Writes the seed corpus of the image fuzz target. Disabled: run it by hand with
//   test_platform --gtest_also_run_disabled_tests --gtest_filter='*WriteImageFuzzCorpus*'
// when the decoders learn a new kind of file.

#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(ImageCorpus, DISABLED_WriteImageFuzzCorpus) {
    using image_test::Bytes;
    const std::filesystem::path folder = std::filesystem::path(FV_SOURCE_DIR) / "fuzz" / "corpus" / "image";
    std::filesystem::create_directories(folder);
    const image::Image rgba = image_test::Pattern(4, 4, false);
    const image::Image opaque = image_test::Pattern(5, 3, true);
    image::PngLayout palette;
    palette.width = 5;
    palette.height = 2;
    palette.colorType = 3;
    palette.bitDepth = 4;
    palette.interlaced = true;
    palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    palette.transparency = {0x80};
    Bytes paletteRows = {0x01, 0x20, 0x10, 0x21, 0x02, 0x10};
    Bytes palettePng;
    ASSERT_TRUE(image::EncodePngRows(palette, paletteRows, palettePng));
    image::PngLayout grey16;
    grey16.width = 2;
    grey16.height = 2;
    grey16.colorType = 0;
    grey16.bitDepth = 16;
    Bytes grey16Png;
    ASSERT_TRUE(image::EncodePngRows(grey16, {0, 1, 2, 3, 4, 5, 6, 7}, grey16Png));
    const std::pair<const char*, Bytes> files[] = {
        {"rgba.png", image_test::Png(rgba)},
        {"palette_interlaced.png", palettePng},
        {"grey16.png", grey16Png},
        {"baseline.jpg", image_test::Jpeg(image_test::Pattern(8, 8, true), false, false, 75)},
        {"progressive.jpg", image_test::Jpeg(image_test::Pattern(9, 7, true), true, false, 75)},
        {"grey.jpg", image_test::Jpeg(opaque, false, true, 75)},
        {"rgb24.tga", image_test::Tga(opaque, 24, false, false)},
        {"rgba32_rle.tga", image_test::Tga(rgba, 32, true, true)},
        {"grey8_rle.tga", image_test::Tga(opaque, 8, true, false, true)},
        {"rgb24.bmp", image_test::Bmp(opaque, 24, false)},
        {"xrgb32_topdown.bmp", image_test::Bmp(rgba, 32, true)},
        {"palette8.bmp", image_test::Bmp(opaque, 8, false, {0x102030, 0x405060, 0x708090},
                                         {0, 1, 2, 2, 1, 0, 1, 1, 1, 0, 2, 0, 1, 2, 0})},
    };
    for (const auto& [name, bytes] : files) {
        ASSERT_FALSE(bytes.empty()) << name;
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << name;
    }
}

TEST(ImageCorpus, EverySeedDecodes) {
    const std::filesystem::path folder = std::filesystem::path(FV_SOURCE_DIR) / "fuzz" / "corpus" / "image";
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const image_test::Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        image::Image decoded;
        EXPECT_TRUE(image::DecodeImage(bytes.data(), bytes.size(), decoded)) << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 12);
}

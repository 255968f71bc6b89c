// The media set the build generates: every file there, in its format and size.

#include "props/props_parser.h"
#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/image.h"
#include "tools/mediagen/textures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace mediagen_test;

namespace {

struct Expected {
    const char* name;
    const char* format;
    int width, height, bits;
};

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

TEST(MediagenFilesTest, ArchiveImagesHaveTheirFormatsAndSizes) {
    const Expected cases[] = {
        {"snowA_01.tga", "tga", 64, 64, 32},        {"snow.jpg", "jpeg", 512, 512, 24},
        {"bark.jpg", "jpeg", 256, 256, 24},         {"needles.jpg", "jpeg", 256, 256, 24},
        {"logs.jpg", "jpeg", 256, 256, 24},         {"shingles.jpg", "jpeg", 256, 256, 24},
        {"stone.jpg", "jpeg", 256, 256, 24},        {"sky.jpg", "jpeg", 512, 256, 24},
        {"window_lit.png", "png", 128, 128, 24},    {"window_dark.png", "png", 128, 128, 24},
        {"windows.png", "png", 256, 128, 24},       {"glow.png", "png", 128, 128, 32},
        {"dust.png", "png", 128, 128, 32},          {"sparkle.tga", "tga", 128, 128, 32},
        {"sylfaen_eng_14.png", "png", 256, 256, 32}, {"font01.tga", "tga", 512, 256, 32},
        {"ice.jpg", "jpeg", 256, 256, 24},          {"planks.jpg", "jpeg", 256, 256, 24},
        {"hills.png", "png", 512, 128, 32},         {"firbranch.png", "png", 256, 256, 32},
    };
    for (const Expected& e : cases) {
        const std::vector<unsigned char> bytes = ReadAll(MediaDir() + "/" + e.name);
        const ImageInfo info = Identify(bytes);
        EXPECT_EQ(info.format, e.format) << e.name;
        EXPECT_EQ(info.width, e.width) << e.name;
        EXPECT_EQ(info.height, e.height) << e.name;
        EXPECT_EQ(info.bits, e.bits) << e.name;
        EXPECT_TRUE(PowerOfTwo(info.width) && PowerOfTwo(info.height)) << e.name;
        if (e.format == std::string("tga")) {
            EXPECT_EQ(bytes.size(), 18u + static_cast<size_t>(e.width) * e.height * e.bits / 8) << e.name;
        }
    }
}

TEST(MediagenFilesTest, ResourceImagesHaveTheirFormatsAndSizes) {
    const Expected cases[] = {
        {"loading.jpg", "jpeg", 512, 512, 24}, {"corner.tga", "tga", 256, 128, 32},
        {"corner_176.tga", "tga", 1, 1, 32},   {"corner_177.tga", "tga", 1, 1, 32},
        {"corner_178.tga", "tga", 1, 1, 32},   {"preview.bmp", "bmp", 155, 115, 24},
        {"dialog.bmp", "bmp", 258, 185, 24},   {"about.bmp", "bmp", 80, 88, 24},
    };
    for (const Expected& e : cases) {
        const std::vector<unsigned char> bytes = ReadAll(ResourceDir() + "/" + e.name);
        const ImageInfo info = Identify(bytes);
        EXPECT_EQ(info.format, e.format) << e.name;
        EXPECT_EQ(info.width, e.width) << e.name;
        EXPECT_EQ(info.height, e.height) << e.name;
        EXPECT_EQ(info.bits, e.bits) << e.name;
    }
    // The loader draws a corner image only when its resource exceeds 1024 bytes.
    EXPECT_GT(ReadAll(ResourceDir() + "/corner.tga").size(), 1024u);
    for (const char* name : {"corner_176.tga", "corner_177.tga", "corner_178.tga"})
        EXPECT_LE(ReadAll(ResourceDir() + "/" + name).size(), 1024u) << name;
    // 24-bit BMP rows are padded to four bytes: 155 pixels take 468 bytes.
    EXPECT_EQ(ReadAll(ResourceDir() + "/preview.bmp").size(), 54u + 468u * 115u);
}

TEST(MediagenFilesTest, ArchiveHoldsTheTextFilesAndStaysSmall) {
    for (const char* name : {"Scene.props", "windows.ts", "sylfaen.fs", "sylfaen_eng_14.css", "ferrow.fs", "ferrow.css",
                             "ferrow_ampm.css",
                             "frostvale.wav"})
        EXPECT_TRUE(std::filesystem::is_regular_file(MediaDir() + "/" + name)) << name;
    std::uintmax_t total = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MediaDir())) {
        total += entry.file_size();
        ++files;
        // Archive members are addressed by plain names: no folders, no odd characters.
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(entry.is_regular_file()) << name;
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._"),
                  std::string::npos) << name;
    }
    EXPECT_GE(files, 27);
    EXPECT_LT(total, 6u * 1024 * 1024);
}

TEST(MediagenFilesTest, TexturesTileWithoutASeam) {
    // Opposite edges of a tileable texture differ no more than neighbouring rows inside it.
    struct Case {
        const char* name;
        Image image;
    };
    const Case cases[] = {{"snow", PaintSnow(64)},       {"bark", PaintBark(64)},   {"logs", PaintLogs(64)},
                          {"shingles", PaintShingles(64)}, {"stone", PaintStone(64)}, {"needles", PaintNeedles(64)},
                          {"ice", PaintIce(64)},         {"planks", PaintPlanks(64)}};
    for (const Case& c : cases) {
        auto rowStep = [&](int a, int b, bool vertical) {
            double sum = 0;
            for (int i = 0; i < 64; ++i) {
                const Rgba& p = vertical ? c.image.At(i, a) : c.image.At(a, i);
                const Rgba& q = vertical ? c.image.At(i, b) : c.image.At(b, i);
                sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
            }
            return sum / 64;
        };
        double inside = 0;
        for (int k = 0; k < 63; ++k) inside = std::max(inside, std::max(rowStep(k, k + 1, true), rowStep(k, k + 1, false)));
        EXPECT_LE(rowStep(63, 0, true), inside) << c.name;
        EXPECT_LE(rowStep(63, 0, false), inside) << c.name;
    }
}

TEST(MediagenFilesTest, SpritesFadeToNothingAtTheirEdges) {
    struct Case {
        const char* name;
        Image image;
    };
    const Case cases[] = {{"glow", PaintGlow(64)}, {"dust", PaintDust(64)}, {"sparkle", PaintSparkle(64)},
                          {"flake", PaintSnowFlake(64)}};
    for (const Case& c : cases) {
        float edge = 0;
        for (int i = 0; i < 64; ++i)
            edge = std::max({edge, c.image.At(i, 0).a, c.image.At(0, i).a, c.image.At(i, 63).a, c.image.At(63, i).a});
        EXPECT_LT(edge, 0.5f / 255) << c.name;
        EXPECT_GT(c.image.At(32, 32).a, 0.3f) << c.name;
    }
}

TEST(MediagenFilesTest, EncodersWriteWhatTheyAreGiven) {
    Image image(3, 2, Rgba{0, 0, 0, 1});
    image.At(0, 0) = FromBytes(255, 0, 0, 128);
    image.At(2, 1) = FromBytes(0, 0, 255);
    const std::string dir = std::filesystem::temp_directory_path().string();
    ASSERT_TRUE(WriteTga(image, dir + "/mediagen_test.tga", 32));
    ASSERT_TRUE(WriteBmp(image, dir + "/mediagen_test.bmp"));
    const std::vector<unsigned char> tga = ReadAll(dir + "/mediagen_test.tga");
    const std::vector<unsigned char> bmp = ReadAll(dir + "/mediagen_test.bmp");
    std::filesystem::remove(dir + "/mediagen_test.tga");
    std::filesystem::remove(dir + "/mediagen_test.bmp");
    // TGA: bottom-up BGRA after the 18-byte header; the top-left pixel is in the last row.
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 4);
    EXPECT_EQ(tga[17], 8);  // eight alpha bits, bottom-left origin
    const std::vector<unsigned char> topLeft(tga.begin() + 18 + 12, tga.begin() + 18 + 16);
    EXPECT_EQ(topLeft, (std::vector<unsigned char>{0, 0, 255, 128}));
    const std::vector<unsigned char> bottomRight(tga.begin() + 18 + 8, tga.begin() + 18 + 12);
    EXPECT_EQ(bottomRight, (std::vector<unsigned char>{255, 0, 0, 255}));
    // BMP: rows of 9 bytes padded to 12, bottom-up BGR.
    ASSERT_EQ(bmp.size(), 54u + 12 * 2);
    EXPECT_EQ(Little32(bmp, 2), bmp.size());
    EXPECT_EQ(Little32(bmp, 10), 54u);
    EXPECT_EQ(std::vector<unsigned char>(bmp.begin() + 54 + 6, bmp.begin() + 54 + 9), (std::vector<unsigned char>{255, 0, 0}));
    EXPECT_EQ(std::vector<unsigned char>(bmp.begin() + 54 + 12, bmp.begin() + 54 + 15), (std::vector<unsigned char>{0, 0, 255}));
}

TEST(MediagenFilesTest, WindowAtlasDescribesBothPanesInsideItsImage) {
    const std::string text = WindowAtlasDescription("windows.png", 128);
    const std::vector<unsigned char> file = ReadAll(MediaDir() + "/windows.ts");
    EXPECT_EQ(std::string(file.begin(), file.end()), text);
    PropsDocument document;
    ASSERT_TRUE(ParseProps(document, text.c_str(), static_cast<int>(text.size())));
    EXPECT_STREQ(AsString(Find(document, "FileName")).CStr(), "windows.png");
    const PropsNode* subs = Find(document, "Subs");
    ASSERT_NE(subs, nullptr);
    ASSERT_EQ(subs->Children().Count(), 2);
    const struct {
        const char* id;
        int x1, y1, w, h;
    } cases[] = {{"WindowLit", 0, 0, 128, 128}, {"WindowDark", 128, 0, 128, 128}};
    for (int i = 0; i < 2; ++i) {
        const PropsNode* sub = Get(subs, i);
        EXPECT_STREQ(AsString(Find(sub, "Id")).CStr(), cases[i].id);
        EXPECT_EQ(AsInt(Find(sub, "x1")), cases[i].x1);
        EXPECT_EQ(AsInt(Find(sub, "y1")), cases[i].y1);
        EXPECT_EQ(AsInt(Find(sub, "w")), cases[i].w);
        EXPECT_EQ(AsInt(Find(sub, "h")), cases[i].h);
        // The rectangle lies inside the 256 x 128 atlas image.
        EXPECT_LE(cases[i].x1 + cases[i].w, 256);
        EXPECT_LE(cases[i].y1 + cases[i].h, 128);
    }
    // The atlas image is the two panes side by side, 2·128 × 128.
    const ImageInfo info = Identify(ReadAll(MediaDir() + "/windows.png"));
    EXPECT_EQ(info.width, 256);
    EXPECT_EQ(info.height, 128);
}

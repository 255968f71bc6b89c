// The generated images as the engine's decoders read them: every file decodes, with the
// size and the pixels the generator painted, top row first.

#include "platform/image/image.h"
#include "platform/image/texture_image.h"
#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/fonts.h"
#include "tools/mediagen/pictures.h"
#include "tools/mediagen/textures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace mediagen_test;

namespace {

std::uint32_t Argb(const Rgba& p) {
    return image::PackArgb(ToByte(p.a), ToByte(p.r), ToByte(p.g), ToByte(p.b));
}

bool Decode(const std::string& path, image::Image& decoded) {
    const std::vector<unsigned char> bytes = ReadAll(path);
    return image::DecodeImage(bytes.data(), bytes.size(), decoded);
}

}  // namespace

TEST(MediagenDecodeTest, EveryGeneratedImageDecodes) {
    for (const std::string& dir : {MediaDir(), ResourceDir()}) {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".png" && ext != ".jpg" && ext != ".tga" && ext != ".bmp") continue;
            image::Image decoded;
            EXPECT_TRUE(Decode(entry.path().string(), decoded)) << entry.path();
            const ImageInfo info = Identify(ReadAll(entry.path().string()));
            EXPECT_EQ(decoded.width, info.width) << entry.path();
            EXPECT_EQ(decoded.height, info.height) << entry.path();
        }
    }
}

TEST(MediagenDecodeTest, LosslessFilesDecodeToThePaintedPixels) {
    BitmapFont sans, clock;
    std::vector<int> widths;
    std::vector<ClockGlyph> glyphs;
    ASSERT_TRUE(BuildSansFont(sans, widths));
    ASSERT_TRUE(BuildClockFont(clock, glyphs));
    struct Case {
        std::string path;
        ::Image painted;
        bool alpha;
    };
    const Case cases[] = {
        {MediaDir() + "/sylfaen_eng_14.png", sans.texture, true},
        {MediaDir() + "/font01.tga", clock.texture, true},
        {MediaDir() + "/snowA_01.tga", PaintSnowFlake(64), true},
        {MediaDir() + "/window_lit.png", PaintWindow(128, true), false},
        {ResourceDir() + "/corner.tga", PaintCornerBadge(256, 128), true},
        {ResourceDir() + "/preview.bmp", PaintVillage(155, 115, false), false},
    };
    for (const Case& c : cases) {
        image::Image decoded;
        ASSERT_TRUE(Decode(c.path, decoded)) << c.path;
        ASSERT_EQ(decoded.width, c.painted.Width()) << c.path;
        ASSERT_EQ(decoded.height, c.painted.Height()) << c.path;
        int mismatches = 0;
        for (int y = 0; y < decoded.height; ++y) {
            for (int x = 0; x < decoded.width; ++x) {
                std::uint32_t expected = Argb(c.painted.At(x, y));
                if (!c.alpha) expected |= 0xFF000000u;
                mismatches += decoded.At(x, y) != expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << c.path;
    }
}

TEST(MediagenDecodeTest, ClockFontKeyLeavesOnlyTheGlyphs) {
    image::Image decoded;
    ASSERT_TRUE(Decode(MediaDir() + "/font01.tga", decoded));
    image::ApplyColorKey(decoded, 0xFFFF00FFu);
    BitmapFont clock;
    std::vector<ClockGlyph> glyphs;
    ASSERT_TRUE(BuildClockFont(clock, glyphs));
    for (const ClockGlyph& g : glyphs) {
        int opaque = 0;
        for (int y = g.top; y <= g.bottom; ++y)
            for (int x = g.left; x <= g.right; ++x) opaque += (decoded.At(x, y) >> 24) == 0xFF;
        // The space is empty; every other glyph has solid ink.
        if (g.character == ' ') {
            EXPECT_EQ(opaque, 0);
        } else {
            EXPECT_GT(opaque, 40) << g.character;
        }
    }
    // Outside the glyphs everything became transparent black.
    EXPECT_EQ(decoded.At(0, 0), 0u);
    EXPECT_EQ(decoded.At(255, 255), 0u);
}

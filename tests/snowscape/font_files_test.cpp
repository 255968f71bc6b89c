// Bitmap fonts from their files: styles, charset keys (widths by number and by quoted
// character, rectangles, colour keys), the grid, failures, and the shipped fonts.

#include "core/log.h"
#include "render/texture_cache.h"
#include "snowscape/font_files.h"
#include "tests/render/texture_test_util.h"
#include "tests/tools/mediagen_formats.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace texture_test;

namespace {

class FontFilesTest : public RecordingTextureTest {
protected:
    // A charset over a 64 x 32 texture; `keys` follow the fixed head.
    String Charset(const std::string& name, const std::string& keys) {
        folder_.Write("glyphs.png", SolidPng(64, 32, 0xFFFFFFFF));
        return String(folder_.Write(name, "Name = \"glyphs.png\";\n" + keys).c_str());
    }
    bool Load(const std::string& keys, ::Charset& cs) { return LoadCharset(cs, Charset("c.css", keys), textures_); }

    TextureCache textures_;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(FontFilesTest, WidthsByNumberAndByQuotedCharacterInWalkOrder) {
    ::Charset cs;
    // Statement by statement, the walk starts at the last entry, then the others in order:
    // "0" (48) is set by [48] = 5, then by ["0"] = 7; 49 by ["1"], then [49] = 3.
    ASSERT_TRUE(Load("CharsPerLine = 4; CharWidth = 9; StartChar = 40; EndChar = 60;\n"
                     "Sizes[48] = 5; Sizes[\"0\"] = 7; Sizes[\"1\"] = 8; Sizes[49] = 3; Sizes[30] = 9; "
                     "Sizes[61] = 9; Sizes[\"A\"] = 1; Sizes[50] = 300;",
                     cs));
    ASSERT_EQ(cs.widths.size(), 21u);
    const std::pair<int, int> widths[] = {{48, 7}, {49, 3}, {50, 300 & 0xFF}, {40, 0}, {60, 0},
                                          {61, 9 /* outside: CharWidth */}, {39, 9}, {'P', 9}};
    for (const auto& [code, width] : widths) EXPECT_EQ(cs.GlyphWidth(code), width) << code;
    // Every width lands on its own code, not shifted by StartChar.
    for (int code = 40; code <= 60; ++code) {
        if (code != 48 && code != 49 && code != 50) {
            EXPECT_EQ(cs.GlyphWidth(code), 0) << code;
        }
    }
}

TEST_F(FontFilesTest, GridRectanglesStopBeforeEndCharAndRectsOverrideThem) {
    ::Charset cs;
    ASSERT_TRUE(Load("CharsPerLine = 2; CharWidth = 16; CharHeight = 8; StartChar = 65; EndChar = 70;\n"
                     "Sizes = array(); Sizes[67] = 10; Sizes[70] = 12;\n"
                     "Rects[\"F\"] = array(4, 2, 9, 7); Rects[\"Z\"] = array(0, 0, 63, 31);",
                     cs));
    EXPECT_EQ(cs.textureWidth, 64);
    EXPECT_EQ(cs.textureHeight, 32);
    // "C" is cell 2: column 0, row 1, ten texels wide.
    const GlyphRect c = cs.Glyph('C', 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.left, 0.0f);
    EXPECT_FLOAT_EQ(c.top, 8 / 32.0f);
    EXPECT_FLOAT_EQ(c.right, 10 / 64.0f);
    EXPECT_FLOAT_EQ(c.bottom, 16 / 32.0f);
    // Insets move the rectangle inwards by texels.
    const GlyphRect inset = cs.Glyph('C', 1, 2, 3, 4);
    EXPECT_FLOAT_EQ(inset.left, 1 / 64.0f);
    EXPECT_FLOAT_EQ(inset.top, 10 / 32.0f);
    EXPECT_FLOAT_EQ(inset.right, 7 / 64.0f);
    EXPECT_FLOAT_EQ(inset.bottom, 12 / 32.0f);
    // EndChar ("F") has no grid rectangle of its own; Rects gives it one and its width.
    const GlyphRect f = cs.Glyph('F', 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(f.left, 4 / 64.0f);
    EXPECT_FLOAT_EQ(f.bottom, 7 / 32.0f);
    EXPECT_EQ(cs.GlyphWidth('F'), 6);
    // "Z" lies outside the range: ignored.
    EXPECT_EQ(cs.rects.size(), 6u);

    ::Charset noRects;
    ASSERT_TRUE(Load("CharsPerLine = 2; StartChar = 65; EndChar = 70; Sizes[70] = 12;", noRects));
    const GlyphRect end = noRects.Glyph('F', 0, 0, 0, 0);
    EXPECT_EQ(end.right, 0.0f);
    EXPECT_EQ(noRects.GlyphWidth('F'), 12);
}

TEST_F(FontFilesTest, ColorKeyForms) {
    const struct {
        const char* keys;
        std::optional<D3DCOLOR> key;
    } cases[] = {
        {"", std::nullopt},
        {"ColorKey = array(255, 0, 255);", 0xFFFF00FF},
        {"ColorKey.r = 1; ColorKey.g = 2; ColorKey.b = 3;", 0xFF010203},
        {"ColorKey.r = 9; ColorKey.g = 7; ColorKey[1] = 2; ColorKey.b = 3;", 0xFF090203},  // numbered first, letters fill in
        {"ColorKey = 4278255360;", 0xFF00FF00},
    };
    for (const auto& c : cases) {
        ::Charset cs;
        ASSERT_TRUE(Load(std::string("CharsPerLine = 4;") + c.keys, cs)) << c.keys;
        EXPECT_EQ(cs.colorKey, c.key) << c.keys;
    }
}

TEST_F(FontFilesTest, CharsetsThatCannotLoadFail) {
    const std::string logPath = folder_.Write("log.txt", "");
    const struct {
        const char* keys;
        bool logged;
    } cases[] = {
        {"StartChar = 0;", false},                          // no CharsPerLine: no grid
        {"CharsPerLine = 0;", false},
        {"CharsPerLine = 4; StartChar = 10; EndChar = 9;", false},
        {"CharsPerLine = 4; EndChar = 70000;", false},      // beyond 16-bit codes
        {"CharsPerLine = 4; CharHeight = 2147483647;", false},  // larger than any texture
        {"CharsPerLine = 4; CharWidth = -1;", false},
        {"CharsPerLine = 4; Name = \"missing.png\";", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(OpenLogFile(logPath.c_str()));
        ::Charset cs;
        EXPECT_FALSE(Load(c.keys, cs)) << c.keys;
        CloseLogFile();
        const std::string log = ReadText(logPath);
        EXPECT_EQ(log == "Error: font texture loading failed\n", c.logged) << c.keys << ": " << log;
    }
    ::Charset cs;
    EXPECT_FALSE(LoadCharset(cs, "/nowhere/c.css", textures_));
}

TEST_F(FontFilesTest, FontStylesAndPartialFailure) {
    Charset("a.css", "CharsPerLine = 4; StartChar = 32; EndChar = 64;");
    Charset("b.css", "CharsPerLine = 4; StartChar = 65; EndChar = 127;");
    const String path(folder_.Write("f.fs", "Styles[0].Size = 20; Styles[0].Charsets = array(\"a.css\", \"b.css\");\n"
                                            "Styles[1].Size = 20; Styles[1].Bold = 1; Styles[1].Charsets = "
                                            "array(\"missing.css\");\n"
                                            "Styles[2].Italic = 2; Styles[2].Charsets = array(\"b.css\");")
                          .c_str());
    BitmapFont font;
    EXPECT_FALSE(LoadFont(font, path, textures_));  // one charset failed; the rest stays
    ASSERT_EQ(font.Styles().size(), 3u);
    EXPECT_EQ(font.Styles()[2].size, 14);
    TextStyle style;
    style.size = 20;
    const CharsetList* list = font.Find(style);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Charsets().size(), 2u);
    // The lookup finds each range and wraps back to the first charset.
    EXPECT_EQ(list->For('z'), list->Charsets()[1].get());
    EXPECT_EQ(list->For(' '), list->Charsets()[0].get());
    EXPECT_EQ(list->For(200), nullptr);
    style.flags = kStyleBold;
    ASSERT_NE(font.Find(style), nullptr);
    EXPECT_TRUE(font.Find(style)->Charsets().empty());
    style.size = 14;
    style.flags = kStyleItalic;
    EXPECT_NE(font.Find(style), nullptr);
    EXPECT_FALSE(LoadFont(font, "/nowhere/f.fs", textures_));
    EXPECT_TRUE(font.Styles().empty());
}

TEST_F(FontFilesTest, ShippedFontsHaveTheirStyles) {
    BitmapFont sans, title;
    ASSERT_TRUE(LoadFont(sans, String((mediagen_test::MediaDir() + "/sylfaen.fs").c_str()), textures_));
    ASSERT_TRUE(LoadFont(title, String((mediagen_test::MediaDir() + "/ferrow.fs").c_str()), textures_));
    TextStyle style;
    style.size = 64;
    EXPECT_EQ(sans.Find(style), nullptr);
    const CharsetList* clock = title.Find(style);
    ASSERT_NE(clock, nullptr);
    style.flags = kStyleBold;
    EXPECT_EQ(title.Find(style), nullptr);
    // Every clock character but the space has a glyph at the left edge of its code's cell in
    // its charset, spanning as many texels as the glyph box has pixels; all share one texture.
    ASSERT_EQ(clock->Charsets().size(), 2u);
    for (char c : std::string(".0123456789:amp")) {
        const ::Charset* cs = clock->For(c);
        ASSERT_NE(cs, nullptr) << c;
        EXPECT_EQ(cs->texture, clock->Charsets()[0]->texture);
        const int cell = c - cs->start;
        const GlyphRect r = cs->Glyph(c, 0, 0, 0, 0);
        EXPECT_FLOAT_EQ(r.left * float(cs->textureWidth), float(cell % cs->charsPerLine * 64)) << c;
        EXPECT_FLOAT_EQ((r.right - r.left) * float(cs->textureWidth), float(cs->GlyphWidth(c))) << c;
        EXPECT_FLOAT_EQ((r.bottom - r.top) * float(cs->textureHeight), 64.0f) << c;
        EXPECT_GT(cs->GlyphWidth(c), 0) << c;
    }
    style.size = 14;
    style.flags = 0;
    ASSERT_NE(sans.Find(style), nullptr);
    EXPECT_GT(sans.TextWidth(style, u"Frostvale"), 40);
}

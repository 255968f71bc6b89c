// The bitmap fonts: cell layout, widths, rectangles and the files that describe them.

#include "props/props_parser.h"
#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace mediagen_test;

namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(MediagenFontsTest, SansGlyphsStayInsideTheirCellsAndWidths) {
    BitmapFont font;
    std::vector<int> widths;
    ASSERT_TRUE(BuildSansFont(font, widths));
    ASSERT_EQ(widths.size(), 256u);
    const int rows = (kSansCodes + kSansPerRow - 1) / kSansPerRow;
    ASSERT_GE(font.texture.Width(), kSansPerRow * kSansCell);
    ASSERT_GE(font.texture.Height(), rows * kSansCell);
    // Every inked texel belongs to the cell of one code and lies left of that code's width.
    std::set<int> inked;
    for (int y = 0; y < font.texture.Height(); ++y) {
        for (int x = 0; x < font.texture.Width(); ++x) {
            if (font.texture.At(x, y).a <= 0) continue;
            ASSERT_LT(x, kSansPerRow * kSansCell) << x << "," << y;
            const int code = (y / kSansCell) * kSansPerRow + x / kSansCell;
            ASSERT_LT(code, kSansCodes) << x << "," << y;
            EXPECT_LT(x % kSansCell, widths[code]) << "code " << code;
            inked.insert(code);
        }
    }
    const std::pair<int, int> cases[] = {{'A', 1}, {'g', 1}, {'0', 1}, {0xE9, 1}, {0x80, 1}, {' ', 0}, {7, 0}, {0x81, 0}};
    for (const auto& [code, hasInk] : cases) EXPECT_EQ(inked.count(code), static_cast<size_t>(hasInk)) << code;
    for (int code = 0; code < 32; ++code) EXPECT_EQ(widths[code], 0) << code;
    for (int code = 32; code < 127; ++code) {
        EXPECT_GE(widths[code], 2) << code;
        EXPECT_LE(widths[code], kSansCell) << code;
    }
    EXPECT_GT(widths['W'], widths['i']);
    // The charset names its texture and the grid, and lists all 256 widths in one array.
    EXPECT_NE(font.charsetText.find("Name         = \"sylfaen_eng_14.png\";"), std::string::npos);
    EXPECT_NE(font.charsetText.find("CharsPerLine = 18;"), std::string::npos);
    EXPECT_NE(font.charsetText.find("CharWidth    = 14;"), std::string::npos);
    const size_t open = font.charsetText.find("Sizes = array(");
    ASSERT_NE(open, std::string::npos);
    EXPECT_EQ(Count(font.charsetText.substr(open), ","), 255);
    EXPECT_NE(font.fontText.find("Styles[0].Size     = 14;"), std::string::npos);
    EXPECT_NE(font.fontText.find("array(\"sylfaen_eng_14.css\")"), std::string::npos);
}

TEST(MediagenFontsTest, ClockGlyphsSitAtTheLeftOfTheCellsOfTheirCodes) {
    BitmapFont font;
    std::vector<ClockGlyph> glyphs;
    ASSERT_TRUE(BuildClockFont(font, glyphs));
    ASSERT_EQ(glyphs.size(), 16u);
    EXPECT_EQ(font.texture.Width(), kClockTextureWidth);
    EXPECT_EQ(font.texture.Height(), kClockTextureHeight);
    std::string characters;
    for (const ClockGlyph& g : glyphs) {
        characters += g.character;
        const int start = g.character >= kAmPmStartChar ? kAmPmStartChar : kClockStartChar;
        if (g.character != ' ') ASSERT_EQ(g.cell, g.character - start) << g.character;
        const int cellX = (g.cell % kClockPerRow) * kClockCell, cellY = (g.cell / kClockPerRow) * kClockCell;
        EXPECT_EQ(g.left, cellX) << g.character;
        EXPECT_LT(g.right, cellX + kClockCell) << g.character;
        EXPECT_EQ(g.top, cellY) << g.character;
        EXPECT_EQ(g.bottom, cellY + kClockCell - 1) << g.character;
        // Ink (anything but the key colour) stays inside the glyph's width.
        for (int y = cellY; y < cellY + kClockCell; ++y) {
            for (int x = cellX; x < cellX + kClockCell; ++x) {
                const Rgba& p = font.texture.At(x, y);
                const bool key = p.r == 1 && p.g == 0 && p.b == 1 && p.a == 1;
                if (!key) {
                    EXPECT_TRUE(x >= g.left && x <= g.right) << g.character << " at " << x << "," << y;
                }
            }
        }
    }
    std::string sorted = characters;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, " .0123456789:amp");
    // Digits share one width so the clock does not jitter.
    for (const ClockGlyph& g : glyphs)
        if (g.character >= '0' && g.character <= '9') {
            EXPECT_EQ(g.right - g.left, glyphs[2].right - glyphs[2].left);
        }
    EXPECT_NE(font.charsetText.find("ColorKey     = array(255,0,255);"), std::string::npos);
    EXPECT_NE(font.charsetText.find("Sizes[\"0\"] = "), std::string::npos);
    EXPECT_NE(font.charsetText.find("Sizes[46] = "), std::string::npos);
    EXPECT_EQ(Count(font.charsetText, "Rects["), 1);  // the space, over clear texels
    EXPECT_EQ(Count(font.charsetText, "Sizes["), 13);
    EXPECT_EQ(Count(font.extraCharsetText, "Sizes["), 3);
    EXPECT_NE(font.fontText.find("Styles[0].Size     = 64;"), std::string::npos);
}

TEST(MediagenFontsTest, FontFilesAreWrittenAsBuilt) {
    BitmapFont sans, clock;
    std::vector<int> widths;
    std::vector<ClockGlyph> glyphs;
    ASSERT_TRUE(BuildSansFont(sans, widths));
    ASSERT_TRUE(BuildClockFont(clock, glyphs));
    for (const BitmapFont* font : {&sans, &clock}) {
        const std::vector<unsigned char> fs = ReadAll(MediaDir() + "/" + font->fontFileName);
        const std::vector<unsigned char> css = ReadAll(MediaDir() + "/" + font->charsetFileName);
        EXPECT_EQ(std::string(fs.begin(), fs.end()), font->fontText);
        EXPECT_EQ(std::string(css.begin(), css.end()), font->charsetText);
        if (!font->extraCharsetFileName.empty()) {
            const std::vector<unsigned char> extra = ReadAll(MediaDir() + "/" + font->extraCharsetFileName);
            EXPECT_EQ(std::string(extra.begin(), extra.end()), font->extraCharsetText);
        }
        const ImageInfo info = Identify(ReadAll(MediaDir() + "/" + font->textureFileName));
        EXPECT_EQ(info.width, font->texture.Width());
        EXPECT_EQ(info.height, font->texture.Height());
        EXPECT_EQ(info.bits, 32);
    }
}

TEST(MediagenFontsTest, CharsetsParseToTheirWidthsAndRectangles) {
    BitmapFont sans, clock;
    std::vector<int> widths;
    std::vector<ClockGlyph> glyphs;
    ASSERT_TRUE(BuildSansFont(sans, widths));
    ASSERT_TRUE(BuildClockFont(clock, glyphs));
    PropsDocument sansDoc, clockDoc, sansFont, clockFont;
    ASSERT_TRUE(ParseProps(sansDoc, sans.charsetText.c_str(), static_cast<int>(sans.charsetText.size())));
    ASSERT_TRUE(ParseProps(clockDoc, clock.charsetText.c_str(), static_cast<int>(clock.charsetText.size())));
    ASSERT_TRUE(ParseProps(sansFont, sans.fontText.c_str(), static_cast<int>(sans.fontText.size())));
    ASSERT_TRUE(ParseProps(clockFont, clock.fontText.c_str(), static_cast<int>(clock.fontText.size())));
    // Sans: the grid keys and one width per code, element n for code n.
    const std::pair<const char*, int> grid[] = {{"CharWidth", 14}, {"CharHeight", 14}, {"CharsPerLine", 18},
                                                {"StartChar", 0},  {"EndChar", 256}};
    for (const auto& [key, value] : grid) EXPECT_EQ(AsInt(Find(sansDoc, key)), value) << key;
    const PropsNode* sizes = Find(sansDoc, "Sizes");
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->Children().Count(), kSansCodes);
    for (int code : {0, 32, int{'A'}, int{'W'}, int{'i'}, 0xE9, 255}) EXPECT_EQ(AsInt(Get(sizes, code)), widths[code]) << code;
    EXPECT_STREQ(AsString(Find(sansDoc, "Name")).CStr(), "sylfaen_eng_14.png");
    // Clock: the key colour, and each glyph's width under its quoted character (".", which a
    // key path cannot name, by its code).
    const PropsNode* key = Find(clockDoc, "ColorKey");
    EXPECT_EQ(AsInt(Get(key, 0)) * 65536 + AsInt(Get(key, 1)) * 256 + AsInt(Get(key, 2)), 0xFF00FF);
    for (const ClockGlyph& g : glyphs) {
        const std::string quoted = std::string("\"") + g.character + "\"";
        if (g.character >= kAmPmStartChar) continue;
        const PropsNode* width = Find(Find(clockDoc, "Sizes"), g.character == '.' ? "46" : quoted.c_str());
        EXPECT_EQ(AsInt(width), g.right - g.left + 1) << g.character;
    }
    EXPECT_EQ(AsInt(Find(clockDoc, "EndChar")), kClockEndChar);
    // Fonts: one style each, of size 14 and 64, naming their charsets.
    const std::pair<PropsDocument*, std::pair<int, const char*>> fonts[] = {
        {&sansFont, {14, "sylfaen_eng_14.css"}}, {&clockFont, {64, "ferrow.css"}}};
    for (const auto& [document, expected] : fonts) {
        const PropsNode* styles = Find(*document, "Styles");
        ASSERT_NE(styles, nullptr);
        EXPECT_EQ(styles->Children().Count(), 1);
        const PropsNode* style = Get(styles, 0);
        EXPECT_EQ(AsInt(Find(style, "Size")), expected.first);
        EXPECT_EQ(AsInt(Find(style, "Bold")), 0);
        EXPECT_STREQ(AsString(Get(Find(style, "Charsets"), 0)).CStr(), expected.second);
    }
}

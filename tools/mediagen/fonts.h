#pragma once
// The two bitmap fonts: a font file (".fs") naming its styles and charsets, a charset (".css")
// describing the cell grid, glyph widths and rectangles, and the glyph texture.
//  - "sylfaen.fs": size 14; charset of 14 × 14 cells, 18 per row, codes 0 … 255 in
//    Windows-1252, widths from an array; texture "sylfaen_eng_14.png" (DejaVu Sans).
//  - "ferrow.fs": size 64; two charsets over one texture "font01.tga" (DejaVu Sans Mono Bold,
//    colour key 255, 0, 255) in 64 × 64 cells, 8 per row: "ferrow.css" for codes 32 … 58
//    (space to ":") and "ferrow_ampm.css" for 97 … 112 ("a" to "p"). Each glyph sits at the
//    left edge of the grid cell of its code in its charset, its width in "Sizes"; a grid cell
//    maps one texel to one pixel. The space, whose cell "a" holds, has an explicit rectangle
//    ("Rects") over clear texels: a rectangle's width counts both corners while its texture
//    span does not, which only an invisible glyph can afford.

#include "tools/mediagen/image.h"

#include <string>
#include <vector>

struct BitmapFont {
    std::string fontFileName, fontText;
    std::string charsetFileName, charsetText;
    std::string extraCharsetFileName, extraCharsetText;  // a second charset, or empty
    std::string textureFileName;
    Image texture;
};

// Sans font: cell grid from code 0, widths[code] for codes 0 … 255.
constexpr int kSansCell = 14, kSansPerRow = 18, kSansCodes = 256;
bool BuildSansFont(BitmapFont& font, std::vector<int>& widths);

// Clock font: the characters it holds and where; rectangles are inclusive pixel corners.
// Each range ends one past its last code, the last code with a grid cell.
constexpr int kClockCell = 64, kClockPerRow = 8;
constexpr int kClockStartChar = ' ', kClockEndChar = ':' + 1;
constexpr int kAmPmStartChar = 'a', kAmPmEndChar = 'p' + 1;
constexpr int kClockTextureWidth = kClockPerRow * kClockCell, kClockTextureHeight = 4 * kClockCell;
struct ClockGlyph {
    char character;
    int cell;  // cell index in the texture grid: the code less its charset's first code
    int left, top, right, bottom;
};
bool BuildClockFont(BitmapFont& font, std::vector<ClockGlyph>& glyphs);

bool WriteFonts(const std::string& mediaDir);

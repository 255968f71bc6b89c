#pragma once
// The two bitmap fonts: a font file (".fs") naming its styles and charsets, a charset (".css")
// describing the cell grid, glyph widths and rectangles, and the glyph texture.
//  - "sylfaen.fs": size 14; charset of 14 × 14 cells, 18 per row, codes 0 … 255 in
//    Windows-1252, widths from an array; texture "sylfaen_eng_14.png" (DejaVu Sans).
//  - "ferrow.fs": size 64; charset of 64 × 64 cells, 4 per row, colour key 255, 0, 255; texture
//    "font01.tga" with the clock's sixteen characters (DejaVu Sans Mono Bold).

#include "tools/mediagen/image.h"

#include <string>
#include <vector>

struct BitmapFont {
    std::string fontFileName, fontText;
    std::string charsetFileName, charsetText;
    std::string textureFileName;
    Image texture;
};

// Sans font: cell grid from code 0, widths[code] for codes 0 … 255.
constexpr int kSansCell = 14, kSansPerRow = 18, kSansCodes = 256;
bool BuildSansFont(BitmapFont& font, std::vector<int>& widths);

// Clock font: the characters it holds and where; rectangles are inclusive pixel corners.
constexpr int kClockCell = 64, kClockPerRow = 4, kClockStartChar = 32, kClockEndChar = 122;
struct ClockGlyph {
    char character;
    int cell;  // cell index in the texture grid
    int left, top, right, bottom;
    bool explicitRect;  // false: found through the grid cell of its code
};
bool BuildClockFont(BitmapFont& font, std::vector<ClockGlyph>& glyphs);

bool WriteFonts(const std::string& mediaDir);

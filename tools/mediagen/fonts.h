#pragma once
// The two bitmap fonts: a font file (".fs") naming its styles and charsets, a charset (".css")
// describing the cell grid, glyph widths and rectangles, and the glyph texture.
//  - "sylfaen.fs": size 14; charset of 14 × 14 cells, 18 per row, codes 0 … 255 in
//    Windows-1252, widths from an array; texture "sylfaen_eng_14.png" (DejaVu Sans).
//  - "ferrow.fs": size 64; charset of 64 × 64 cells, 16 per row, codes 32 … 112, colour key
//    255, 0, 255; texture "font01.tga" with the clock's sixteen characters (DejaVu Sans Mono
//    Bold), each at the left edge of the grid cell of its code, its width in "Sizes". A grid
//    cell maps one texel to one pixel; an explicit rectangle ("Rects") would not, since its
//    width counts both corners while its texture span does not.

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

// Clock font: the characters it holds and where; rectangles are inclusive pixel corners. The
// range ends one past "p", the last code with a grid cell.
constexpr int kClockCell = 64, kClockPerRow = 16, kClockStartChar = 32, kClockEndChar = 'p' + 1;
constexpr int kClockRows = (kClockEndChar - kClockStartChar + kClockPerRow - 1) / kClockPerRow;
struct ClockGlyph {
    char character;
    int cell;  // cell index in the texture grid: the code less kClockStartChar
    int left, top, right, bottom;
};
bool BuildClockFont(BitmapFont& font, std::vector<ClockGlyph>& glyphs);

bool WriteFonts(const std::string& mediaDir);

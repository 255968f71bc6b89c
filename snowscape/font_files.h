#pragma once
// Reading bitmap fonts: a font file (".fs") lists styles ("Styles": records of "Size",
// "Bold", "Italic" and "Charsets", the charset files relative to the font's folder); a
// charset file (".css") describes one glyph texture: its range StartChar ... EndChar, the
// cell grid (CharWidth, CharHeight, CharsPerLine), the widths ("Sizes", by code or by quoted
// character) and explicit rectangles ("Rects"), and the texture ("Name", "Format",
// "ColorKey"). Both are props files read through ReadFile.

#include "core/byte_string.h"
#include "render/bitmap_font.h"

class TextureCache;

// Codes a charset may cover: the 16-bit characters of label texts.
constexpr int kMaxCharCode = 0xFFFF;
// The largest CharWidth and CharHeight: the largest texture side.
constexpr int kMaxCellSize = 16384;

// Clears the font and loads every style and charset of the file. False when the file
// cannot be read or a charset fails; the styles and charsets that loaded stay.
bool LoadFont(BitmapFont& font, const String& path, TextureCache& textures);

// Loads one charset and its texture. False (and "Error: font texture loading failed\n" to
// the log when the texture is at fault) when the file cannot be read, the range is empty or
// outside 0 ... kMaxCharCode, CharsPerLine is missing or not positive, a cell size is outside
// 0 ... kMaxCellSize, or the texture cannot be loaded.
bool LoadCharset(Charset& charset, const String& path, TextureCache& textures);

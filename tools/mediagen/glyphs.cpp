#include "tools/mediagen/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

GlyphFace::~GlyphFace() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool GlyphFace::Open(const std::string& fileName, int pixelSize) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    library_ = library;
    FT_Face face = nullptr;
    const std::string path = std::string(kDejaVuFolder) + "/" + fileName;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return false;
    face_ = face;
    return FT_Set_Pixel_Sizes(face, 0, pixelSize) == 0;
}

bool GlyphFace::Render(unsigned codePoint, Glyph& glyph) const {
    glyph = Glyph();
    FT_Face face = static_cast<FT_Face>(face_);
    if (!face || codePoint == 0) return false;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0) return false;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = bitmap.buffer[y * bitmap.pitch + x];
        }
    }
    return true;
}

int GlyphFace::Ascender() const {
    FT_Face face = static_cast<FT_Face>(face_);
    return face ? static_cast<int>((face->size->metrics.ascender + 32) >> 6) : 0;
}

int GlyphFace::Descender() const {
    FT_Face face = static_cast<FT_Face>(face_);
    return face ? static_cast<int>((-face->size->metrics.descender + 32) >> 6) : 0;
}

unsigned Windows1252ToUnicode(unsigned char code) {
    static const unsigned kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code >= 0x80 && code < 0xA0) return kHigh[code - 0x80];
    return code;
}

#pragma once
// Glyphs rendered with FreeType from the DejaVu fonts installed on the build machine.

#include <string>
#include <vector>

// Folder of the DejaVu TrueType fonts (Debian package fonts-dejavu-core).
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";

struct Glyph {
    int width = 0, height = 0;  // bitmap size
    int left = 0, top = 0;      // bitmap offset from the pen position (top: above the baseline)
    int advance = 0;            // pen advance, whole pixels
    std::vector<unsigned char> coverage;  // width × height, 0 … 255
};

class GlyphFace {
public:
    GlyphFace() = default;
    GlyphFace(const GlyphFace&) = delete;
    GlyphFace& operator=(const GlyphFace&) = delete;
    ~GlyphFace();

    // Opens a font file of kDejaVuFolder at a pixel height; false when FreeType cannot.
    bool Open(const std::string& fileName, int pixelSize);
    // Renders a Unicode code point, antialiased; false for a missing glyph (the glyph is empty).
    bool Render(unsigned codePoint, Glyph& glyph) const;
    int Ascender() const;   // pixels above the baseline
    int Descender() const;  // pixels below the baseline (positive)

private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// The Unicode code point of a Windows-1252 byte; 0 for the five unassigned codes.
unsigned Windows1252ToUnicode(unsigned char code);

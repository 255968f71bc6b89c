#pragma once
// Text layout of a label: where each character of a 16-bit text lands in the label's
// rectangle with a bitmap font, and the six pre-transformed vertices of each placed glyph.
//
// Glyph boxes and the horizontal advance are scaled by the layout scale; the line advance
// (line gap + cell height) is not. A character that no charset of the style covers is
// skipped; a line feed always starts a new line (with the cell height of its charset, or of
// the style's first charset when none covers it).

#include "render/bitmap_font.h"
#include "render/rect_clip.h"
#include "render/texture_geometry.h"

#include <string>
#include <vector>

struct GlyphBox {
    char16_t character;
    const Charset* charset;
    ScreenBox box;  // edges, screen pixels
};

struct TextLayoutInput {
    ScreenBox edges;  // the label's screen rectangle as edges
    bool wrap = false;
    float firstCharacter = 0;    // wrap on: index of the first character laid out
    float horizontalScroll = 0;  // wrap off: pixels the text moves left
    float verticalScroll = 0;    // pixels (wrap off) or lines (wrap on)
    float scale = 1;             // the layout scale
};

// Fills boxes (in placing order) and the triangle count per texture. False when the font
// has no charsets for the style.
bool LayOutText(const BitmapFont& font, const TextStyle& style, const std::u16string& text,
                const TextLayoutInput& input, std::vector<GlyphBox>& boxes, std::vector<TextureTriangles>& counts);

constexpr int kGlyphFloats = 36;  // six vertices of x, y, z, rhw, u, v
// The glyph's two triangles: the box cut to the clip rectangle (edges), its texture
// rectangle shrunk by the pixels cut away, at depth z, moved by -0.5 pixel onto pixel
// centres.
void WriteGlyphQuad(const GlyphBox& glyph, const ScreenBox& clipEdges, float z, float* out);

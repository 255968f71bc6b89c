#pragma once
// Bitmap fonts in memory: a charset is a texture holding a grid of character cells with a
// width and a texture rectangle per code of its range; a font maps text styles (by size and
// flags) to the charsets that draw them. Reading the font and charset files is the
// snowscape's job; labels only look glyphs up here.

#include "core/byte_string.h"
#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class RenderTexture;

constexpr int kStyleBold = 1;
constexpr int kStyleItalic = 2;

// Shared by fonts (size and flags pick a charset list) and labels (all of it).
struct TextStyle {
    int size = 14;
    int flags = 0;  // kStyleBold, kStyleItalic
    int spacing = 0;  // letter spacing, pixels
    int lineGap = 0;  // pixels between lines
    float color[3] = {1, 1, 1};
    float secondColor[3] = {0, 0, 0};
};

// Texture-space rectangle of a glyph (u, v in 0 ... 1).
struct GlyphRect {
    float left = 0, top = 0, right = 0, bottom = 0;
};

struct Charset {
    String fileName;     // as it was read
    String textureName;  // the image file, beside the charset file
    int start = 0, end = 256;  // codes start ... end
    int charWidth = 14, charHeight = 14, charsPerLine = 0;
    std::optional<D3DCOLOR> colorKey;
    std::vector<std::uint8_t> widths;  // one per code of the range, index code - start
    std::vector<GlyphRect> rects;      // the same
    RenderTexture* texture = nullptr;  // owned by the texture cache that loaded it
    int textureWidth = 1, textureHeight = 1;

    bool Covers(int code) const { return code >= start && code <= end; }
    // The width table's entry; CharWidth for codes outside the range.
    int GlyphWidth(int code) const;
    // The glyph's rectangle moved inwards by insets in texels (zero outside the range).
    GlyphRect Glyph(int code, int insetLeft, int insetTop, int insetRight, int insetBottom) const;
};

// The charsets of one style, in file order. The lookup starts at the charset found last
// time (runs of text mostly stay in one charset) and wraps around.
class CharsetList {
public:
    void Add(std::unique_ptr<Charset> charset) { charsets_.push_back(std::move(charset)); }
    const std::vector<std::unique_ptr<Charset>>& Charsets() const { return charsets_; }
    // The first charset whose range holds the code, or null.
    const Charset* For(int code) const;

private:
    std::vector<std::unique_ptr<Charset>> charsets_;
    mutable std::size_t last_ = 0;
};

class BitmapFont {
public:
    BitmapFont() = default;
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    void Clear();
    // The list of the style: a new empty one, or the one an equal style already has.
    CharsetList& ListFor(const TextStyle& style);
    // The list of the style equal to this one (same size and flags), or null.
    const CharsetList* Find(const TextStyle& style) const;
    // Styles in the order they were added.
    const std::vector<TextStyle>& Styles() const { return order_; }

    // Sum of the widths of the characters the style draws (others are skipped), plus the
    // letter spacing between neighbours.
    int TextWidth(const TextStyle& style, const std::u16string& text) const;

private:
    struct Key {
        int size, flags;
        bool operator<(const Key& o) const { return size != o.size ? size < o.size : flags < o.flags; }
    };
    std::map<Key, CharsetList> lists_;
    std::vector<TextStyle> order_;
};

#include "render/text_layout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char16_t kLineFeed = 10;

bool IsBlank(char16_t c) { return c == 32 || c == 9; }

std::size_t NextLineFeed(const std::u16string& text, std::size_t from) { return text.find(kLineFeed, from); }

void CountTriangles(std::vector<TextureTriangles>& counts, RenderTexture* texture) {
    for (TextureTriangles& count : counts) {
        if (count.texture == texture) {
            count.triangles += 2;
            return;
        }
    }
    counts.push_back(TextureTriangles{texture, 2});
}

// The word from `at` up to the next blank (or line feed), measured as the wrap rule does.
int WordWidth(const BitmapFont& font, const TextStyle& style, const std::u16string& text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && !IsBlank(text[end]) && text[end] != kLineFeed) ++end;
    const std::u16string word = text.substr(at, end - at);
    return font.TextWidth(style, word) + (int(word.size()) - 1) * style.spacing;
}

}  // namespace

bool LayOutText(const BitmapFont& font, const TextStyle& style, const std::u16string& text,
                const TextLayoutInput& input, std::vector<GlyphBox>& boxes, std::vector<TextureTriangles>& counts) {
    boxes.clear();
    counts.clear();
    const CharsetList* list = font.Find(style);
    if (list == nullptr) return false;
    const int left = input.edges.left, top = input.edges.top, right = input.edges.right,
              bottom = input.edges.bottom;
    const float k = input.scale;
    const int gap = style.lineGap, spacing = style.spacing;
    const int hscroll = int(input.horizontalScroll);
    const int firstCellHeight = list->Charsets().empty() ? 0 : list->Charsets().front()->charHeight;

    std::size_t i = 0;
    int penX = left, penY = top;
    if (!input.wrap) {
        const int step = style.size + gap;
        const int target = int(input.verticalScroll);
        int skipped = 0;
        while (skipped + step < target) {
            const std::size_t feed = NextLineFeed(text, i);
            if (feed == std::u16string::npos) break;
            i = feed + 1;
            skipped += step;
        }
        penY = int(float(top + skipped) - input.verticalScroll);
        penX = left - hscroll;
    } else {
        i = std::size_t(std::clamp(double(std::trunc(input.firstCharacter)), 0.0, double(text.size())));
        const float fraction = input.verticalScroll - std::trunc(input.verticalScroll);
        penY = top + int(fraction * float(style.size));
    }

    bool lineStart = true;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i];
        const Charset* cs = list->For(ch);
        if (!input.wrap && penX > right) {
            // The rest of the line lies past the right edge.
            const std::size_t feed = NextLineFeed(text, i);
            if (feed == std::u16string::npos) break;
            i = feed;
        }
        if (text[i] == kLineFeed) {
            const Charset* feedSet = list->For(kLineFeed);
            penX = input.wrap ? left : left - hscroll;
            penY += gap + (feedSet != nullptr ? feedSet->charHeight : firstCellHeight);
            lineStart = true;
            continue;
        }
        if (cs == nullptr) continue;
        const int w = cs->GlyphWidth(ch), h = cs->charHeight;
        if (input.wrap && !lineStart) {
            bool breaks;
            if (IsBlank(ch)) breaks = right < penX + w;
            else if (i > 0 && IsBlank(text[i - 1])) breaks = WordWidth(font, style, text, i) > right - penX;
            else breaks = right < penX + w;
            if (breaks) {
                penX = left;
                penY += gap + h;
            }
        }
        if (bottom < penY) break;
        boxes.push_back(GlyphBox{ch, cs, ScreenBox{penX, penY, penX + int(float(w) * k), penY + int(float(h) * k)}});
        CountTriangles(counts, cs->texture);
        penX += int(float(w + spacing) * k);
        lineStart = false;
    }
    return true;
}

void WriteGlyphQuad(const GlyphBox& glyph, const ScreenBox& clipEdges, float z, float* out) {
    const ScreenBox& b = glyph.box;
    const ScreenBox q = ClipRectangle(b, clipEdges, false);
    const GlyphRect t =
        glyph.charset->Glyph(glyph.character, q.left - b.left, q.top - b.top, b.right - q.right, b.bottom - q.bottom);
    const float xl = float(q.left) - 0.5f, xr = float(q.right) - 0.5f;
    const float yt = float(q.top) - 0.5f, yb = float(q.bottom) - 0.5f;
    const float corners[6][4] = {{xl, yt, t.left, t.top},  {xr, yt, t.right, t.top},    {xl, yb, t.left, t.bottom},
                                 {xr, yt, t.right, t.top}, {xr, yb, t.right, t.bottom}, {xl, yb, t.left, t.bottom}};
    for (const auto& c : corners) {
        *out++ = c[0];
        *out++ = c[1];
        *out++ = z;
        *out++ = 1.0f;
        *out++ = c[2];
        *out++ = c[3];
    }
}

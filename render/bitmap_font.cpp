#include "render/bitmap_font.h"

int Charset::GlyphWidth(int code) const {
    if (!Covers(code)) return charWidth;
    const std::size_t i = std::size_t(code - start);
    return i < widths.size() ? widths[i] : 0;
}

GlyphRect Charset::Glyph(int code, int insetLeft, int insetTop, int insetRight, int insetBottom) const {
    if (!Covers(code) || std::size_t(code - start) >= rects.size()) return GlyphRect{};
    const GlyphRect& r = rects[std::size_t(code - start)];
    const float w = float(textureWidth), h = float(textureHeight);
    return GlyphRect{r.left + float(insetLeft) / w, r.top + float(insetTop) / h, r.right - float(insetRight) / w,
                     r.bottom - float(insetBottom) / h};
}

const Charset* CharsetList::For(int code) const {
    const std::size_t n = charsets_.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = (last_ + k) % n;
        if (charsets_[i]->Covers(code)) {
            last_ = i;
            return charsets_[i].get();
        }
    }
    return nullptr;
}

void BitmapFont::Clear() {
    lists_.clear();
    order_.clear();
}

CharsetList& BitmapFont::ListFor(const TextStyle& style) {
    auto [at, inserted] = lists_.try_emplace(Key{style.size, style.flags});
    if (inserted) order_.push_back(style);
    return at->second;
}

const CharsetList* BitmapFont::Find(const TextStyle& style) const {
    const auto at = lists_.find(Key{style.size, style.flags});
    return at == lists_.end() ? nullptr : &at->second;
}

int BitmapFont::TextWidth(const TextStyle& style, const std::u16string& text) const {
    const CharsetList* list = Find(style);
    if (list == nullptr) return 0;
    int width = 0, drawn = 0;
    for (char16_t c : text) {
        const Charset* charset = list->For(c);
        if (charset == nullptr) continue;
        width += charset->GlyphWidth(c);
        ++drawn;
    }
    return drawn > 1 ? width + (drawn - 1) * style.spacing : width;
}

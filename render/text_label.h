#pragma once
// TextLabel: a screen element that lays a 16-bit text out in its rectangle with a bitmap
// font and writes one textured quad (two triangles, 144 bytes) per placed character into
// the block of that character's texture. Labels of one texture and state that are
// neighbours in order share one renderer, so they draw in one call.
//
// SetFont, SetStyle and SetText only store; the caller marks the label dirty.

#include "render/bitmap_font.h"
#include "render/screen_element.h"
#include "render/text_layout.h"

#include <string>
#include <vector>

class TextLabel : public Window {
public:
    void SetFont(const BitmapFont* font) { font_ = font; }
    void SetStyle(const TextStyle& style) { style_ = style; }
    void SetText(const std::u16string& text) { text_ = text; }
    void SetWrap(bool wrap) { wrap_ = wrap; }
    void SetFirstCharacter(float first) { first_ = first; }
    void SetHorizontalScroll(float pixels) { hscroll_ = pixels; }
    void SetVerticalScroll(float amount) { vscroll_ = amount; }

    const std::u16string& Text() const { return text_; }
    // The boxes of the last layout, in placing order.
    const std::vector<GlyphBox>& Boxes() const { return boxes_; }

protected:
    // Layout, then the geometry: false without a font or charsets for the style, or when a
    // block cannot be locked (the old geometry stays).
    bool RebuildContent() override;

private:
    const BitmapFont* font_ = nullptr;
    TextStyle style_;
    std::u16string text_;
    bool wrap_ = false;
    float first_ = 0, hscroll_ = 0, vscroll_ = 0;
    std::vector<GlyphBox> boxes_;
};

// Bytes widened one to one into 16-bit characters.
std::u16string WidenBytes(const char* text);

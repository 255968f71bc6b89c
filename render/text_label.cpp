#include "render/text_label.h"

#include "render/device_window.h"

#include <cstring>

namespace {

struct LockedBlock {
    const RenderTexture* texture;
    BufferBlock* block;
    unsigned char* data;
    UINT written;
};

}  // namespace

bool TextLabel::RebuildContent() {
    if (font_ == nullptr) return false;
    ScreenBox screen, clip;
    ScreenRect(screen, clip);
    TextLayoutInput input;
    input.edges = ScreenBox{screen.left, screen.top, screen.left + screen.right, screen.top + screen.bottom};
    input.wrap = wrap_;
    input.firstCharacter = first_;
    input.horizontalScroll = hscroll_;
    input.verticalScroll = vscroll_;
    input.scale = ScreenScale();
    std::vector<TextureTriangles> counts;
    if (IsVisible()) {
        if (!LayOutText(*font_, style_, text_, input, boxes_, counts)) return false;
    } else {
        boxes_.clear();
    }
    if (!UpdateGeometry(counts)) return false;

    std::vector<LockedBlock> locked;
    bool ok = true;
    for (const TextureTriangles& count : counts) {
        BufferBlock* block = Geometry().BlockFor(count.texture);
        void* data = nullptr;
        if (block == nullptr || block->owner == nullptr ||
            !block->owner->Lock(block->offset, block->length, 0, &data) || data == nullptr) {
            ok = false;
            break;
        }
        locked.push_back(LockedBlock{count.texture, block, static_cast<unsigned char*>(data), 0});
    }
    if (ok) {
        const ScreenBox clipEdges{clip.left, clip.top, clip.left + clip.right, clip.top + clip.bottom};
        const float z = Depth();
        float quad[kGlyphFloats];
        for (const GlyphBox& glyph : boxes_) {
            for (LockedBlock& target : locked) {
                if (target.texture != glyph.charset->texture) continue;
                WriteGlyphQuad(glyph, clipEdges, z, quad);
                std::memcpy(target.data + target.written, quad, sizeof quad);
                target.written += sizeof quad;
                break;
            }
        }
    }
    for (LockedBlock& target : locked) target.block->owner->Unlock();
    return ok;
}

std::u16string WidenBytes(const char* text) {
    std::u16string wide;
    for (const char* c = text; *c != 0; ++c) wide.push_back(char16_t(static_cast<unsigned char>(*c)));
    return wide;
}

#pragma once
// TextureGeometry: the per-texture geometry of a screen element: for each texture a renderer
// from the overlay queue and a block of pre-transformed triangles (72 bytes each) in it.
// A rebuild keeps blocks that still fit, resizes the others, drops textures no longer asked
// for and blocks whose renderer was retired, and acquires renderers for new textures.

#include "render/overlay_queue.h"

#include <vector>

class RenderTexture;

// One texture of an element and how many triangles it draws with it.
struct TextureTriangles {
    RenderTexture* texture;
    UINT triangles;
};

class TextureGeometry {
public:
    static constexpr UINT kTriangleBytes = 72;  // three XYZRHW | TEX1 vertices
    static constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
    static constexpr UINT kStride = 24;

    ~TextureGeometry() { Clear(); }

    // base carries the element's material settings; its texture is replaced per entry.
    // False when some texture got no renderer or block (that geometry is not drawn).
    bool Rebuild(OverlayQueue& queue, OrderedItem* element, BufferClient* client, const RenderStateBlock& base,
                 const std::vector<TextureTriangles>& requests);
    void Clear();
    // Renderers in alpha mode 1 take the factor; every other renderer is retired and its
    // entry dropped. True when an entry was dropped (its geometry must be built again).
    bool ApplyAlphaFactor(float factor);
    void ListRenderers(std::vector<Renderer*>& out) const;
    // The block of a texture, or null.
    BufferBlock* BlockFor(const RenderTexture* texture) const;
    int EntryCount() const { return int(entries_.size()); }

private:
    struct Entry {
        RenderTexture* texture;
        RendererRef renderer;
        BufferBlock* block;
    };
    std::vector<Entry> entries_;
};

#pragma once
// FadeOverlay: a black quad over the whole client area, drawn with an alpha (1: black), to
// fade the scene from and to black at the ends of camera paths.
//
// One RenderVertices renderer over six pre-transformed vertices (two triangles, clockwise
// on screen) at depth 0.1: untextured, its alpha from the texture factor (alpha mode 1),
// blended with source alpha over inverse source alpha, no depth test. Depth test and depth
// writing are off around the draw and on again after it. The vertices are written at every
// draw, so a new client size or a rebuilt buffer needs nothing else.

#include "core/shared_ref.h"
#include "render/render_vertices.h"

struct FadeVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
static_assert(sizeof(FadeVertex) == 20, "pre-transformed vertex with diffuse colour");

class FadeOverlay {
public:
    static constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
    static constexpr int kVertexCount = 6;

    FadeOverlay() = default;
    ~FadeOverlay();
    FadeOverlay(const FadeOverlay&) = delete;
    FadeOverlay& operator=(const FadeOverlay&) = delete;

    // Makes the renderer and the block of its six vertices; false when that fails.
    bool Create();
    // Draws the quad over a width x height client area with that alpha (clamped to 0 ... 1
    // by the renderer). Makes the renderer first when needed. False when nothing was drawn.
    bool Draw(int width, int height, float alpha);

    // The six vertices covering a width x height area.
    static void Layout(int width, int height, FadeVertex* out);

    RenderVertices* Renderer() const { return renderer_.Get(); }

private:
    bool WriteVertices(int width, int height);

    SharedRef<RenderVertices> renderer_;
    BufferBlock* block_ = nullptr;
};

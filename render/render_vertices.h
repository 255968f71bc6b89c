#pragma once
// RenderVertices: a renderer that owns a vertex DynamicBatchBuffer (and optionally an index
// one) shared by many clients, and draws the whole used span with one draw call. Every state
// it sets passes through the render-state cache.

#include "core/shared_ref.h"
#include "render/dynamic_batch_buffer.h"
#include "render/renderer.h"

class RenderVertices : public Renderer {
public:
    // Takes the description and configures fresh buffers from it; the index buffer is made
    // when the index description asks for a size. False when a buffer cannot be configured.
    bool Assemble(const RendererDescription& description);

    // Buffer descriptions match (as the request gives them), then as Renderer.
    bool IsCompatible(const RendererDescription& description) override;
    // Retires other when it is a RenderVertices compatible with this one. True.
    bool Absorb(Renderer* other) override;
    bool Bounds(D3DVECTOR* minimum, D3DVECTOR* maximum) override;
    // True when retired or drawn; false without device, vertex buffer or stride.
    bool Draw() override;

    // The range (bytes) the next draw uses instead of the used span; cleared by the draw.
    void SetDrawRange(UINT start, UINT length) {
        overrideStart_ = start;
        overrideLength_ = length;
    }

    DynamicBatchBuffer* Vertices() const { return vertexBuffer_.Get(); }
    DynamicBatchBuffer* Indices() const { return indexBuffer_.Get(); }

private:
    SharedRef<DynamicBatchBuffer> vertexBuffer_;
    SharedRef<DynamicBatchBuffer> indexBuffer_;
    UINT overrideStart_ = 0;
    UINT overrideLength_ = 0;
};

// Primitives drawn from count vertices or indices for a primitive type (0 when too few).
UINT PrimitiveCount(D3DPRIMITIVETYPE type, UINT count);

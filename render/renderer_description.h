#pragma once
// RendererDescription: what a client asks of a renderer: its state, its two buffers, the
// primitive type and world matrix, the kind (1: vertex geometry, the only kind assembled) and
// whether it wants a renderer of its own that nobody shares.

#include "render/buffer_description.h"
#include "render/render_state_block.h"

constexpr DWORD kVertexGeometryKind = 1;

D3DMATRIX IdentityMatrix();

struct RendererDescription {
    RenderStateBlock state;
    BufferDescription vertices = VertexDescription(0, 0);
    BufferDescription indices = IndexDescription(0);
    D3DPRIMITIVETYPE primitiveType = D3DPT_TRIANGLELIST;
    D3DMATRIX world = IdentityMatrix();
    DWORD kind = kVertexGeometryKind;
    bool standalone = false;
};

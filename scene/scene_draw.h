#pragma once
// DrawNode: the walk that places every node in the world and hands its renderable to be
// drawn. The context carries the world matrix down the tree, the clock time for node
// animations, the view frustum (no culling without one, or with culling off) and the queue
// that collects the batches; without a queue each renderable draws at once.

#include "platform/d3dx/d3dx_math.h"

#include <cstdint>

class RenderQueue;
class SceneNode;
class ViewFrustum;

struct DrawContext {
    D3DXMATRIX world;
    bool cullingOff = false;
    RenderQueue* queue = nullptr;
    const ViewFrustum* frustum = nullptr;
    std::int64_t nowMs = 0;

    DrawContext() { D3DXMatrixIdentity(&world); }
};

// Renderables visited and renderables submitted (not culled); the frame resets them.
struct SceneDrawCounters {
    int visited = 0;
    int submitted = 0;
};
SceneDrawCounters& DrawCounters();

// Animates the node at the context's time, sets world = local x world, updates and
// submits its renderable (matrix = object offset x world) unless its box is outside the
// frustum, then walks the children from the ring's cursor; the context's world matrix is
// restored on return.
void DrawNode(SceneNode& node, DrawContext& context);

#include "scene/scene_draw.h"

#include "render/render_queue.h"
#include "render/view_frustum.h"
#include "scene/mesh_renderable.h"
#include "scene/scene_node.h"

SceneDrawCounters& DrawCounters() {
    static SceneDrawCounters counters;
    return counters;
}

void DrawNode(SceneNode& node, DrawContext& context) {
    const D3DXMATRIX saved = context.world;
    if (node.IsAnimated()) node.Animate(context.nowMs);
    D3DXMatrixMultiply(&context.world, &node.LocalMatrix(), &saved);

    if (MeshRenderable* renderable = node.Renderable()) {
        D3DXMATRIX matrix;
        D3DXMatrixMultiply(&matrix, &node.ObjectOffset().GetMatrix(), &context.world);
        renderable->SetMatrix(matrix);
        renderable->Update();
        SceneDrawCounters& counters = DrawCounters();
        ++counters.visited;
        const bool visible = context.cullingOff || context.frustum == nullptr ||
                             !context.frustum->IsOutside(renderable->WorldMinimum(), renderable->WorldMaximum());
        if (visible) {
            ++counters.submitted;
            if (context.queue != nullptr) renderable->Submit(*context.queue);
            else renderable->DrawNow();
        }
    }

    node.WalkChildren([&](SceneNode& child) { DrawNode(child, context); });
    context.world = saved;
}

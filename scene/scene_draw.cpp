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
        SceneDrawCounters& counters = DrawCounters();
        ++counters.visited;
        const bool culling = !context.cullingOff && context.frustum != nullptr;
        bool visible = true;
        if (culling && renderable->IsStale()) {
            // A moved mesh that cannot be seen keeps its old vertices until it can: its
            // enclosing box holds every vertex the write would produce.
            D3DXVECTOR3 minimum, maximum;
            renderable->EnclosingBox(minimum, maximum);
            visible = !context.frustum->IsOutside(minimum, maximum);
        }
        if (visible) renderable->Update();
        visible = visible && (!culling || !context.frustum->IsOutside(renderable->WorldMinimum(), renderable->WorldMaximum()));
        if (visible) {
            ++counters.submitted;
            if (context.queue != nullptr) renderable->Submit(*context.queue);
            else renderable->DrawNow();
        }
    }

    node.WalkChildren([&](SceneNode& child) { DrawNode(child, context); });
    context.world = saved;
}

#include "scene/mesh_renderable.h"

#include "render/render_queue.h"
#include "scene/mesh_batch.h"

#include <algorithm>
#include <cstring>
#include <numeric>

MeshRenderable::MeshRenderable(std::shared_ptr<const Mesh> mesh, const RendererDescription& description, bool lit)
    : mesh_(std::move(mesh)), description_(description), lit_(lit), indices_(mesh_->Indices()) {
    if (indices_.empty()) {
        // Without indices the vertices are drawn in order as a triangle list.
        indices_.resize(mesh_->Vertices().size());
        std::iota(indices_.begin(), indices_.end(), 0u);
    }
    D3DXMatrixIdentity(&matrix_);
    worldMinimum_ = mesh_->Minimum();
    worldMaximum_ = mesh_->Maximum();
}

MeshRenderable::~MeshRenderable() { SetBatch(RendererRef()); }

void MeshRenderable::SetBatch(const RendererRef& batch) {
    if (MeshBatch* old = Batch()) old->Remove(this);
    batch_ = batch;
    written_ = false;
    if (MeshBatch* now = Batch()) now->Add(this);
}

MeshBatch* MeshRenderable::Batch() const { return static_cast<MeshBatch*>(batch_.Get()); }

RenderStateBlock* MeshRenderable::State() const {
    MeshBatch* batch = Batch();
    RenderVertices* vertices = batch ? batch->Vertices() : nullptr;
    return vertices ? &vertices->MutableState() : nullptr;
}

void MeshRenderable::SetMatrix(const D3DXMATRIX& matrix) {
    if (std::memcmp(&matrix, &matrix_, sizeof matrix) == 0) return;
    matrix_ = matrix;
    written_ = false;
}

bool MeshRenderable::Update() {
    MeshBatch* batch = Batch();
    if (batch == nullptr) return false;
    if (written_ && block_ != nullptr) return true;
    return batch->WriteVertices(this);
}

void MeshRenderable::EnclosingBox(D3DXVECTOR3& minimum, D3DXVECTOR3& maximum) const {
    const D3DXVECTOR3& lo = mesh_->Minimum();
    const D3DXVECTOR3& hi = mesh_->Maximum();
    float outMin[3], outMax[3];
    // Each world axis is the translation plus, per object axis, the smaller and the larger
    // of the two products (the box's extreme corners without visiting all eight).
    for (int j = 0; j < 3; ++j) {
        outMin[j] = outMax[j] = matrix_.m[3][j];
        const float l[3] = {lo.x, lo.y, lo.z}, h[3] = {hi.x, hi.y, hi.z};
        for (int i = 0; i < 3; ++i) {
            const float a = matrix_.m[i][j] * l[i], b = matrix_.m[i][j] * h[i];
            outMin[j] += std::min(a, b);
            outMax[j] += std::max(a, b);
        }
    }
    minimum = D3DXVECTOR3(outMin[0], outMin[1], outMin[2]);
    maximum = D3DXVECTOR3(outMax[0], outMax[1], outMax[2]);
}

void MeshRenderable::SetWorldBox(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum) {
    worldMinimum_ = minimum;
    worldMaximum_ = maximum;
}

void MeshRenderable::Submit(RenderQueue& queue) {
    MeshBatch* batch = Batch();
    if (batch == nullptr) return;
    batch->Submit(this);
    if (!queue.Contains(batch)) InsertInDrawingOrder(queue, batch_);
}

bool MeshRenderable::DrawNow() {
    MeshBatch* batch = Batch();
    return batch != nullptr && batch->DrawOnly(this);
}

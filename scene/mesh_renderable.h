#pragma once
// MeshRenderable: a mesh instance attached to a scene node. Its vertices live, in world
// space, in a block of its batch's vertex buffer; meshes that share a render state share a
// batch and are drawn by it in one call. Update rewrites the block when the matrix changed
// since the last write, so still nodes cost nothing per frame and moving ones (swaying,
// facing the camera) are transformed on the CPU.

#include "core/shared_ref.h"
#include "render/renderer_description.h"
#include "scene/mesh.h"

#include <memory>

class MeshBatch;
class Renderer;
class RenderQueue;
struct BufferBlock;
using RendererRef = SharedRef<Renderer>;

class MeshRenderable {
public:
    MeshRenderable(std::shared_ptr<const Mesh> mesh, const RendererDescription& description, bool lit);
    ~MeshRenderable();
    MeshRenderable(const MeshRenderable&) = delete;
    MeshRenderable& operator=(const MeshRenderable&) = delete;

    const Mesh& GetMesh() const { return *mesh_; }
    const RendererDescription& Description() const { return description_; }
    bool IsLit() const { return lit_; }
    // The indices drawn: the mesh's, or 0 … n-1 for a mesh without indices.
    const std::vector<std::uint32_t>& Indices() const { return indices_; }

    // Joins a batch (leaving any earlier one); the block is made at the next Update.
    void SetBatch(const RendererRef& batch);
    MeshBatch* Batch() const;
    // The render state of the renderer that draws this mesh (shared with its batch mates).
    RenderStateBlock* State() const;

    // Object offset x world: where the mesh's vertices go.
    void SetMatrix(const D3DXMATRIX& matrix);
    const D3DXMATRIX& Matrix() const { return matrix_; }
    // Writes the vertices when the matrix changed since the last write (or a block is
    // missing or was lost). False when the batch cannot take them.
    bool Update();
    // Whether the next Update writes the vertices.
    bool IsStale() const { return !written_ || block_ == nullptr; }
    // A box in world space that holds every vertex under the current matrix: the mesh's
    // own box carried through it (larger than the written box, never smaller).
    void EnclosingBox(D3DXVECTOR3& minimum, D3DXVECTOR3& maximum) const;
    // The box of the vertices in world space, as last computed.
    const D3DXVECTOR3& WorldMinimum() const { return worldMinimum_; }
    const D3DXVECTOR3& WorldMaximum() const { return worldMaximum_; }
    void SetWorldBox(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum);

    // Queues this mesh for its batch's next draw and puts the batch into the queue.
    void Submit(RenderQueue& queue);
    // Draws this mesh alone, at once.
    bool DrawNow();

    // For the batch: the block, and whether its contents are stale.
    BufferBlock* Block() const { return block_; }
    void SetBlock(BufferBlock* block) { block_ = block; }
    void MarkStale() { written_ = false; }
    void MarkWritten() { written_ = true; }

private:
    std::shared_ptr<const Mesh> mesh_;
    RendererDescription description_;
    bool lit_;
    std::vector<std::uint32_t> indices_;
    RendererRef batch_;
    BufferBlock* block_ = nullptr;
    bool written_ = false;
    D3DXMATRIX matrix_;
    D3DXVECTOR3 worldMinimum_{0, 0, 0};
    D3DXVECTOR3 worldMaximum_{0, 0, 0};
};

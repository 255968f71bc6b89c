#pragma once
// MeshBatch: the meshes that share one RenderVertices. Each member keeps its vertices, in
// world space, in a block of the vertex buffer; the index buffer holds one stream block
// that a draw fills with the indices of the members drawn, rebased to their blocks, so
// any subset of the members goes out in one draw call; a draw of the same members from the
// same blocks as the last one reuses the stream as it is. Before a lit draw the lights that
// reach the drawn members' box are switched on.

#include "platform/d3dx/d3dx_math.h"
#include "render/batch_buffer.h"
#include "render/render_queue.h"
#include "render/render_vertices.h"

#include <vector>

class LightSet;
class MeshRenderable;

class MeshBatch : public Renderer, public BufferClient {
public:
    // vertices holds a RenderVertices; lights may be null.
    MeshBatch(const RendererRef& vertices, LightSet* lights);
    ~MeshBatch() override;

    RenderVertices* Vertices() const;
    const RendererRef& VerticesRef() const { return vertices_; }
    bool IsBlended() const;
    // True when the alpha factor leaves nothing to see: such a batch skips its draws.
    bool IsInvisible() const;

    void Add(MeshRenderable* member);
    void Remove(MeshRenderable* member);
    int MemberCount() const { return int(members_.size()); }
    // Gives every member without one its block, growing the buffer once for all of them.
    bool AllocateMembers();
    // Transforms the member's vertices by its matrix into its block (made when missing).
    bool WriteVertices(MeshRenderable* member);

    void Submit(MeshRenderable* member) { submitted_.push_back(member); }
    // Orders the submitted members nearest first (by the centres of their boxes), so that
    // the depth test rejects what they hide before it is shaded.
    void SortFrontToBack(const D3DXVECTOR3& eye);
    int SubmittedCount() const { return int(submitted_.size()); }
    // Draws the members submitted since the last draw, in one call; true when nothing is due.
    bool Draw() override;
    bool DrawOnly(MeshRenderable* member);
    // The box of the members submitted for the next draw.
    bool Bounds(D3DVECTOR* minimum, D3DVECTOR* maximum) override;

    bool Relocate(BufferBlock* block) override;

private:
    bool DrawMembers(const std::vector<MeshRenderable*>& members);
    bool FillIndexStream(const std::vector<MeshRenderable*>& members, UINT* bytes);

    RendererRef vertices_;
    LightSet* lights_;
    std::vector<MeshRenderable*> members_;
    std::vector<MeshRenderable*> submitted_;
    BufferBlock* indexBlock_ = nullptr;
    std::vector<std::uint32_t> scratchIndices_;
    struct SortKey {
        float distance;
        std::uint32_t index;
    };
    std::vector<SortKey> sortKeys_;
    std::vector<MeshRenderable*> sortedMembers_;
    // What the stream holds now: each member drawn with the offset of its block, the
    // vertex span's start the indices are rebased to, and the stream's bytes.
    struct StreamEntry {
        const MeshRenderable* member;
        UINT offset;
        bool operator==(const StreamEntry& other) const { return member == other.member && offset == other.offset; }
    };
    std::vector<StreamEntry> streamEntries_, scratchEntries_;
    UINT streamSpanStart_ = 0, streamBytes_ = 0;
    bool streamValid_ = false;
};

// Draws the queue's opaque batches (blended false, each sorted front to back from eye) or
// every other child (blended true), in drawing order. The two passes, opaque first, draw
// what RenderQueue::Draw does, with room between them for what belongs behind the opaque
// scene but under the transparent one.
void DrawQueuePass(RenderQueue& queue, bool blended, const D3DXVECTOR3& eye);

// Inserts a batch into a queue: opaque batches before the first blended one, blended ones
// at the end, so that transparent geometry draws over what is behind it.
void InsertInDrawingOrder(RenderQueue& queue, const RendererRef& batch);

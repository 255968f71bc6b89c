#include "render/texture_geometry.h"

namespace {
void FreeBlock(BufferBlock*& block) {
    if (block != nullptr && block->owner != nullptr) block->owner->Free(block, true);
    block = nullptr;
}
}  // namespace

void TextureGeometry::Clear() {
    for (Entry& entry : entries_) FreeBlock(entry.block);
    entries_.clear();
}

bool TextureGeometry::ApplyAlphaFactor(float factor) {
    bool dropped = false;
    std::vector<Entry> kept;
    for (Entry& entry : entries_) {
        if (entry.renderer && entry.renderer->State().alphaMode == 1) {
            entry.renderer->MutableState().alphaFactor = factor;
            kept.push_back(std::move(entry));
            continue;
        }
        if (entry.renderer) entry.renderer->Retire();
        FreeBlock(entry.block);
        dropped = true;
    }
    entries_ = std::move(kept);
    return dropped;
}

bool TextureGeometry::Rebuild(OverlayQueue& queue, OrderedItem* element, BufferClient* client,
                              const RenderStateBlock& base, const std::vector<TextureTriangles>& requests) {
    auto requested = [&](const RenderTexture* texture) -> const TextureTriangles* {
        for (const TextureTriangles& request : requests)
            if (request.texture == texture) return &request;
        return nullptr;
    };
    bool ok = true;
    std::vector<Entry> kept;
    for (Entry& entry : entries_) {
        const TextureTriangles* request = requested(entry.texture);
        if (request == nullptr || !entry.renderer || entry.renderer->IsRetired()) {
            FreeBlock(entry.block);
            continue;
        }
        UINT bytes = request->triangles * kTriangleBytes;
        if (entry.block == nullptr || entry.block->length != bytes) {
            FreeBlock(entry.block);
            RenderVertices* vertices = AsVertices(entry.renderer);
            if (vertices != nullptr && vertices->Vertices() != nullptr && bytes != 0)
                entry.block = vertices->Vertices()->Allocate(bytes, entry.texture, client);
            if (entry.block == nullptr && bytes != 0) ok = false;
        }
        kept.push_back(std::move(entry));
    }
    entries_ = std::move(kept);

    for (const TextureTriangles& request : requests) {
        bool have = false;
        for (const Entry& entry : entries_) have = have || entry.texture == request.texture;
        if (have) continue;
        UINT bytes = request.triangles * kTriangleBytes;
        if (bytes == 0) continue;
        RendererDescription description;
        description.state = base;
        description.state.texture = request.texture;
        description.kind = kVertexGeometryKind;
        description.primitiveType = D3DPT_TRIANGLELIST;
        description.vertices = VertexDescription(kFvf, kStride, bytes);
        description.vertices.minimumSize = bytes;
        description.vertices.flags |= kBufferMinimumGiven;
        RendererRef renderer = queue.AcquireRenderer(element, description);
        RenderVertices* vertices = AsVertices(renderer);
        if (vertices == nullptr || vertices->Vertices() == nullptr) {
            ok = false;
            continue;
        }
        BufferBlock* block = vertices->Vertices()->Allocate(bytes, request.texture, client);
        if (block == nullptr) {
            ok = false;
            continue;
        }
        entries_.push_back(Entry{request.texture, renderer, block});
    }
    return ok;
}

void TextureGeometry::ListRenderers(std::vector<Renderer*>& out) const {
    for (const Entry& entry : entries_)
        if (entry.renderer) out.push_back(entry.renderer.Get());
}

BufferBlock* TextureGeometry::BlockFor(const RenderTexture* texture) const {
    for (const Entry& entry : entries_)
        if (entry.texture == texture) return entry.block;
    return nullptr;
}

#include "scene/mesh_batch.h"

#include "render/device_globals.h"
#include "render/renderer_assembler.h"
#include "scene/light_set.h"
#include "scene/mesh_renderable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void Grow(D3DXVECTOR3& minimum, D3DXVECTOR3& maximum, const D3DXVECTOR3& lo, const D3DXVECTOR3& hi) {
    minimum = {std::min(minimum.x, lo.x), std::min(minimum.y, lo.y), std::min(minimum.z, lo.z)};
    maximum = {std::max(maximum.x, hi.x), std::max(maximum.y, hi.y), std::max(maximum.z, hi.z)};
}

// The box of the members, false for none.
bool MembersBox(const std::vector<MeshRenderable*>& members, D3DXVECTOR3& minimum, D3DXVECTOR3& maximum) {
    if (members.empty()) return false;
    minimum = members[0]->WorldMinimum();
    maximum = members[0]->WorldMaximum();
    for (const MeshRenderable* m : members) Grow(minimum, maximum, m->WorldMinimum(), m->WorldMaximum());
    return true;
}

// Bytes of the member's block in a buffer of that stride.
UINT BlockBytes(const MeshRenderable* member, UINT stride) { return UINT(member->GetMesh().Vertices().size()) * stride; }

// Writes the member's vertices, transformed by its matrix, straight into its block. The
// arithmetic is D3DXVec3TransformCoord's, D3DXVec3TransformNormal's and
// D3DXVec3Normalize's, written out so the loop keeps the matrices in registers.
bool WriteBlock(MeshRenderable* member, DynamicBatchBuffer* buffer) {
    BufferBlock* block = member->Block();
    const std::vector<FullVertex>& source = member->GetMesh().Vertices();
    const UINT stride = buffer->Stride();
    const DWORD fvf = buffer->Fvf();
    const D3DXMATRIX m = member->Matrix();
    // Normals go through the inverse transpose, so scaled nodes keep them square to faces.
    D3DXMATRIX inverse, n;
    if (D3DXMatrixInverse(&inverse, nullptr, &m) != nullptr) D3DXMatrixTranspose(&n, &inverse);
    else n = m;
    const bool affine = m._14 == 0.0f && m._24 == 0.0f && m._34 == 0.0f && m._44 == 1.0f;

    void* data = nullptr;
    if (block->length == 0 || !buffer->Lock(block->offset, block->length, 0, &data) || data == nullptr) return false;
    auto* out = static_cast<std::uint8_t*>(data);
    D3DXVECTOR3 minimum{0, 0, 0}, maximum{0, 0, 0};
    for (std::size_t i = 0; i < source.size(); ++i) {
        FullVertex v = source[i];
        const float x = v.position[0], y = v.position[1], z = v.position[2];
        D3DXVECTOR3 world(x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
                          x * m._13 + y * m._23 + z * m._33 + m._43);
        if (!affine) {
            const float w = x * m._14 + y * m._24 + z * m._34 + m._44;
            world = D3DXVECTOR3(world.x / w, world.y / w, world.z / w);
        }
        const float nx = v.normal[0], ny = v.normal[1], nz = v.normal[2];
        float normal[3] = {nx * n._11 + ny * n._21 + nz * n._31, nx * n._12 + ny * n._22 + nz * n._32,
                           nx * n._13 + ny * n._23 + nz * n._33};
        const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        for (float& c : normal) c = length == 0.0f ? 0.0f : c / length;
        std::memcpy(v.position, &world, sizeof v.position);
        std::memcpy(v.normal, normal, sizeof v.normal);
        PackVertex(fvf, v, out + i * stride);
        if (i == 0) minimum = maximum = world;
        else Grow(minimum, maximum, world, world);
    }
    buffer->Unlock();
    member->SetWorldBox(minimum, maximum);
    member->MarkWritten();
    return true;
}

}  // namespace

MeshBatch::MeshBatch(const RendererRef& vertices, LightSet* lights) : vertices_(vertices), lights_(lights) {
    if (RenderVertices* rv = Vertices()) SetDescription(rv->Description());
}

MeshBatch::~MeshBatch() {
    for (MeshRenderable* member : std::vector<MeshRenderable*>(members_)) member->SetBatch(RendererRef());
    RenderVertices* rv = Vertices();
    if (rv != nullptr && rv->Indices() != nullptr && indexBlock_ != nullptr) rv->Indices()->Free(indexBlock_, false);
}

RenderVertices* MeshBatch::Vertices() const { return AsVertices(vertices_); }

bool MeshBatch::IsInvisible() const {
    // Alpha from a factor that rounds to 0 fails the alpha test (reference 1) everywhere.
    const RenderVertices* rv = Vertices();
    if (rv == nullptr || !AlphaModeUsesFactor(rv->State().alphaMode)) return false;
    return !(rv->State().alphaFactor * 255.0f >= 1.0f);
}

bool MeshBatch::IsBlended() const {
    const RenderVertices* rv = Vertices();
    return rv != nullptr && (rv->State().alphaMode != 0 || rv->State().blendType != 0);
}

void MeshBatch::Add(MeshRenderable* member) {
    streamValid_ = false;
    if (std::find(members_.begin(), members_.end(), member) == members_.end()) members_.push_back(member);
}

void MeshBatch::Remove(MeshRenderable* member) {
    streamValid_ = false;
    members_.erase(std::remove(members_.begin(), members_.end(), member), members_.end());
    submitted_.erase(std::remove(submitted_.begin(), submitted_.end(), member), submitted_.end());
    RenderVertices* rv = Vertices();
    if (member->Block() != nullptr && rv != nullptr && rv->Vertices() != nullptr) rv->Vertices()->Free(member->Block(), false);
    member->SetBlock(nullptr);
}

bool MeshBatch::AllocateMembers() {
    RenderVertices* rv = Vertices();
    if (rv == nullptr || rv->Vertices() == nullptr) return false;
    DynamicBatchBuffer* buffer = rv->Vertices();
    UINT total = 0;
    for (const MeshRenderable* m : members_)
        if (m->Block() == nullptr) total += BlockBytes(m, buffer->Stride());
    if (total == 0) return true;
    // One allocation of the whole, given back at once, grows the buffer a single time.
    if (BufferBlock* reserve = buffer->Allocate(total, nullptr, this)) buffer->Free(reserve, false);
    bool ok = true;
    for (MeshRenderable* m : members_)
        if (m->Block() == nullptr) {
            BufferBlock* block = buffer->Allocate(BlockBytes(m, buffer->Stride()), m, this);
            m->SetBlock(block);
            m->MarkStale();
            ok = ok && block != nullptr;
        }
    return ok;
}

bool MeshBatch::WriteVertices(MeshRenderable* member) {
    RenderVertices* rv = Vertices();
    if (rv == nullptr || rv->Vertices() == nullptr) return false;
    DynamicBatchBuffer* buffer = rv->Vertices();
    if (member->Block() == nullptr) {
        member->SetBlock(buffer->Allocate(BlockBytes(member, buffer->Stride()), member, this));
        if (member->Block() == nullptr) return false;
    }
    return WriteBlock(member, buffer);
}

bool MeshBatch::Relocate(BufferBlock* block) {
    // The index stream is filled again at the next draw; a member's vertices are written again.
    if (block->clientValue == nullptr) {
        streamValid_ = false;
        return true;
    }
    auto* member = static_cast<MeshRenderable*>(const_cast<void*>(block->clientValue));
    member->SetBlock(block);
    member->MarkStale();
    RenderVertices* rv = Vertices();
    if (rv != nullptr && rv->Vertices() != nullptr && rv->Vertices()->HasBuffer())
        WriteBlock(member, rv->Vertices());
    return true;
}

bool MeshBatch::FillIndexStream(const std::vector<MeshRenderable*>& members, UINT* bytes) {
    *bytes = 0;
    RenderVertices* rv = Vertices();
    if (rv == nullptr || rv->Vertices() == nullptr || rv->Indices() == nullptr) return false;
    DynamicBatchBuffer* vertices = rv->Vertices();
    DynamicBatchBuffer* indices = rv->Indices();
    UINT spanStart = 0, spanLength = 0;
    vertices->GetUsedRange(&spanStart, &spanLength);
    const UINT stride = vertices->Stride();

    scratchEntries_.clear();
    for (const MeshRenderable* m : members)
        if (m->Block() != nullptr && stride != 0) scratchEntries_.push_back({m, m->Block()->offset});
    if (streamValid_ && indexBlock_ != nullptr && spanStart == streamSpanStart_ && scratchEntries_ == streamEntries_) {
        *bytes = streamBytes_;
        return true;
    }
    streamValid_ = false;
    scratchIndices_.clear();
    for (const StreamEntry& entry : scratchEntries_) {
        const std::uint32_t base = (entry.offset - spanStart) / stride;
        for (std::uint32_t index : entry.member->Indices()) scratchIndices_.push_back(base + index);
    }
    const UINT needed = UINT(scratchIndices_.size() * sizeof(std::uint32_t));
    if (needed == 0) return true;
    if (indexBlock_ == nullptr || indexBlock_->length < needed) {
        // Room for every member, so the stream is made once.
        UINT capacity = needed;
        UINT all = 0;
        for (const MeshRenderable* m : members_) all += UINT(m->Indices().size() * sizeof(std::uint32_t));
        capacity = std::max(capacity, all);
        if (indexBlock_ != nullptr) indices->Free(indexBlock_, false);
        indexBlock_ = indices->Allocate(capacity, nullptr, this);
        if (indexBlock_ == nullptr) return false;
    }
    void* data = nullptr;
    if (!indices->Lock(indexBlock_->offset, needed, 0, &data) || data == nullptr) return false;
    std::memcpy(data, scratchIndices_.data(), needed);
    indices->Unlock();
    *bytes = needed;
    streamEntries_.swap(scratchEntries_);
    streamSpanStart_ = spanStart;
    streamBytes_ = needed;
    streamValid_ = true;
    return true;
}

bool MeshBatch::DrawMembers(const std::vector<MeshRenderable*>& members) {
    RenderVertices* rv = Vertices();
    if (rv == nullptr || members.empty() || IsInvisible()) return true;
    UINT bytes = 0;
    if (!FillIndexStream(members, &bytes)) return false;
    if (bytes == 0) return true;
    D3DXVECTOR3 minimum, maximum;
    if (lights_ != nullptr && rv->IsLit() && MembersBox(members, minimum, maximum)) {
        const LightBox box{(minimum + maximum) * 0.5f, maximum - minimum};
        lights_->EnableFor(CurrentDevice(), box);
    }
    rv->SetDrawRange(indexBlock_->offset, bytes);
    return rv->Draw();
}

bool MeshBatch::Draw() {
    const bool ok = DrawMembers(submitted_);
    submitted_.clear();
    return ok;
}

void MeshBatch::SortFrontToBack(const D3DXVECTOR3& eye) {
    // Each distance once; ties keep the order of submission, as a stable sort would, and the
    // buffers are kept from frame to frame.
    sortKeys_.clear();
    for (std::size_t i = 0; i < submitted_.size(); ++i) {
        const MeshRenderable* m = submitted_[i];
        const D3DXVECTOR3 offset = (m->WorldMinimum() + m->WorldMaximum()) * 0.5f - eye;
        sortKeys_.push_back({D3DXVec3LengthSq(&offset), std::uint32_t(i)});
    }
    std::sort(sortKeys_.begin(), sortKeys_.end(), [](const SortKey& a, const SortKey& b) {
        return a.distance < b.distance || (!(b.distance < a.distance) && a.index < b.index);
    });
    sortedMembers_.clear();
    for (const SortKey& key : sortKeys_) sortedMembers_.push_back(submitted_[key.index]);
    submitted_.swap(sortedMembers_);
}

bool MeshBatch::DrawOnly(MeshRenderable* member) { return DrawMembers({member}); }

bool MeshBatch::Bounds(D3DVECTOR* minimum, D3DVECTOR* maximum) {
    D3DXVECTOR3 lo, hi;
    if (!MembersBox(submitted_, lo, hi)) return false;
    *minimum = lo;
    *maximum = hi;
    return true;
}

void DrawQueuePass(RenderQueue& queue, bool blended, const D3DXVECTOR3& eye) {
    for (Renderer* child : queue.Children()) {
        auto* mesh = dynamic_cast<MeshBatch*>(child);
        const bool opaque = mesh != nullptr && !mesh->IsBlended();
        if (opaque == blended) continue;
        if (opaque) mesh->SortFrontToBack(eye);
        child->Draw();
    }
}

void InsertInDrawingOrder(RenderQueue& queue, const RendererRef& batch) {
    const auto* mesh = dynamic_cast<const MeshBatch*>(batch.Get());
    if (mesh != nullptr && !mesh->IsBlended()) {
        for (Renderer* child : queue.Children()) {
            const auto* other = dynamic_cast<const MeshBatch*>(child);
            if (other != nullptr && other->IsBlended()) {
                queue.InsertChild(batch, child, true);
                return;
            }
        }
    }
    queue.InsertChild(batch, nullptr, true);
}

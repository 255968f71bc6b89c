#include "snowscape/fade_overlay.h"

#include "render/render_state_cache.h"

#include <cstring>

namespace {
constexpr UINT kQuadBytes = sizeof(FadeVertex) * FadeOverlay::kVertexCount;
}  // namespace

FadeOverlay::~FadeOverlay() {
    if (block_ != nullptr && block_->owner != nullptr) block_->owner->Free(block_, false);
    block_ = nullptr;
}

void FadeOverlay::Layout(int width, int height, FadeVertex* out) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const FadeVertex a{0, 0, 0.1f, 1.0f, 0}, b{w, 0, 0.1f, 1.0f, 0}, c{w, h, 0.1f, 1.0f, 0}, d{0, h, 0.1f, 1.0f, 0};
    const FadeVertex quad[kVertexCount] = {a, b, c, a, c, d};
    std::memcpy(out, quad, sizeof(quad));
}

bool FadeOverlay::Create() {
    RendererDescription description;
    description.state.texture = nullptr;
    description.state.alphaMode = 1;
    description.state.alphaFactor = 1.0f;
    description.state.blendType = 0;
    description.state.depthMode = 0;
    description.primitiveType = D3DPT_TRIANGLELIST;
    description.vertices = VertexDescription(kFvf, sizeof(FadeVertex), kQuadBytes);
    description.vertices.minimumSize = kQuadBytes;
    description.vertices.flags |= kBufferMinimumGiven;
    description.standalone = true;
    SharedRef<RenderVertices> renderer(new RenderVertices());
    if (!renderer->Assemble(description)) return false;
    BufferBlock* block = renderer->Vertices()->Allocate(kQuadBytes, nullptr, nullptr);
    if (block == nullptr) return false;
    if (block_ != nullptr && block_->owner != nullptr) block_->owner->Free(block_, false);
    renderer_ = renderer;
    block_ = block;
    return true;
}

bool FadeOverlay::WriteVertices(int width, int height) {
    DynamicBatchBuffer* buffer = renderer_->Vertices();
    void* data = nullptr;
    if (buffer == nullptr || !buffer->Lock(block_->offset, kQuadBytes, 0, &data) || data == nullptr) return false;
    Layout(width, height, static_cast<FadeVertex*>(data));
    buffer->Unlock();
    return true;
}

bool FadeOverlay::Draw(int width, int height, float alpha) {
    if (!renderer_ && !Create()) return false;
    if (!WriteVertices(width, height)) return false;
    // NaN counts as transparent; the renderer clamps the rest.
    renderer_->MutableState().alphaFactor = alpha >= 0.0f ? alpha : 0.0f;
    SetRenderStateCached(D3DRS_ZENABLE, FALSE);
    SetRenderStateCached(D3DRS_ZWRITEENABLE, FALSE);
    const bool drawn = renderer_->Draw();
    SetRenderStateCached(D3DRS_ZENABLE, TRUE);
    SetRenderStateCached(D3DRS_ZWRITEENABLE, TRUE);
    return drawn;
}

#include "platform/d3d9/frame_capture.h"

#include "platform/d3d9/state_defaults.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kCapturedStages = 8;
constexpr DWORD kCapturedSamplers = 8;
constexpr DWORD kCapturedLights = 64;
constexpr DWORD kCapturedTransforms[] = {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_TEXTURE1,
                                         D3DTS_TEXTURE2, D3DTS_TEXTURE3, D3DTS_TEXTURE4, D3DTS_TEXTURE5,
                                         D3DTS_TEXTURE6, D3DTS_TEXTURE7, D3DTS_WORLD};

static_assert(sizeof(D3DMATRIX) == 64 && sizeof(D3DVIEWPORT9) == 24 && sizeof(D3DMATERIAL9) == 68 &&
              sizeof(D3DLIGHT9) == 104, "the frame file carries these structures as Direct3D 9 lays them out");

template <class T>
void AppendWords(std::vector<std::uint32_t>& words, const T& value) {
    const std::size_t at = words.size();
    words.resize(at + sizeof(T) / 4);
    std::memcpy(&words[at], &value, sizeof(T));
}

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class T>
bool Same(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

}  // namespace

FrameCaptureDevice* FrameCaptureDevice::Create(IDirect3DDevice9* forward, UINT width, UINT height) {
    return forward ? new FrameCaptureDevice(forward, width, height) : nullptr;
}

FrameCaptureDevice::FrameCaptureDevice(IDirect3DDevice9* forward, UINT width, UINT height)
    : RecordingDevice(forward), width_(width), height_(height) {}

void FrameCaptureDevice::Arm() {
    armed_ = true;
    captured_ = false;
    failure_.clear();
    frame_ = FrameFile{};
    frame_.width = width_;
    frame_.height = height_;
    renderStates_.assign(kRenderStateCount, 0);
    FillDefaultRenderStates(renderStates_.data(), true);
    stageStates_.assign(kCapturedStages * kStageStateCount, 0);
    for (DWORD stage = 0; stage < kCapturedStages; ++stage)
        for (DWORD type = 0; type < DWORD(kStageStateCount); ++type)
            stageStates_[stage * kStageStateCount + type] = DefaultStageState(stage, type);
    samplerStates_.assign(kCapturedSamplers * kSamplerStateCount, 0);
    for (DWORD sampler = 0; sampler < kCapturedSamplers; ++sampler)
        for (DWORD type = 0; type < DWORD(kSamplerStateCount); ++type)
            samplerStates_[sampler * kSamplerStateCount + type] = DefaultSamplerState(type);
    transforms_.clear();
    for (DWORD type : kCapturedTransforms) transforms_[type] = Identity();
    viewport_ = D3DVIEWPORT9{0, 0, width_, height_, 0.0f, 1.0f};
    material_ = D3DMATERIAL9{};
    lights_.clear();
    fvf_ = 0;
    std::fill(std::begin(boundTextures_), std::end(boundTextures_), 0u);
    textureIds_.clear();
}

void FrameCaptureDevice::Fail(const std::string& why) {
    if (failure_.empty()) failure_ = why;
}

void FrameCaptureDevice::Add(FrameOpKind kind, std::vector<std::uint32_t> words, std::vector<std::uint8_t> bytes) {
    FrameOp op;
    op.kind = kind;
    op.words = std::move(words);
    op.bytes = std::move(bytes);
    frame_.ops.push_back(std::move(op));
}

void FrameCaptureDevice::SyncStates() {
    IDirect3DDevice9* device = Forward();
    for (DWORD state = 0; state < DWORD(kRenderStateCount); ++state) {
        DWORD value = 0;
        if (SUCCEEDED(device->GetRenderState(D3DRENDERSTATETYPE(state), &value)) && value != renderStates_[state]) {
            renderStates_[state] = value;
            Add(FrameOpKind::RenderState, {state, value});
        }
    }
    for (DWORD stage = 0; stage < kCapturedStages; ++stage)
        for (DWORD type = 1; type < DWORD(kStageStateCount); ++type) {
            DWORD value = 0;
            DWORD& held = stageStates_[stage * kStageStateCount + type];
            if (SUCCEEDED(device->GetTextureStageState(stage, D3DTEXTURESTAGESTATETYPE(type), &value)) && value != held) {
                held = value;
                Add(FrameOpKind::StageState, {stage, type, value});
            }
        }
    for (DWORD sampler = 0; sampler < kCapturedSamplers; ++sampler)
        for (DWORD type = 1; type < DWORD(kSamplerStateCount); ++type) {
            DWORD value = 0;
            DWORD& held = samplerStates_[sampler * kSamplerStateCount + type];
            if (SUCCEEDED(device->GetSamplerState(sampler, D3DSAMPLERSTATETYPE(type), &value)) && value != held) {
                held = value;
                Add(FrameOpKind::SamplerState, {sampler, type, value});
            }
        }
    for (auto& [type, held] : transforms_) {
        D3DMATRIX matrix{};
        if (SUCCEEDED(device->GetTransform(D3DTRANSFORMSTATETYPE(type), &matrix)) && !Same(matrix, held)) {
            held = matrix;
            std::vector<std::uint32_t> words{type};
            AppendWords(words, matrix);
            Add(FrameOpKind::Transform, std::move(words));
        }
    }
    D3DVIEWPORT9 viewport{};
    if (SUCCEEDED(device->GetViewport(&viewport)) && !Same(viewport, viewport_)) {
        viewport_ = viewport;
        std::vector<std::uint32_t> words;
        AppendWords(words, viewport);
        Add(FrameOpKind::Viewport, std::move(words));
    }
    D3DMATERIAL9 material{};
    if (SUCCEEDED(device->GetMaterial(&material)) && !Same(material, material_)) {
        material_ = material;
        std::vector<std::uint32_t> words;
        AppendWords(words, material);
        Add(FrameOpKind::Material, std::move(words));
    }
    D3DLIGHT9 beyond{};
    if (SUCCEEDED(device->GetLight(kCapturedLights, &beyond))) Fail("lights beyond index " + std::to_string(kCapturedLights - 1));
    for (DWORD index = 0; index < kCapturedLights; ++index) {
        D3DLIGHT9 light{};
        BOOL enabled = FALSE;
        // Indices below the highest set one that were never set themselves have no type.
        if (FAILED(device->GetLight(index, &light)) || light.Type == 0 || FAILED(device->GetLightEnable(index, &enabled)))
            continue;
        enabled = enabled ? TRUE : FALSE;
        const auto held = lights_.find(index);
        if (held == lights_.end() || !Same(held->second.first, light)) {
            std::vector<std::uint32_t> words{index};
            AppendWords(words, light);
            Add(FrameOpKind::Light, std::move(words));
        }
        if (held == lights_.end() ? enabled != FALSE : held->second.second != enabled)
            Add(FrameOpKind::LightEnable, {index, std::uint32_t(enabled)});
        lights_[index] = {light, enabled};
    }
    DWORD fvf = 0;
    if (SUCCEEDED(device->GetFVF(&fvf)) && fvf != fvf_) {
        fvf_ = fvf;
        Add(FrameOpKind::Fvf, {fvf});
    }
    SyncTextures();
}

void FrameCaptureDevice::SyncTextures() {
    for (DWORD stage = 0; stage < kCapturedStages; ++stage) {
        IDirect3DBaseTexture9* texture = nullptr;
        if (FAILED(Forward()->GetTexture(stage, &texture))) continue;
        const std::uint32_t id = texture ? TextureId(texture) : 0;
        if (texture) texture->Release();
        if (id != boundTextures_[stage] && Capturing()) {
            boundTextures_[stage] = id;
            Add(FrameOpKind::Texture, {stage, id});
        }
    }
}

std::uint32_t FrameCaptureDevice::TextureId(IDirect3DBaseTexture9* base) {
    const auto known = textureIds_.find(base);
    if (known != textureIds_.end()) return known->second;
    D3DSURFACE_DESC desc{};
    auto* texture = static_cast<IDirect3DTexture9*>(base);
    if (base->GetType() != D3DRTYPE_TEXTURE || FAILED(texture->GetLevelDesc(0, &desc))) {
        Fail("a bound texture is not a plain texture");
        return 0;
    }
    const std::uint32_t texel = FrameTexelBytes(std::uint32_t(desc.Format));
    if (texel == 0) {
        Fail("texture format " + std::to_string(desc.Format) + " is not carried by the frame file");
        return 0;
    }
    const std::uint32_t id = std::uint32_t(textureIds_.size() + 1);
    std::vector<std::uint8_t> bytes;
    const DWORD levels = texture->GetLevelCount();
    for (DWORD level = 0; level < levels; ++level) {
        D3DSURFACE_DESC size{};
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->GetLevelDesc(level, &size)) || FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) {
            Fail("a texture level cannot be read");
            return 0;
        }
        const std::size_t row = std::size_t(size.Width) * texel;
        for (UINT y = 0; y < size.Height; ++y) {
            const auto* from = static_cast<const std::uint8_t*>(locked.pBits) + std::ptrdiff_t(y) * locked.Pitch;
            bytes.insert(bytes.end(), from, from + row);
        }
        texture->UnlockRect(level);
    }
    Add(FrameOpKind::TextureData, {id, std::uint32_t(desc.Format), desc.Width, desc.Height, levels}, std::move(bytes));
    textureIds_[base] = id;
    return id;
}

bool FrameCaptureDevice::ReadVertices(std::uint64_t offset, std::uint64_t size, std::vector<std::uint8_t>& out) {
    D3DVERTEXBUFFER_DESC desc{};
    void* data = nullptr;
    if (!stream_ || FAILED(stream_->GetDesc(&desc)) || offset + size > desc.Size ||
        FAILED(stream_->Lock(0, 0, &data, D3DLOCK_READONLY)))
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out.assign(bytes + offset, bytes + offset + size);
    stream_->Unlock();
    return true;
}

void FrameCaptureDevice::AddDraw(FrameDrawCall call, D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride,
                                 UINT vertexCount, std::vector<std::uint8_t> vertices, UINT indexSize,
                                 std::vector<std::uint8_t> indices) {
    const std::uint32_t indexCount = indexSize ? std::uint32_t(indices.size() / indexSize) : 0;
    Add(FrameOpKind::Draw,
        {std::uint32_t(call), std::uint32_t(type), primitiveCount, stride, vertexCount, indexSize, indexCount},
        std::move(vertices));
    frame_.ops.back().indices = std::move(indices);
}

HRESULT FrameCaptureDevice::Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) {
    if (armed_) {
        armed_ = false;
        captured_ = failure_.empty();
    }
    return RecordingDevice::Present(source, dest, destWindow, dirtyRegion);
}

HRESULT FrameCaptureDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                  DWORD stencil) {
    if (Capturing()) {
        SyncStates();
        std::vector<std::uint8_t> bytes;
        const DWORD kept = rects ? count : 0;
        if (kept) {
            bytes.resize(std::size_t(kept) * sizeof(D3DRECT));
            std::memcpy(bytes.data(), rects, bytes.size());
        }
        Add(FrameOpKind::Clear, {flags, color, Bits(z), stencil, kept}, std::move(bytes));
    }
    return RecordingDevice::Clear(count, rects, flags, color, z, stencil);
}

HRESULT FrameCaptureDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    const HRESULT hr = RecordingDevice::SetStreamSource(stream, buffer, offset, stride);
    if (SUCCEEDED(hr) && stream == 0) {
        stream_ = buffer;
        streamOffset_ = offset;
        streamStride_ = stride;
    }
    return hr;
}

HRESULT FrameCaptureDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
    const HRESULT hr = RecordingDevice::SetIndices(buffer);
    if (SUCCEEDED(hr)) indices_ = buffer;
    return hr;
}

HRESULT FrameCaptureDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const std::uint64_t count = FramePrimitiveVertices(type, primitiveCount);
    if (Capturing() && count > 0) {
        SyncStates();
        std::vector<std::uint8_t> vertices;
        if (ReadVertices(streamOffset_ + std::uint64_t(startVertex) * streamStride_, count * streamStride_, vertices))
            AddDraw(FrameDrawCall::Primitive, type, primitiveCount, streamStride_, UINT(count), std::move(vertices));
        else
            Fail("a draw reads outside its vertex buffer");
    }
    return RecordingDevice::DrawPrimitive(type, startVertex, primitiveCount);
}

HRESULT FrameCaptureDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                                 UINT vertexCount, UINT startIndex, UINT primitiveCount) {
    const std::uint64_t count = FramePrimitiveVertices(type, primitiveCount);
    if (Capturing() && count > 0) {
        SyncStates();
        D3DINDEXBUFFER_DESC desc{};
        void* data = nullptr;
        bool ok = indices_ && SUCCEEDED(indices_->GetDesc(&desc));
        const UINT indexSize = desc.Format == D3DFMT_INDEX32 ? 4 : 2;
        ok = ok && (std::uint64_t(startIndex) + count) * indexSize <= desc.Size &&
             SUCCEEDED(indices_->Lock(0, 0, &data, D3DLOCK_READONLY));
        std::vector<std::uint32_t> read;
        if (ok) {
            const auto* bytes = static_cast<const std::uint8_t*>(data) + std::size_t(startIndex) * indexSize;
            for (std::uint64_t i = 0; i < count; ++i) {
                std::uint32_t index = 0;
                std::memcpy(&index, bytes + i * indexSize, indexSize);
                read.push_back(index);
            }
            indices_->Unlock();
        }
        // The vertices the indices reach, first to last; the indices count from the first.
        const std::uint32_t low = ok ? *std::min_element(read.begin(), read.end()) : 0;
        const std::uint32_t high = ok ? *std::max_element(read.begin(), read.end()) : 0;
        const std::int64_t first = std::int64_t(baseVertex) + low;
        std::vector<std::uint8_t> vertices;
        ok = ok && first >= 0 &&
             ReadVertices(streamOffset_ + std::uint64_t(first) * streamStride_,
                          std::uint64_t(high - low + 1) * streamStride_, vertices);
        if (ok) {
            std::vector<std::uint8_t> rebased(read.size() * indexSize);
            for (std::size_t i = 0; i < read.size(); ++i) {
                const std::uint32_t index = read[i] - low;
                std::memcpy(&rebased[i * indexSize], &index, indexSize);
            }
            AddDraw(FrameDrawCall::IndexedPrimitive, type, primitiveCount, streamStride_, high - low + 1,
                    std::move(vertices), indexSize, std::move(rebased));
        } else {
            Fail("an indexed draw reads outside its buffers");
        }
    }
    return RecordingDevice::DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount);
}

HRESULT FrameCaptureDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                            UINT stride) {
    const std::uint64_t count = FramePrimitiveVertices(type, primitiveCount);
    if (Capturing() && count > 0 && vertices && stride) {
        SyncStates();
        const auto* bytes = static_cast<const std::uint8_t*>(vertices);
        AddDraw(FrameDrawCall::PrimitiveUP, type, primitiveCount, stride, UINT(count),
                std::vector<std::uint8_t>(bytes, bytes + count * stride));
    }
    return RecordingDevice::DrawPrimitiveUP(type, primitiveCount, vertices, stride);
}

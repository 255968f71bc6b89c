#include "platform/d3d9/recording_device.h"

#include "platform/d3d9/state_defaults.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>

namespace {

template <class T>
void AppendOne(std::string& s, const T& value) {
    if (!s.empty()) s += ", ";
    if constexpr (std::is_same_v<T, std::string>) {
        s += value;
    } else if constexpr (std::is_array_v<T> || std::is_same_v<T, const char*>) {
        s += value;
    } else if constexpr (std::is_enum_v<T>) {
        s += std::to_string(static_cast<std::underlying_type_t<T>>(value));
    } else if constexpr (std::is_same_v<T, float>) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", double(value));
        s += text;
    } else if constexpr (std::is_pointer_v<T>) {
        s += value ? "ptr" : "null";
    } else {
        s += std::to_string(value);
    }
}

template <class... T>
std::string Args(const T&... values) {
    std::string s;
    (AppendOne(s, values), ...);
    return s;
}

std::string MatrixText(const D3DMATRIX* m) {
    if (!m) return "null";
    std::string s = "[";
    for (int i = 0; i < 16; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, i ? " %g" : "%g", double(m->m[i / 4][i % 4]));
        s += text;
    }
    return s + "]";
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Resources of a device without a GPU: memory that locks and unlocks, recorded on the device.
template <class Interface>
class Recorded : public RefCounted<Interface> {
public:
    HRESULT GetDevice(IDirect3DDevice9** device) override {
        if (!device) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }

protected:
    explicit Recorded(RecordingDevice* device) : device_(device) { device_->AddRef(); }
    ~Recorded() override { device_->Release(); }
    RecordingDevice* device_;
};

template <class Interface, class Desc>
class RecordedBuffer final : public Recorded<Interface> {
public:
    RecordedBuffer(RecordingDevice* device, const char* kind, const Desc& desc)
        : Recorded<Interface>(device), kind_(kind), desc_(desc), bytes_(desc.Size, 0) {}
    D3DRESOURCETYPE GetType() override { return desc_.Type; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        HRESULT hr = D3D_OK;
        if (!data || offset > bytes_.size() || size > bytes_.size() - offset) hr = D3DERR_INVALIDCALL;
        hr = this->device_->Forced((kind_ + "::Lock").c_str(), hr);
        if (SUCCEEDED(hr)) *data = bytes_.data() + offset;
        this->device_->Record((kind_ + "::Lock").c_str(), Args(offset, size, flags), hr);
        return hr;
    }
    HRESULT Unlock() override {
        const HRESULT hr = this->device_->Forced((kind_ + "::Unlock").c_str(), D3D_OK);
        this->device_->Record((kind_ + "::Unlock").c_str(), "", hr);
        return hr;
    }
    HRESULT GetDesc(Desc* desc) override {
        if (!desc) return D3DERR_INVALIDCALL;
        *desc = desc_;
        return D3D_OK;
    }

private:
    std::string kind_;
    Desc desc_;
    std::vector<std::uint8_t> bytes_;
};

class RecordedTexture;

class RecordedSurface final : public Recorded<IDirect3DSurface9> {
public:
    RecordedSurface(RecordingDevice* device, RecordedTexture* owner, UINT level, const D3DSURFACE_DESC& desc);
    ~RecordedSurface() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        if (!desc) return D3DERR_INVALIDCALL;
        *desc = desc_;
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

private:
    RecordedTexture* owner_;
    UINT level_;
    D3DSURFACE_DESC desc_;
};

class RecordedTexture final : public Recorded<IDirect3DTexture9> {
public:
    RecordedTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, const D3DSURFACE_DESC& desc)
        : Recorded(device), desc_(desc) {
        UINT full = 1;
        for (UINT w = width, h = height; w > 1 || h > 1; w = std::max(1u, w / 2), h = std::max(1u, h / 2)) ++full;
        if (levels == 0 || levels > full) levels = full;
        for (UINT i = 0; i < levels; ++i) {
            const UINT w = std::max(1u, width >> i), h = std::max(1u, height >> i);
            sizes_.push_back({w, h});
            bytes_.emplace_back(std::size_t(w) * h * 4, 0);  // 4 bytes a pixel covers every format we take
        }
    }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return DWORD(sizes_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (!desc || level >= sizes_.size()) return D3DERR_INVALIDCALL;
        *desc = desc_;
        desc->Width = sizes_[level].first;
        desc->Height = sizes_[level].second;
        return D3D_OK;
    }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override {
        D3DSURFACE_DESC desc;
        if (!surface || FAILED(GetLevelDesc(level, &desc))) return D3DERR_INVALIDCALL;
        *surface = new RecordedSurface(device_, this, level, desc);
        return D3D_OK;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        HRESULT hr = locked && level < sizes_.size() ? D3D_OK : D3DERR_INVALIDCALL;
        hr = device_->Forced("Texture::LockRect", hr);
        if (SUCCEEDED(hr)) {
            const UINT pitch = sizes_[level].first * 4;
            const std::size_t at = rect ? std::size_t(std::max<LONG>(rect->top, 0)) * pitch +
                                              std::size_t(std::max<LONG>(rect->left, 0)) * 4
                                        : 0;
            locked->Pitch = INT(pitch);
            locked->pBits = bytes_[level].data() + std::min(at, bytes_[level].size());
        }
        device_->Record("Texture::LockRect", Args(level, rect, flags), hr);
        return hr;
    }
    HRESULT UnlockRect(UINT level) override {
        const HRESULT hr = device_->Forced("Texture::UnlockRect", level < sizes_.size() ? D3D_OK : D3DERR_INVALIDCALL);
        device_->Record("Texture::UnlockRect", Args(level), hr);
        return hr;
    }

private:
    D3DSURFACE_DESC desc_;
    std::vector<std::pair<UINT, UINT>> sizes_;
    std::vector<std::vector<std::uint8_t>> bytes_;
};

RecordedSurface::RecordedSurface(RecordingDevice* device, RecordedTexture* owner, UINT level,
                                 const D3DSURFACE_DESC& desc)
    : Recorded(device), owner_(owner), level_(level), desc_(desc) {
    if (owner_) owner_->AddRef();
}

RecordedSurface::~RecordedSurface() {
    if (owner_) owner_->Release();
}

HRESULT RecordedSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return owner_ ? owner_->LockRect(level_, locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT RecordedSurface::UnlockRect() { return owner_ ? owner_->UnlockRect(level_) : D3DERR_INVALIDCALL; }

}  // namespace

RecordingDevice* RecordingDevice::Create(IDirect3DDevice9* forward) { return new RecordingDevice(forward); }

RecordingDevice::RecordingDevice(IDirect3DDevice9* forward) : forward_(forward) {
    if (forward_) forward_->AddRef();
    parameters_.BackBufferWidth = 640;
    parameters_.BackBufferHeight = 480;
    parameters_.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters_.EnableAutoDepthStencil = TRUE;
    parameters_.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters_.Windowed = TRUE;
    ResetStates();
}

RecordingDevice::~RecordingDevice() {
    if (forward_) forward_->Release();
}

void RecordingDevice::ResetStates() {
    renderStates_.assign(kRenderStateCount, 0);
    FillDefaultRenderStates(renderStates_.data(), parameters_.EnableAutoDepthStencil != FALSE);
    stageStates_.assign(8 * 64, 0);
    samplerStates_.assign(16 * 64, 0);
    for (DWORD stage = 0; stage < 8; ++stage)
        for (DWORD type = 0; type < kStageStateCount; ++type) stageStates_[stage * 64 + type] = DefaultStageState(stage, type);
    for (DWORD sampler = 0; sampler < 16; ++sampler)
        for (DWORD type = 0; type < kSamplerStateCount; ++type) samplerStates_[sampler * 64 + type] = DefaultSamplerState(type);
    transforms_.assign(512, Identity());
    lights_.clear();
    material_ = D3DMATERIAL9{};
    viewport_ = D3DVIEWPORT9{0, 0, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 0.0f, 1.0f};
    for (int i = 0; i < 256; ++i) gamma_.red[i] = gamma_.green[i] = gamma_.blue[i] = WORD(i * 257);
    std::fill(std::begin(textures_), std::end(textures_), nullptr);
    fvf_ = 0;
}

int RecordingDevice::Count(const std::string& method) const {
    return int(std::count_if(calls_.begin(), calls_.end(), [&](const RecordedCall& c) { return c.method == method; }));
}

std::vector<std::string> RecordingDevice::CallsOf(const std::string& method) const {
    std::vector<std::string> texts;
    for (const RecordedCall& call : calls_)
        if (call.method == method) texts.push_back(call.Text());
    return texts;
}

void RecordingDevice::SetResult(const std::string& method, HRESULT result) {
    if (result == D3D_OK)
        forced_.erase(method);
    else
        forced_[method] = result;
}

void RecordingDevice::Record(const char* method, std::string arguments, HRESULT result) {
    calls_.push_back(RecordedCall{method, std::move(arguments), result});
}

HRESULT RecordingDevice::Forced(const char* method, HRESULT otherwise) const {
    const auto found = forced_.find(method);
    return found != forced_.end() ? found->second : otherwise;
}

// Each method: the local answer, overridden by a forwarded device's, overridden by a forced
// result; then the record.
#define FV_ANSWER(method, local, forwarded)                         \
    HRESULT hr = (local);                                           \
    if (forward_) hr = (forwarded);                                 \
    hr = Forced(method, hr)

HRESULT RecordingDevice::TestCooperativeLevel() {
    FV_ANSWER("TestCooperativeLevel", cooperative_, forward_->TestCooperativeLevel());
    Record("TestCooperativeLevel", "", hr);
    return hr;
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* caps) {
    HRESULT local = caps ? D3D_OK : D3DERR_INVALIDCALL;
    if (caps && !forward_) {
        std::memset(caps, 0, sizeof *caps);
        caps->DeviceType = D3DDEVTYPE_HAL;
        caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
        caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
        caps->MaxTextureWidth = caps->MaxTextureHeight = 4096;
        caps->MaxActiveLights = 8;
        caps->MaxTextureBlendStages = caps->MaxSimultaneousTextures = 2;
        caps->MaxPrimitiveCount = 0xFFFFF;
        caps->MaxVertexIndex = 0xFFFFFF;
        caps->MaxStreams = 1;
    }
    FV_ANSWER("GetDeviceCaps", local, forward_->GetDeviceCaps(caps));
    Record("GetDeviceCaps", "", hr);
    return hr;
}

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) {
    HRESULT local = surface && swapChain == 0 && index == 0 ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local) && !forward_) {
        D3DSURFACE_DESC desc{parameters_.BackBufferFormat, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                             D3DMULTISAMPLE_NONE, 0, parameters_.BackBufferWidth, parameters_.BackBufferHeight};
        *surface = new RecordedSurface(this, nullptr, 0, desc);
    }
    FV_ANSWER("GetBackBuffer", local, forward_->GetBackBuffer(swapChain, index, type, surface));
    Record("GetBackBuffer", Args(swapChain, index, type), hr);
    return hr;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    FV_ANSWER("Reset", parameters ? D3D_OK : D3DERR_INVALIDCALL, forward_->Reset(parameters));
    if (SUCCEEDED(hr) && parameters) {
        parameters_ = *parameters;
        cooperative_ = D3D_OK;
        ResetStates();
    }
    Record("Reset", parameters ? Args(parameters->BackBufferWidth, parameters->BackBufferHeight,
                                      parameters->BackBufferFormat, parameters->Windowed)
                               : std::string("null"),
           hr);
    return hr;
}

HRESULT RecordingDevice::Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) {
    FV_ANSWER("Present", cooperative_ == D3D_OK ? D3D_OK : D3DERR_DEVICELOST,
              forward_->Present(source, dest, destWindow, dirtyRegion));
    Record("Present", Args(source, dest, destWindow, dirtyRegion), hr);
    return hr;
}

void RecordingDevice::SetGammaRamp(UINT swapChain, DWORD flags, const D3DGAMMARAMP* ramp) {
    if (ramp) gamma_ = *ramp;
    if (forward_) forward_->SetGammaRamp(swapChain, flags, ramp);
    Record("SetGammaRamp", ramp ? Args(swapChain, flags, DWORD(ramp->red[0]), DWORD(ramp->red[255]))
                                : Args(swapChain, flags, "null"),
           D3D_OK);
}

void RecordingDevice::GetGammaRamp(UINT swapChain, D3DGAMMARAMP* ramp) {
    if (ramp) *ramp = gamma_;
    if (forward_) forward_->GetGammaRamp(swapChain, ramp);
    Record("GetGammaRamp", Args(swapChain), D3D_OK);
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, void* sharedHandle) {
    HRESULT local = texture && width && height && width <= 4096 && height <= 4096 ? D3D_OK : D3DERR_INVALIDCALL;
    local = Forced("CreateTexture", local);
    if (SUCCEEDED(local) && !forward_)
        *texture = new RecordedTexture(this, width, height, levels,
                                       D3DSURFACE_DESC{format, D3DRTYPE_SURFACE, usage, pool, D3DMULTISAMPLE_NONE, 0,
                                                       width, height});
    HRESULT hr = local;
    if (forward_ && SUCCEEDED(local)) hr = forward_->CreateTexture(width, height, levels, usage, format, pool, texture, sharedHandle);
    Record("CreateTexture", Args(width, height, levels, usage, format, pool), hr);
    return hr;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, void* sharedHandle) {
    HRESULT local = Forced("CreateVertexBuffer", buffer && length ? D3D_OK : D3DERR_INVALIDCALL);
    if (SUCCEEDED(local) && !forward_)
        *buffer = new RecordedBuffer<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC>(
            this, "VertexBuffer", D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf});
    HRESULT hr = local;
    if (forward_ && SUCCEEDED(local)) hr = forward_->CreateVertexBuffer(length, usage, fvf, pool, buffer, sharedHandle);
    Record("CreateVertexBuffer", Args(length, usage, fvf, pool), hr);
    return hr;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, void* sharedHandle) {
    HRESULT local = Forced("CreateIndexBuffer", buffer && length ? D3D_OK : D3DERR_INVALIDCALL);
    if (SUCCEEDED(local) && !forward_)
        *buffer = new RecordedBuffer<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC>(
            this, "IndexBuffer", D3DINDEXBUFFER_DESC{format, D3DRTYPE_INDEXBUFFER, usage, pool, length});
    HRESULT hr = local;
    if (forward_ && SUCCEEDED(local)) hr = forward_->CreateIndexBuffer(length, usage, format, pool, buffer, sharedHandle);
    Record("CreateIndexBuffer", Args(length, usage, format, pool), hr);
    return hr;
}

HRESULT RecordingDevice::BeginScene() {
    FV_ANSWER("BeginScene", inScene_ ? D3DERR_INVALIDCALL : D3D_OK, forward_->BeginScene());
    if (SUCCEEDED(hr)) inScene_ = true;
    Record("BeginScene", "", hr);
    return hr;
}

HRESULT RecordingDevice::EndScene() {
    FV_ANSWER("EndScene", inScene_ ? D3D_OK : D3DERR_INVALIDCALL, forward_->EndScene());
    if (SUCCEEDED(hr)) inScene_ = false;
    Record("EndScene", "", hr);
    return hr;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    FV_ANSWER("Clear", D3D_OK, forward_->Clear(count, rects, flags, color, z, stencil));
    Record("Clear", Args(count, flags, color, z, stencil), hr);
    return hr;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    HRESULT local = matrix && state < transforms_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    FV_ANSWER("SetTransform", local, forward_->SetTransform(state, matrix));
    if (SUCCEEDED(local)) transforms_[state] = *matrix;
    Record("SetTransform", Args(state, MatrixText(matrix)), hr);
    return hr;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    HRESULT local = matrix && state < transforms_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *matrix = transforms_[state];
    FV_ANSWER("GetTransform", local, forward_->GetTransform(state, matrix));
    Record("GetTransform", Args(state), hr);
    return hr;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    FV_ANSWER("SetViewport", viewport ? D3D_OK : D3DERR_INVALIDCALL, forward_->SetViewport(viewport));
    if (viewport) viewport_ = *viewport;
    Record("SetViewport", viewport ? Args(viewport->X, viewport->Y, viewport->Width, viewport->Height,
                                          viewport->MinZ, viewport->MaxZ)
                                   : std::string("null"),
           hr);
    return hr;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport) *viewport = viewport_;
    FV_ANSWER("GetViewport", viewport ? D3D_OK : D3DERR_INVALIDCALL, forward_->GetViewport(viewport));
    Record("GetViewport", "", hr);
    return hr;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material) {
    FV_ANSWER("SetMaterial", material ? D3D_OK : D3DERR_INVALIDCALL, forward_->SetMaterial(material));
    if (material) material_ = *material;
    Record("SetMaterial",
           material ? Args(material->Diffuse.r, material->Diffuse.g, material->Diffuse.b, material->Diffuse.a,
                           material->Power)
                    : std::string("null"),
           hr);
    return hr;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* material) {
    if (material) *material = material_;
    FV_ANSWER("GetMaterial", material ? D3D_OK : D3DERR_INVALIDCALL, forward_->GetMaterial(material));
    Record("GetMaterial", "", hr);
    return hr;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    FV_ANSWER("SetLight", light ? D3D_OK : D3DERR_INVALIDCALL, forward_->SetLight(index, light));
    if (light && index < 0x10000) {
        if (index >= lights_.size()) lights_.resize(index + 1);
        lights_[index].first = *light;
    }
    Record("SetLight", light ? Args(index, light->Type, light->Position.x, light->Position.y, light->Position.z,
                                    light->Range)
                             : Args(index, "null"),
           hr);
    return hr;
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT9* light) {
    HRESULT local = light && index < lights_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *light = lights_[index].first;
    FV_ANSWER("GetLight", local, forward_->GetLight(index, light));
    Record("GetLight", Args(index), hr);
    return hr;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    FV_ANSWER("LightEnable", index < 0x10000 ? D3D_OK : D3DERR_INVALIDCALL, forward_->LightEnable(index, enable));
    if (index < 0x10000) {
        if (index >= lights_.size()) lights_.resize(index + 1);
        lights_[index].second = enable != FALSE;
    }
    Record("LightEnable", Args(index, enable), hr);
    return hr;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    HRESULT local = enable && index < lights_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *enable = lights_[index].second;
    FV_ANSWER("GetLightEnable", local, forward_->GetLightEnable(index, enable));
    Record("GetLightEnable", Args(index), hr);
    return hr;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT local = state < renderStates_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    FV_ANSWER("SetRenderState", local, forward_->SetRenderState(state, value));
    if (SUCCEEDED(local)) renderStates_[state] = value;
    Record("SetRenderState", Args(state, value), hr);
    return hr;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    HRESULT local = value && state < renderStates_.size() ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *value = renderStates_[state];
    FV_ANSWER("GetRenderState", local, forward_->GetRenderState(state, value));
    Record("GetRenderState", Args(state), hr);
    return hr;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    HRESULT local = stage < 8 ? D3D_OK : D3DERR_INVALIDCALL;
    FV_ANSWER("SetTexture", local, forward_->SetTexture(stage, texture));
    if (SUCCEEDED(local)) textures_[stage] = texture;
    Record("SetTexture", Args(stage, texture), hr);
    return hr;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    HRESULT local = texture && stage < 8 ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local) && !forward_) {
        *texture = textures_[stage];
        if (*texture) (*texture)->AddRef();
    }
    FV_ANSWER("GetTexture", local, forward_->GetTexture(stage, texture));
    Record("GetTexture", Args(stage), hr);
    return hr;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    HRESULT local = stage < 8 && type < 64 ? D3D_OK : D3DERR_INVALIDCALL;
    FV_ANSWER("SetTextureStageState", local, forward_->SetTextureStageState(stage, type, value));
    if (SUCCEEDED(local)) stageStates_[stage * 64 + type] = value;
    Record("SetTextureStageState", Args(stage, type, value), hr);
    return hr;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    HRESULT local = value && stage < 8 && type < 64 ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *value = stageStates_[stage * 64 + type];
    FV_ANSWER("GetTextureStageState", local, forward_->GetTextureStageState(stage, type, value));
    Record("GetTextureStageState", Args(stage, type), hr);
    return hr;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    HRESULT local = sampler < 16 && type < 64 ? D3D_OK : D3DERR_INVALIDCALL;
    FV_ANSWER("SetSamplerState", local, forward_->SetSamplerState(sampler, type, value));
    if (SUCCEEDED(local)) samplerStates_[sampler * 64 + type] = value;
    Record("SetSamplerState", Args(sampler, type, value), hr);
    return hr;
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    HRESULT local = value && sampler < 16 && type < 64 ? D3D_OK : D3DERR_INVALIDCALL;
    if (SUCCEEDED(local)) *value = samplerStates_[sampler * 64 + type];
    FV_ANSWER("GetSamplerState", local, forward_->GetSamplerState(sampler, type, value));
    Record("GetSamplerState", Args(sampler, type), hr);
    return hr;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) {
    FV_ANSWER("SetFVF", D3D_OK, forward_->SetFVF(fvf));
    fvf_ = fvf;
    Record("SetFVF", Args(fvf), hr);
    return hr;
}

HRESULT RecordingDevice::GetFVF(DWORD* fvf) {
    if (fvf) *fvf = fvf_;
    FV_ANSWER("GetFVF", fvf ? D3D_OK : D3DERR_INVALIDCALL, forward_->GetFVF(fvf));
    Record("GetFVF", "", hr);
    return hr;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    FV_ANSWER("SetStreamSource", D3D_OK, forward_->SetStreamSource(stream, buffer, offset, stride));
    Record("SetStreamSource", Args(stream, buffer, offset, stride), hr);
    return hr;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
    FV_ANSWER("SetIndices", D3D_OK, forward_->SetIndices(buffer));
    Record("SetIndices", Args(buffer), hr);
    return hr;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    FV_ANSWER("DrawPrimitive", D3D_OK, forward_->DrawPrimitive(type, startVertex, primitiveCount));
    Record("DrawPrimitive", Args(type, startVertex, primitiveCount), hr);
    return hr;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                              UINT startIndex, UINT primitiveCount) {
    FV_ANSWER("DrawIndexedPrimitive", D3D_OK,
              forward_->DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount));
    Record("DrawIndexedPrimitive", Args(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount), hr);
    return hr;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    FV_ANSWER("DrawPrimitiveUP", vertices && stride ? D3D_OK : D3DERR_INVALIDCALL,
              forward_->DrawPrimitiveUP(type, primitiveCount, vertices, stride));
    Record("DrawPrimitiveUP", Args(type, primitiveCount, vertices, stride), hr);
    return hr;
}

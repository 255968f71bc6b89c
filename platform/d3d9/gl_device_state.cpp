// State setters of the OpenGL device: compare, store, mark the dirty groups.

#include "platform/d3d9/gl_device.h"
#include "platform/d3d9/gl_resources.h"
#include "platform/d3d9/state_defaults.h"

#include <cstring>

namespace {

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

}  // namespace

void GlDevice::ResetStates() {
    FillDefaultRenderStates(renderStates_.data(), parameters_.EnableAutoDepthStencil != FALSE);
    for (int stage = 0; stage < kMaxStages; ++stage) {
        for (DWORD type = 0; type < kStageStateCount; ++type) stageStates_[stage][type] = DefaultStageState(stage, type);
        for (DWORD type = 0; type < kSamplerStateCount; ++type) samplerStates_[stage][type] = DefaultSamplerState(type);
        textures_[stage] = nullptr;
    }
    std::fill(transforms_.begin(), transforms_.end(), Identity());
    material_ = D3DMATERIAL9{};
    lights_.clear();
    stream_ = nullptr;
    indices_ = nullptr;
    streamOffset_ = streamStride_ = 0;
    fvf_ = 0;
    viewport_ = D3DVIEWPORT9{0, 0, DWORD(width_), DWORD(height_), 0.0f, 1.0f};
    program_ = nullptr;
    boundFvf_ = 0xFFFFFFFFu;
    dirty_ = kDirtyAll;
    for (auto& generation : generations_) ++generation;
}

std::uint32_t GlDevice::RenderStateGroups(DWORD state) const {
    switch (state) {
    case D3DRS_ZENABLE: case D3DRS_ZWRITEENABLE: case D3DRS_ZFUNC:
        return kDirtyDepth;
    case D3DRS_ALPHABLENDENABLE: case D3DRS_SRCBLEND: case D3DRS_DESTBLEND: case D3DRS_BLENDOP:
    case D3DRS_COLORWRITEENABLE: case D3DRS_BLENDFACTOR:
        return kDirtyBlend;
    case D3DRS_CULLMODE: case D3DRS_FILLMODE: case D3DRS_POINTSIZE:
        return kDirtyRaster;
    case D3DRS_ALPHATESTENABLE: case D3DRS_ALPHAFUNC: case D3DRS_LIGHTING: case D3DRS_SPECULARENABLE:
    case D3DRS_COLORVERTEX: case D3DRS_LOCALVIEWER: case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE: case D3DRS_SPECULARMATERIALSOURCE: case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE: case D3DRS_FOGENABLE: case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE: case D3DRS_RANGEFOGENABLE:
        return kDirtyKey;
    case D3DRS_FOGSTART: case D3DRS_FOGEND: case D3DRS_FOGDENSITY: case D3DRS_FOGCOLOR:
        return kDirtyFog;
    case D3DRS_AMBIENT:
        return kDirtyMaterial;
    case D3DRS_TEXTUREFACTOR: case D3DRS_ALPHAREF:
        return kDirtyStage;
    default:
        return 0;
    }
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= renderStates_.size()) return D3DERR_INVALIDCALL;
    if (renderStates_[state] == value) return D3D_OK;
    renderStates_[state] = value;
    dirty_ |= RenderStateGroups(state);
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!value || state >= renderStates_.size()) return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return D3D_OK;
}

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix || state >= transforms_.size()) return D3DERR_INVALIDCALL;
    if (SameMatrix(transforms_[state], *matrix)) return D3D_OK;
    transforms_[state] = *matrix;
    ++counters_.stateChanges;
    if (state == D3DTS_WORLD || state == D3DTS_PROJECTION) dirty_ |= kDirtyTransform;
    // Lights are given in world space and kept in view space.
    if (state == D3DTS_VIEW) dirty_ |= kDirtyTransform | kDirtyLights;
    return D3D_OK;
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!matrix || state >= transforms_.size()) return D3DERR_INVALIDCALL;
    *matrix = transforms_[state];
    return D3D_OK;
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport || viewport->Width == 0 || viewport->Height == 0 ||
        viewport->X + viewport->Width > DWORD(width_) || viewport->Y + viewport->Height > DWORD(height_))
        return D3DERR_INVALIDCALL;
    viewport_ = *viewport;
    dirty_ |= kDirtyViewport;
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT GlDevice::SetMaterial(const D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    if (std::memcmp(&material_, material, sizeof material_) == 0) return D3D_OK;
    material_ = *material;
    dirty_ |= kDirtyMaterial;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetMaterial(D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT GlDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (!light || index >= 0x10000 || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL ||
        light->Range < 0.0f || light->Attenuation0 < 0.0f || light->Attenuation1 < 0.0f ||
        light->Attenuation2 < 0.0f)
        return D3DERR_INVALIDCALL;
    if (index >= lights_.size()) lights_.resize(index + 1);
    if (std::memcmp(&lights_[index].light, light, sizeof *light) == 0) return D3D_OK;
    lights_[index].light = *light;
    dirty_ |= kDirtyLights | kDirtyKey;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetLight(DWORD index, D3DLIGHT9* light) {
    if (!light || index >= lights_.size()) return D3DERR_INVALIDCALL;
    *light = lights_[index].light;
    return D3D_OK;
}

HRESULT GlDevice::LightEnable(DWORD index, BOOL enable) {
    if (index >= 0x10000) return D3DERR_INVALIDCALL;
    if (index >= lights_.size()) {
        // Enabling a light never set gives it the default light: white directional along +z.
        lights_.resize(index + 1);
        D3DLIGHT9& light = lights_[index].light;
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = {0, 0, 1};
    }
    if (lights_[index].enabled == (enable != FALSE)) return D3D_OK;
    lights_[index].enabled = enable != FALSE;
    dirty_ |= kDirtyLights | kDirtyKey;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable || index >= lights_.size()) return D3DERR_INVALIDCALL;
    *enable = lights_[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= 8) return D3DERR_INVALIDCALL;
    if (stage >= DWORD(kMaxStages)) return D3D_OK;  // stages we do not blend with
    auto* gl = static_cast<GlTexture*>(texture);
    if (textures_[stage] == gl) return D3D_OK;
    // A texture appearing or vanishing changes the stage program, not only the binding.
    if ((textures_[stage] == nullptr) != (gl == nullptr)) dirty_ |= kDirtyKey;
    textures_[stage] = gl;
    dirty_ |= kDirtyTextures;
    ++counters_.stateChanges;
    ++counters_.textureBinds;
    return D3D_OK;
}

HRESULT GlDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (!texture || stage >= 8) return D3DERR_INVALIDCALL;
    *texture = stage < DWORD(kMaxStages) ? textures_[stage] : nullptr;
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= 8 || type >= 33) return D3DERR_INVALIDCALL;
    if (stage >= DWORD(kMaxStages)) return D3D_OK;
    if (stageStates_[stage][type] == value) return D3D_OK;
    stageStates_[stage][type] = value;
    dirty_ |= kDirtyKey;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (!value || stage >= 8 || type >= 33) return D3DERR_INVALIDCALL;
    if (stage >= DWORD(kMaxStages)) {
        *value = type == D3DTSS_COLOROP || type == D3DTSS_ALPHAOP ? DWORD(D3DTOP_DISABLE) : 0;
        return D3D_OK;
    }
    *value = stageStates_[stage][type];
    return D3D_OK;
}

HRESULT GlDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= 16 || type >= 14) return D3DERR_INVALIDCALL;
    if (sampler >= DWORD(kMaxStages)) return D3D_OK;
    if (samplerStates_[sampler][type] == value) return D3D_OK;
    samplerStates_[sampler][type] = value;
    dirty_ |= kDirtySamplers;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (!value || sampler >= 16 || type >= 14) return D3DERR_INVALIDCALL;
    *value = sampler < DWORD(kMaxStages) ? samplerStates_[sampler][type] : 0;
    return D3D_OK;
}

HRESULT GlDevice::SetFVF(DWORD fvf) {
    if (fvf_ == fvf) return D3D_OK;
    fvf_ = fvf;
    dirty_ |= kDirtyKey | kDirtyVertexInput;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::GetFVF(DWORD* fvf) {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = fvf_;
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream != 0) return stream < 16 ? D3D_OK : D3DERR_INVALIDCALL;
    auto* gl = static_cast<GlVertexBuffer*>(buffer);
    if (stream_ == gl && streamOffset_ == offset && streamStride_ == stride) return D3D_OK;
    stream_ = gl;
    streamOffset_ = offset;
    streamStride_ = stride;
    dirty_ |= kDirtyVertexInput;
    ++counters_.stateChanges;
    return D3D_OK;
}

HRESULT GlDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
    auto* gl = static_cast<GlIndexBuffer*>(buffer);
    if (indices_ == gl) return D3D_OK;
    indices_ = gl;
    ++counters_.stateChanges;
    return D3D_OK;
}

#include "render/render_state_cache.h"

#include "render/device_globals.h"

#include <cstring>

namespace {

constexpr int kRenderStates = 1024;
constexpr int kSamplers = 8;
constexpr int kSamplerTypes = 16;
constexpr int kStages = 8;
constexpr int kStageTypes = 64;
constexpr int kCachedTextures = 2;
constexpr int kTransforms = 512;

template <typename T>
struct Entry {
    bool valid = false;
    T value{};
};

struct StateCache {
    Entry<DWORD> renderStates[kRenderStates];
    Entry<DWORD> samplerStates[kSamplers][kSamplerTypes];
    Entry<DWORD> stageStates[kStages][kStageTypes];
    Entry<IDirect3DBaseTexture9*> textures[kCachedTextures];
    Entry<D3DMATRIX> transforms[kTransforms];
    Entry<D3DMATERIAL9> material;
};

StateCache& Cache() {
    static StateCache* cache = new StateCache();
    return *cache;
}

// Stores and sends a value that differs from a valid entry; answers as the cache rule says.
template <typename T, typename Equal, typename Send>
bool Through(Entry<T>& entry, const T& value, Equal equal, Send send) {
    if (entry.valid && equal(entry.value, value)) return true;
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) return false;
    entry.value = value;
    entry.valid = true;
    return SUCCEEDED(send(device));
}

bool SameDword(DWORD a, DWORD b) { return a == b; }

}  // namespace

bool SetRenderStateCached(D3DRENDERSTATETYPE state, DWORD value) {
    if (DWORD(state) >= DWORD(kRenderStates)) {
        IDirect3DDevice9* device = CurrentDevice();
        return device != nullptr && SUCCEEDED(device->SetRenderState(state, value));
    }
    return Through(Cache().renderStates[state], value, SameDword,
                   [&](IDirect3DDevice9* d) { return d->SetRenderState(state, value); });
}

bool GetRenderStateCached(D3DRENDERSTATETYPE state, DWORD* value) {
    IDirect3DDevice9* device = CurrentDevice();
    if (value == nullptr) return false;
    if (DWORD(state) >= DWORD(kRenderStates))
        return device != nullptr && SUCCEEDED(device->GetRenderState(state, value));
    Entry<DWORD>& entry = Cache().renderStates[state];
    if (entry.valid) {
        *value = entry.value;
        return true;
    }
    if (device == nullptr || FAILED(device->GetRenderState(state, value))) return false;
    entry.value = *value;
    entry.valid = true;
    return true;
}

bool SetSamplerStateCached(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= DWORD(kSamplers) || DWORD(type) >= DWORD(kSamplerTypes)) {
        IDirect3DDevice9* device = CurrentDevice();
        return device != nullptr && SUCCEEDED(device->SetSamplerState(sampler, type, value));
    }
    return Through(Cache().samplerStates[sampler][type], value, SameDword,
                   [&](IDirect3DDevice9* d) { return d->SetSamplerState(sampler, type, value); });
}

bool SetTextureStageStateCached(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= DWORD(kStages) || DWORD(type) >= DWORD(kStageTypes)) {
        IDirect3DDevice9* device = CurrentDevice();
        return device != nullptr && SUCCEEDED(device->SetTextureStageState(stage, type, value));
    }
    return Through(Cache().stageStates[stage][type], value, SameDword,
                   [&](IDirect3DDevice9* d) { return d->SetTextureStageState(stage, type, value); });
}

bool SetTextureCached(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= DWORD(kCachedTextures)) {
        IDirect3DDevice9* device = CurrentDevice();
        return device != nullptr && SUCCEEDED(device->SetTexture(stage, texture));
    }
    return Through(
        Cache().textures[stage], texture,
        [](IDirect3DBaseTexture9* a, IDirect3DBaseTexture9* b) { return a == b; },
        [&](IDirect3DDevice9* d) { return d->SetTexture(stage, texture); });
}

bool SetTransformCached(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix) {
    auto same = [](const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; };
    if (DWORD(type) >= DWORD(kTransforms)) {
        IDirect3DDevice9* device = CurrentDevice();
        return device != nullptr && SUCCEEDED(device->SetTransform(type, &matrix));
    }
    return Through(Cache().transforms[type], matrix, same,
                   [&](IDirect3DDevice9* d) { return d->SetTransform(type, &matrix); });
}

bool SetMaterialCached(const D3DMATERIAL9& material) {
    auto same = [](const D3DMATERIAL9& a, const D3DMATERIAL9& b) {
        return std::memcmp(&a, &b, sizeof(D3DMATERIAL9)) == 0;
    };
    return Through(Cache().material, material, same,
                   [&](IDirect3DDevice9* d) { return d->SetMaterial(&material); });
}

void ResetStateCache() { Cache() = StateCache(); }

bool SetWorldTransformCached(const D3DMATRIX& matrix) { return SetTransformCached(D3DTS_WORLD, matrix); }
bool SetViewTransformCached(const D3DMATRIX& matrix) { return SetTransformCached(D3DTS_VIEW, matrix); }
bool SetProjectionTransformCached(const D3DMATRIX& matrix) {
    return SetTransformCached(D3DTS_PROJECTION, matrix);
}

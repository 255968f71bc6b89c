// The start-up loading screen.

#include "render/loading_screen.h"

#include "core/clock.h"
#include "platform/d3dx/d3dx_texture.h"
#include "platform/win/resources.h"

#include <algorithm>
#include <cstring>

namespace {

using ScreenVertex = LoadingScreen::Vertex;
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr int kQuadVertices = LoadingScreen::kQuadVertices;

struct ResourceSlot {
    int number;
    const char* type;
};
constexpr ResourceSlot kResources[LoadingScreen::kSlotCount] = {
    {174, "MEMFILE"}, {4, "TGA"}, {176, "TGA"}, {177, "TGA"}, {178, "TGA"}};

// Two clockwise triangles over [x0, x1) x [y0, y1), texels on pixel centres.
void WriteQuad(ScreenVertex* out, float x0, float y0, float x1, float y1, D3DCOLOR color) {
    x0 -= 0.5f, y0 -= 0.5f, x1 -= 0.5f, y1 -= 0.5f;
    const ScreenVertex a{x0, y0, 0.1f, 1.0f, color, 0, 0}, b{x1, y0, 0.1f, 1.0f, color, 1, 0},
        c{x1, y1, 0.1f, 1.0f, color, 1, 1}, d{x0, y1, 0.1f, 1.0f, color, 0, 1};
    const ScreenVertex quad[kQuadVertices] = {a, b, c, a, c, d};
    std::memcpy(out, quad, sizeof(quad));
}

}  // namespace

LoadingScreen::LoadingScreen() = default;

LoadingScreen::~LoadingScreen() {
    if (vertices_) vertices_->Release();
}

void LoadingScreen::SetImageBytes(Slot slot, const void* bytes, std::size_t length) {
    bytes_[slot] = Bytes{bytes, length, true};
}

void LoadingScreen::MakeTextures() {
    texturesMade_ = true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        Bytes& image = bytes_[slot];
        if (!image.given) {
            const HRSRC found = FindResourceA(nullptr, kResources[slot].number, kResources[slot].type);
            const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
            image.data = loaded ? LockResource(loaded) : nullptr;
            image.length = image.data ? SizeofResource(nullptr, found) : 0;
        }
        // The corner slots hold one-pixel placeholders when there is no badge to show.
        if (!image.data || image.length == 0) continue;
        if (slot != kBackground && image.length <= kPlaceholderBytes) continue;
        TextureParameters parameters;
        parameters.mode = texture_mode::kMemory;
        parameters.width = parameters.height = D3DX_DEFAULT;
        parameters.levels = 1;
        auto texture = std::make_unique<TextureResource>();
        if (texture->CreateFromMemory(image.data, image.length, parameters)) textures_[slot] = std::move(texture);
    }
}

bool LoadingScreen::EnsureVertexBuffer(IDirect3DDevice9* device) {
    if (vertices_ && vertexDevice_ == device) return true;
    if (vertices_) vertices_->Release();
    vertices_ = nullptr;
    vertexDevice_ = device;
    const UINT size = UINT(sizeof(ScreenVertex) * kQuadVertices * kSlotCount);
    return SUCCEEDED(device->CreateVertexBuffer(size, D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_MANAGED, &vertices_,
                                                nullptr)) &&
           vertices_;
}

void LoadingScreen::Layout(int width, int height, float fade, Vertex* out) {
    fade = std::clamp(fade, 0.0f, 1.0f);
    const unsigned level = unsigned(fade * 255.0f + 0.5f);
    const D3DCOLOR color = 0xFF000000u | (level << 16) | (level << 8) | level;
    const float w = float(width), h = float(height), bw = float(kBadgeWidth), bh = float(kBadgeHeight);
    const float places[kSlotCount][4] = {{0, 0, w, h},
                                         {w - bw, h - bh, w, h},
                                         {0, 0, bw, bh},
                                         {0, h - bh, bw, h},
                                         {w - bw, 0, w, bh}};
    for (int slot = 0; slot < kSlotCount; ++slot)
        WriteQuad(out + slot * kQuadVertices, places[slot][0], places[slot][1], places[slot][2], places[slot][3],
                  color);
}

bool LoadingScreen::DrawFrame(IDirect3DDevice9* device, int width, int height, float fade) {
    if (!device || width <= 0 || height <= 0) return false;
    if (!texturesMade_) MakeTextures();
    if (!EnsureVertexBuffer(device)) return false;
    void* locked = nullptr;
    if (FAILED(vertices_->Lock(0, 0, &locked, 0)) || !locked) return false;
    Layout(width, height, fade, static_cast<ScreenVertex*>(locked));
    vertices_->Unlock();

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    if (FAILED(device->BeginScene())) return false;
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetFVF(kScreenFvf);
    device->SetStreamSource(0, vertices_, 0, sizeof(ScreenVertex));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        IDirect3DTexture9* texture = textures_[slot] ? textures_[slot]->GetTexture() : nullptr;
        if (!texture) continue;
        device->SetTexture(0, texture);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, UINT(slot * kQuadVertices), 2);
    }
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->EndScene();
    return true;
}

bool LoadingScreen::Show(DeviceWindow& window, float fade) {
    if (!window.CheckDevice()) return false;
    const ClientArea area = window.GetClientArea();
    if (!DrawFrame(CurrentDevice(), area.width, area.height, fade)) return false;
    return window.Present();
}

void LoadingScreen::FadeOut(DeviceWindow& window) {
    // The fade runs its whole time even when a frame cannot be drawn (the device check
    // failed). A clock that stands still (a frozen virtual clock) must not hold start-up
    // forever: the fade also ends after kMaxStillFrames frames in which no time passed.
    constexpr int kMaxStillFrames = 50;
    const Stopwatch watch;
    std::int64_t previous = -1;
    int still = 0;
    for (std::int64_t elapsed = watch.Elapsed(); elapsed >= 0 && elapsed < kFadeOutMs; elapsed = watch.Elapsed()) {
        still = elapsed == previous ? still + 1 : 0;
        if (still >= kMaxStillFrames) break;
        previous = elapsed;
        Show(window, 1.0f - float(elapsed) * 0.005f);
    }
}

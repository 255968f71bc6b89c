// Costs of the Direct3D layer over OpenGL, rendering headless (SDL offscreen, llvmpipe here).

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "platform/win/native_window.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct BenchVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// A device on its own hidden window; ok is false when no GL 3.3 context is available.
struct BenchDevice {
    BenchDevice(int width, int height) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d) return;
        window = SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) return;
        hwnd = RegisterNativeWindow(window);
        D3DPRESENT_PARAMETERS p{};
        p.BackBufferWidth = UINT(width);
        p.BackBufferHeight = UINT(height);
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.hDeviceWindow = hwnd;
        p.Windowed = TRUE;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D24S8;
        p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device)))
            device = nullptr;
    }
    ~BenchDevice() {
        if (device) device->Release();
        if (hwnd) UnregisterNativeWindow(hwnd);
        if (window) SDL_DestroyWindow(window);
        if (d3d) d3d->Release();
    }
    IDirect3D9* d3d = nullptr;
    SDL_Window* window = nullptr;
    HWND hwnd = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// One small draw (a one-pixel triangle pair) with no state change in between.
void BM_DrawPrimitiveUnchangedState(benchmark::State& state) {
    BenchDevice bench(64, 64);
    IDirect3DDevice9* device = bench.device;
    if (!device) return state.SkipWithError("no OpenGL 3.3 context");
    IDirect3DVertexBuffer9* buffer = nullptr;
    device->CreateVertexBuffer(6 * sizeof(BenchVertex), D3DUSAGE_WRITEONLY, kFvf, D3DPOOL_MANAGED, &buffer, nullptr);
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    const BenchVertex v[6] = {{1, 1, 0.5f, 1, ~0u}, {2, 1, 0.5f, 1, ~0u}, {2, 2, 0.5f, 1, ~0u},
                              {1, 1, 0.5f, 1, ~0u}, {2, 2, 0.5f, 1, ~0u}, {1, 2, 0.5f, 1, ~0u}};
    std::memcpy(data, v, sizeof v);
    buffer->Unlock();
    device->SetFVF(kFvf);
    device->SetStreamSource(0, buffer, 0, sizeof(BenchVertex));
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    int sincePresent = 0;
    for (auto _ : state) {
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        if (++sincePresent == 1000) {  // keep the driver's queue bounded
            device->Present(nullptr, nullptr, nullptr, nullptr);
            sincePresent = 0;
        }
    }
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawPrimitiveUnchangedState);

// The particle pattern: 4,000 small quads written into a dynamic buffer locked with DISCARD,
// drawn with one indexed call, presented, every frame.
void BM_DynamicQuadsPerFrame(benchmark::State& state) {
    constexpr int kQuads = 4000, kWidth = 1280, kHeight = 720;
    BenchDevice bench(kWidth, kHeight);
    IDirect3DDevice9* device = bench.device;
    if (!device) return state.SkipWithError("no OpenGL 3.3 context");
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateVertexBuffer(kQuads * 4 * sizeof(BenchVertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFvf,
                               D3DPOOL_DEFAULT, &vb, nullptr);
    device->CreateIndexBuffer(kQuads * 6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    void* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    auto* indices = static_cast<WORD*>(data);
    for (int q = 0; q < kQuads; ++q) {
        const WORD base = WORD(q * 4);
        const WORD quad[6] = {base, WORD(base + 1), WORD(base + 2), base, WORD(base + 2), WORD(base + 3)};
        std::memcpy(indices + q * 6, quad, sizeof quad);
    }
    ib->Unlock();
    device->SetFVF(kFvf);
    device->SetStreamSource(0, vb, 0, sizeof(BenchVertex));
    device->SetIndices(ib);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    std::uint32_t seed = 1;
    auto next = [&seed] { return (seed = seed * 214013u + 2531011u) >> 16 & 0x7FFF; };
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        vb->Lock(0, 0, &data, D3DLOCK_DISCARD);
        auto* v = static_cast<BenchVertex*>(data);
        for (int q = 0; q < kQuads; ++q) {
            const float x = float(next() % kWidth), y = float(next() % kHeight);
            const D3DCOLOR c = D3DCOLOR_ARGB(160, 255, 255, 255);
            v[q * 4 + 0] = {x, y, 0.5f, 1, c};
            v[q * 4 + 1] = {x + 3, y, 0.5f, 1, c};
            v[q * 4 + 2] = {x + 3, y + 3, 0.5f, 1, c};
            v[q * 4 + 3] = {x, y + 3, 0.5f, 1, c};
        }
        vb->Unlock();
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kQuads * 4, 0, kQuads * 2);
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vb->Release();
    ib->Release();
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_DynamicQuadsPerFrame)->Unit(benchmark::kMillisecond);

// A full-screen clear and present at 1280x720; with capture on, plus the frame read-back.
void BM_ClearPresent720p(benchmark::State& state) {
    BenchDevice bench(1280, 720);
    IDirect3DDevice9* device = bench.device;
    if (!device) return state.SkipWithError("no OpenGL 3.3 context");
    SetFrameCapture(device, state.range(0) != 0);
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(90, 100, 120), 1.0f, 0);
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
}
BENCHMARK(BM_ClearPresent720p)->Arg(0)->Arg(1)->ArgName("capture")->Unit(benchmark::kMillisecond);

}  // namespace

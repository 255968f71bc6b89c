// Sampler filters, address modes and mip chains.

#include "scenario_support.h"

namespace {

// 8 x 8 with a distinct colour per texel row and column; each mip level tinted its own colour.
IDirect3DTexture9* MippedTexture(ScenarioRun& run, int levels) {
    return MakeTexture(run, 8, 8, levels, D3DFMT_X8R8G8B8, [](int level, int x, int y) {
        const std::uint32_t tints[4] = {0x000000, 0x00A00000u, 0x0000A000u, 0x000000A0u};
        if (level > 0) return 0xFF000000u | tints[level] | 0x202020u;
        return 0xFF000000u | (std::uint32_t(x) * 32 << 16) | (std::uint32_t(y) * 32 << 8) | (((x ^ y) & 1) ? 0xFFu : 0x00u);
    });
}

void SetFilters(IDirect3DDevice9* device, DWORD mag, DWORD min, DWORD mip) {
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, mag);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, min);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, mip);
}

}  // namespace

FV_SCENARIO(sampler_filters_magnified) {
    IDirect3DTexture9* texture = MippedTexture(run, 1);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    SetFilters(device, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE);
    DrawRhwTexQuad(run, 0, 0, 128, 128, 0, 0, 1, 1);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE);
    DrawRhwTexQuad(run, 128, 0, 256, 128, 0, 0, 1, 1);
    // Magnified by a non-integer factor.
    SetFilters(device, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE);
    DrawRhwTexQuad(run, 0, 128, 100, 256, 0, 0, 1, 1);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE);
    DrawRhwTexQuad(run, 128, 128, 228, 256, 0, 0, 1, 1);
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(sampler_mip_filters) {
    // Minified to 2 x 2 pixels (level 2) and 1 x 1 pixels (level 3) by the quad sizes, under
    // each mip filter; a receding plane covers the range between.
    IDirect3DTexture9* texture = MippedTexture(run, 4);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    const DWORD mips[3] = {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR};
    for (int i = 0; i < 3; ++i) {
        SetFilters(device, D3DTEXF_LINEAR, i == 1 ? D3DTEXF_POINT : D3DTEXF_LINEAR, mips[i]);
        const float x = 8.0f + i * 84.0f;
        DrawRhwTexQuad(run, x, 8, x + 64, 72, 0, 0, 32, 32);   // 8 texels over 2 pixels
        DrawRhwTexQuad(run, x, 80, x + 64, 144, 0, 0, 48, 48);  // between levels 2 and 3
    }
    SetCamera(run);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
    const D3DMATRIX view = LookAtLH({0, 1, 0}, {0, 0.2f, 10}, {0, 1, 0});
    device->SetTransform(D3DTS_VIEW, &view);
    const D3DVIEWPORT9 viewport{0, 150, 256, 106, 0, 1};
    device->SetViewport(&viewport);
    const TexVertex a{-20, 0, 60, 0xFFFFFFFF, 0, 0}, b{20, 0, 60, 0xFFFFFFFF, 40, 0};
    const TexVertex c{20, 0, 1, 0xFFFFFFFF, 40, 60}, d{-20, 0, 1, 0xFFFFFFFF, 0, 60};
    const TexVertex v[6] = {a, b, c, a, c, d};
    device->SetFVF(kTexFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(TexVertex)), "DrawPrimitiveUP");
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(sampler_address_modes) {
    IDirect3DTexture9* texture = MippedTexture(run, 1);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    const DWORD modes[3] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR};
    for (int u = 0; u < 3; ++u)
        for (int v = 0; v < 3; ++v) {
            device->SetSamplerState(0, D3DSAMP_ADDRESSU, modes[u]);
            device->SetSamplerState(0, D3DSAMP_ADDRESSV, modes[v]);
            SetFilters(device, (u + v) & 1 ? D3DTEXF_LINEAR : D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE);
            const float x = 4.0f + u * 84.0f, y = 4.0f + v * 84.0f;
            DrawRhwTexQuad(run, x, y, x + 80, y + 80, -1.25f, -1.25f, 1.75f, 1.75f);
        }
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(sampler_partial_mip_chain) {
    // A texture with two of its four levels, minified so the second level is chosen.
    IDirect3DTexture9* texture = MippedTexture(run, 2);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_POINT);
    DrawRhwTexQuad(run, 16, 16, 112, 112, 0, 0, 24, 24);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
    DrawRhwTexQuad(run, 144, 16, 240, 112, 0, 0, 24, 24);
    DrawRhwTexQuad(run, 16, 144, 240, 240, 0, 0, 14, 6);
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(rhw_perspective_texture) {
    // Pre-transformed vertices with differing RHW: texture coordinates interpolate in
    // perspective.
    IDirect3DTexture9* texture = MippedTexture(run, 1);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    SetFilters(device, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE);
    const RhwTexVertex v[4] = {{39.5f, 19.5f, 0.2f, 1.0f, 0xFFFFFFFF, 0, 0},
                               {215.5f, 19.5f, 0.2f, 1.0f, 0xFFFFFFFF, 4, 0},
                               {-0.5f, 235.5f, 0.8f, 0.25f, 0xFFFFFFFF, 0, 4},
                               {255.5f, 235.5f, 0.8f, 0.25f, 0xFFFFFFFF, 4, 4}};
    device->SetFVF(kRhwTexFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(RhwTexVertex)), "DrawPrimitiveUP");
    device->SetTexture(0, nullptr);
    texture->Release();
}

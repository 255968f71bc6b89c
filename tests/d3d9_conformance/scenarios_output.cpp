// Alpha test, blending, depth, culling and Clear.

#include "scenario_support.h"

namespace {

// A horizontal alpha ramp 0..255 across [x0, x1), drawn as a gouraud quad.
void AlphaRamp(ScenarioRun& run, float x0, float y0, float x1, float y1, D3DCOLOR rgb) {
    const RhwVertex v[4] = {{x0, y0, 0.5f, 1, rgb & 0x00FFFFFF},
                            {x1, y0, 0.5f, 1, rgb | 0xFF000000},
                            {x0, y1, 0.5f, 1, rgb & 0x00FFFFFF},
                            {x1, y1, 0.5f, 1, rgb | 0xFF000000}};
    run.Device()->SetFVF(kRhwFvf);
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(RhwVertex)), "DrawPrimitiveUP");
}

}  // namespace

FV_SCENARIO(alpha_test_functions) {
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    for (DWORD func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func) {
        device->SetRenderState(D3DRS_ALPHAFUNC, func);
        const float y = 4.0f + float(func - 1) * 31.5f;
        AlphaRamp(run, 0, y, 255, y + 28, 0xFFE0C040);  // alpha x at pixel centre x
    }
}

FV_SCENARIO(alpha_test_texture_ref) {
    // Texture alpha against references the engine uses: 0 with GREATER, and a mid value with
    // GREATEREQUAL, on a magnified, filtered texture.
    IDirect3DTexture9* texture = MakeTexture(run, 8, 8, 1, D3DFMT_A8R8G8B8, [](int, int x, int y) {
        return (std::uint32_t((x * 8 + y) * 4) << 24) | 0x00F0F0F0u;
    });
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    DrawRhwTexQuad(run, 0, 0, 128, 256, 0, 0, 1, 1);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_ALPHAREF, 0x66);
    DrawRhwTexQuad(run, 128, 0, 256, 256, 0, 0, 1, 1);
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(blend_factors) {
    // Each pair of blend factors the engine uses, over a two-colour background.
    IDirect3DDevice9* device = run.Device();
    DrawRhwQuad(run, 0, 0, 128, 256, 0xFF4080C0);
    DrawRhwQuad(run, 128, 0, 256, 256, 0xFFE0E0E0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const DWORD pairs[][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}, {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                              {D3DBLEND_ONE, D3DBLEND_ONE},             {D3DBLEND_ONE, D3DBLEND_ZERO},
                              {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},       {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
                              {D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE},    {D3DBLEND_ONE, D3DBLEND_INVSRCCOLOR}};
    for (int i = 0; i < 8; ++i) {
        device->SetRenderState(D3DRS_SRCBLEND, pairs[i][0]);
        device->SetRenderState(D3DRS_DESTBLEND, pairs[i][1]);
        const float y = 4.0f + i * 31.5f;
        AlphaRamp(run, 16, y, 240, y + 26, 0xFFF08020);
    }
}

FV_SCENARIO(depth_functions) {
    // A reference plane at z 0.5, then quads at 0.25, 0.5 and 0.75 under each function.
    IDirect3DDevice9* device = run.Device();
    DrawRhwQuad(run, 0, 0, 256, 256, 0xFF404040, 0.5f);
    for (DWORD func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func) {
        device->SetRenderState(D3DRS_ZFUNC, func);
        const float y = 4.0f + float(func - 1) * 31.5f;
        DrawRhwQuad(run, 8, y, 80, y + 26, 0xFFFF4040, 0.25f);
        DrawRhwQuad(run, 92, y, 164, y + 26, 0xFF40FF40, 0.5f);
        DrawRhwQuad(run, 176, y, 248, y + 26, 0xFF4040FF, 0.75f);
    }
}

FV_SCENARIO(depth_write_off_and_disabled) {
    IDirect3DDevice9* device = run.Device();
    // Written without depth writes: a later farther quad still covers it.
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawRhwQuad(run, 16, 16, 144, 144, 0xFFFF0000, 0.2f);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    DrawRhwQuad(run, 80, 80, 208, 208, 0xFF00FF00, 0.6f);
    // Depth test off: drawn whatever the depth, and writes nothing.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawRhwQuad(run, 112, 112, 240, 240, 0xFF0000FF, 0.9f);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    DrawRhwQuad(run, 40, 176, 250, 250, 0xFFFFFF00, 0.7f);
}

FV_SCENARIO(cull_modes) {
    // A clockwise and a counter-clockwise triangle under each cull mode.
    IDirect3DDevice9* device = run.Device();
    const DWORD modes[3] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    for (int i = 0; i < 3; ++i) {
        device->SetRenderState(D3DRS_CULLMODE, modes[i]);
        const float y = 8.0f + i * 82.0f;
        const RhwVertex cw[3] = {{16, y, 0.5f, 1, 0xFFFF8040}, {112, y, 0.5f, 1, 0xFFFF8040}, {16, y + 72, 0.5f, 1, 0xFFFF8040}};
        const RhwVertex ccw[3] = {{144, y, 0.5f, 1, 0xFF40A0FF}, {144, y + 72, 0.5f, 1, 0xFF40A0FF}, {240, y, 0.5f, 1, 0xFF40A0FF}};
        device->SetFVF(kRhwFvf);
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, sizeof(RhwVertex)), "DrawPrimitiveUP");
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, sizeof(RhwVertex)), "DrawPrimitiveUP");
    }
}

FV_SCENARIO(clear_rects) {
    IDirect3DDevice9* device = run.Device();
    run.Ok(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(30, 60, 90), 1.0f, 0), "Clear");
    const D3DRECT rects[3] = {{10, 10, 100, 60}, {50, 40, 200, 120}, {230, 200, 300, 300}};
    run.Ok(device->Clear(3, rects, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 180, 40), 1.0f, 0), "Clear");
    // Depth cleared to 0.3 in one rectangle only: a quad at 0.5 shows everywhere else.
    const D3DRECT depthRect = {20, 140, 140, 240};
    run.Ok(device->Clear(1, &depthRect, D3DCLEAR_ZBUFFER, 0, 0.3f, 0), "Clear");
    DrawRhwQuad(run, 0, 130, 256, 250, 0xFF60D060, 0.5f);
    // A viewport limits a clear without rectangles.
    const D3DVIEWPORT9 viewport{180, 20, 60, 90, 0, 1};
    device->SetViewport(&viewport);
    run.Ok(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(220, 80, 200), 1.0f, 0), "Clear");
}

FV_SCENARIO(depth_viewport_range) {
    // The viewport's MinZ/MaxZ map depth: a far quad squeezed into 0..0.25 wins over a near
    // one mapped into 0.5..1.
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DVIEWPORT9 viewport{0, 0, 256, 256, 0.5f, 1.0f};
    device->SetViewport(&viewport);
    const ColorVertex front[6] = {{-2, 2, 4, 0xFFFF4040}, {1, 2, 4, 0xFFFF4040}, {1, -1, 4, 0xFFFF4040},
                                 {-2, 2, 4, 0xFFFF4040}, {1, -1, 4, 0xFFFF4040}, {-2, -1, 4, 0xFFFF4040}};
    device->SetFVF(kColorFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, front, sizeof(ColorVertex)), "DrawPrimitiveUP");
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 0.25f;
    device->SetViewport(&viewport);
    ColorVertex back[6];
    for (int i = 0; i < 6; ++i) back[i] = {front[i].x * 2 + 2, front[i].y * 2 - 2, 8, 0xFF40A0FF};
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, back, sizeof(ColorVertex)), "DrawPrimitiveUP");
}

FV_SCENARIO(cull_strips_and_fans) {
    // Strips alternate their triangles' winding; culling must follow the first triangle's.
    IDirect3DDevice9* device = run.Device();
    const DWORD modes[3] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    device->SetFVF(kRhwFvf);
    for (int i = 0; i < 3; ++i) {
        device->SetRenderState(D3DRS_CULLMODE, modes[i]);
        const float y = 8.0f + i * 82.0f;
        RhwVertex strip[6];
        for (int k = 0; k < 6; ++k)
            strip[k] = {8.0f + k * 22, (k & 1) ? y + 70 : y, 0.5f, 1, D3DCOLOR_XRGB(255, 60 + k * 30, 40)};
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 4, strip, sizeof(RhwVertex)), "DrawPrimitiveUP");
        const RhwVertex fan[5] = {{200, y + 35, 0.5f, 1, 0xFF40FF80}, {200, y, 0.5f, 1, 0xFF40FF80},
                                  {245, y + 35, 0.5f, 1, 0xFF40FF80}, {200, y + 70, 0.5f, 1, 0xFF40FF80},
                                  {155, y + 35, 0.5f, 1, 0xFF40FF80}};
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 3, fan, sizeof(RhwVertex)), "DrawPrimitiveUP");
    }
}

// Transforms, the viewport mapping, pre-transformed vertices and their pixel centres.

#include "scenario_support.h"

namespace {

// A cube of coloured faces, turned so three faces show.
void DrawCube(ScenarioRun& run) {
    const D3DCOLOR colors[6] = {0xFFE04030, 0xFF30C040, 0xFF3050E0, 0xFFE0D030, 0xFF30D0D0, 0xFFD030D0};
    const float s = 1.0f;
    // Each face as four corners, clockwise seen from outside.
    const float faces[6][4][3] = {
        {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}}, {{s, s, s}, {-s, s, s}, {-s, -s, s}, {s, -s, s}},
        {{-s, s, s}, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}}, {{s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}},
        {{-s, s, s}, {s, s, s}, {s, s, -s}, {-s, s, -s}},     {{-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}},
    };
    ColorVertex v[36];
    for (int f = 0; f < 6; ++f) {
        const int order[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i) {
            const float* p = faces[f][order[i]];
            v[f * 6 + i] = {p[0], p[1], p[2], colors[f]};
        }
    }
    run.Ok(run.Device()->SetFVF(kColorFvf), "SetFVF");
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 12, v, sizeof(ColorVertex)), "DrawPrimitiveUP");
}

}  // namespace

FV_SCENARIO(transform_world_view_projection) {
    IDirect3DDevice9* device = run.Device();
    const D3DMATRIX world = Multiply(RotationY(0.6f), RotationX(0.4f));
    const D3DMATRIX view = LookAtLH({1.5f, 2.0f, -5.0f}, {0, 0, 0}, {0, 1, 0});
    const D3DMATRIX projection = PerspectiveFovLH(0.9f, 1.0f, 1.0f, 50.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    DrawCube(run);
}

FV_SCENARIO(transform_viewport_subrect) {
    IDirect3DDevice9* device = run.Device();
    SetCamera(run);
    const D3DMATRIX world = Multiply(RotationY(0.5f), Translation(0, 0, 4.0f));
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // A viewport in the lower right with a depth range of its own.
    const D3DVIEWPORT9 viewport{96, 64, 140, 180, 0.25f, 0.75f};
    run.Ok(device->SetViewport(&viewport), "SetViewport");
    DrawCube(run);
    // Pre-transformed vertices are in window coordinates whatever the viewport.
    DrawRhwQuad(run, 110, 80, 140, 110, 0xFFFFFFFF);
}

FV_SCENARIO(rhw_pixel_centres) {
    // Quads on exact integer edges, half-pixel edges and single-pixel strips.
    for (int i = 0; i < 8; ++i) {
        const float x = 8.0f + i * 30.0f;
        DrawRhwQuad(run, x, 8, x + 1, 120, 0xFFFFFFFF);
        DrawRhwQuad(run, x + 4, 8, x + 4.5f, 120, 0xFFFF0000);
        DrawRhwQuad(run, x + 8, 8.5f, x + 20.5f, 20.5f, 0xFF00FF00);
        DrawRhwQuad(run, x + 8 + i * 0.125f, 30, x + 20 + i * 0.125f, 42, 0xFF0000FF);
    }
    // Gouraud shading across a screen-aligned quad: the colour at pixel centres.
    const RhwVertex v[4] = {{0, 136, 0.5f, 1, 0xFFFF0000},
                            {256, 136, 0.5f, 1, 0xFF00FF00},
                            {0, 256, 0.5f, 1, 0xFF0000FF},
                            {256, 256, 0.5f, 1, 0xFFFFFFFF}};
    run.Device()->SetFVF(kRhwFvf);
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(RhwVertex)), "DrawPrimitiveUP");
}

FV_SCENARIO(rhw_texel_mapping) {
    // A 4 x 4 checker stretched over 64 x 64 pixels with point sampling: texel edges fall
    // between pixel centres only when pixel centres are on integers.
    IDirect3DTexture9* texture = MakeTexture(run, 4, 4, 1, D3DFMT_A8R8G8B8, [](int, int x, int y) {
        return ((x + y) & 1) ? 0xFFFFFFFFu : 0xFF202080u;
    });
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    DrawRhwTexQuad(run, 0, 0, 64, 64, 0, 0, 1, 1);
    DrawRhwTexQuad(run, 80, 0, 144, 64, 0, 0, 1, 1);
    // One texel per pixel.
    DrawRhwTexQuad(run, 160, 0, 164, 4, 0, 0, 1, 1);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    DrawRhwTexQuad(run, 0, 96, 128, 224, 0, 0, 1, 1);
    DrawRhwTexQuad(run, 144, 96, 240, 192, 0.125f, 0.125f, 0.875f, 0.875f);
    device->SetTexture(0, nullptr);
    texture->Release();
}

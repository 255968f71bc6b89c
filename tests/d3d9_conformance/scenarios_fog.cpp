// Linear vertex fog, with range fog on and off, on pre-transformed vertices and under
// additive blending.

#include "scenario_support.h"

namespace {

// A floor receding from the camera, coloured in bands, with fog from 3 to 30.
void FoggedFloor(ScenarioRun& run, bool rangeFog) {
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    const D3DMATRIX view = LookAtLH({0, 1.5f, 0}, {0, 0.5f, 10}, {0, 1, 0});
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(100, 130, 200));
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(3.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(30.0f));
    device->SetRenderState(D3DRS_RANGEFOGENABLE, rangeFog ? TRUE : FALSE);
    std::vector<ColorVertex> v;
    for (int row = 0; row < 20; ++row)
        for (int col = -6; col < 6; ++col) {
            const float x0 = col * 3.0f, x1 = x0 + 3.0f, z0 = row * 2.0f, z1 = z0 + 2.0f;
            const D3DCOLOR c = ((row + col) & 1) ? 0xFFF0E0D0 : 0xFF305030;
            const ColorVertex a{x0, 0, z1, c}, b{x1, 0, z1, c}, d{x1, 0, z0, c}, e{x0, 0, z0, c};
            v.insert(v.end(), {a, b, d, a, d, e});
        }
    device->SetFVF(kColorFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(v.size() / 3), v.data(), sizeof(ColorVertex)),
           "DrawPrimitiveUP");
}

}  // namespace

FV_SCENARIO(fog_linear) { FoggedFloor(run, false); }

FV_SCENARIO(fog_linear_range) { FoggedFloor(run, true); }

FV_SCENARIO(fog_pretransformed_specular_alpha) {
    // Pre-transformed vertices take their fog factor from the specular alpha.
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(200, 60, 60));
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
    struct V {
        float x, y, z, rhw;
        D3DCOLOR diffuse, specular;
    };
    const V v[4] = {{16, 16, 0.5f, 1, 0xFF20FF20, 0xFF000000},
                    {240, 16, 0.5f, 1, 0xFF20FF20, 0x00000000},
                    {16, 112, 0.5f, 1, 0xFF2020FF, 0x80000000},
                    {240, 112, 0.5f, 1, 0xFF2020FF, 0x40000000}};
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(V)), "DrawPrimitiveUP");
    // Without a specular colour the factor is 1: no fog.
    DrawRhwQuad(run, 16, 144, 240, 240, 0xFF20FF20);
}

FV_SCENARIO(fog_additive_blend) {
    // Additive particles in fog add the fog colour where they are far.
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(40, 40, 90));
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(2.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(20.0f));
    std::vector<ColorVertex> v;
    for (int i = 0; i < 8; ++i) {
        const float z = 2.5f + i * 2.5f, s = 0.12f * z, x = -0.45f * z + i * 0.12f * z;
        const D3DCOLOR c = D3DCOLOR_ARGB(200, 255, 220, 120);
        const ColorVertex a{x, s, z, c}, b{x + s, s, z, c}, d{x + s, -s, z, c}, e{x, -s, z, c};
        v.insert(v.end(), {a, b, d, a, d, e});
    }
    device->SetFVF(kColorFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(v.size() / 3), v.data(), sizeof(ColorVertex)),
           "DrawPrimitiveUP");
}

FV_SCENARIO(fog_start_equals_end) {
    // A degenerate fog range: nearer than the end is clear, beyond it fogged, no NaN anywhere.
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(90, 90, 90));
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(6.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(6.0f));
    const float depths[2] = {4.0f, 8.0f};
    for (int i = 0; i < 2; ++i) {
        const float z = depths[i], s = 0.4f * z, x = i ? 0.05f * z : -0.45f * z;
        const D3DCOLOR c = 0xFFE08040;
        const ColorVertex v[6] = {{x, s, z, c}, {x + s, s, z, c}, {x + s, -s, z, c},
                                  {x, s, z, c}, {x + s, -s, z, c}, {x, -s, z, c}};
        device->SetFVF(kColorFvf);
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColorVertex)), "DrawPrimitiveUP");
    }
}

FV_SCENARIO(fog_lit_specular) {
    // Fog applies after the specular add: a lit, specular grid receding into fog.
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    D3DMATERIAL9 material = Material({0.6f, 0.3f, 0.3f, 1}, {0.2f, 0.2f, 0.2f, 1});
    material.Specular = {1, 1, 1, 1};
    material.Power = 8;
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    D3DLIGHT9 light = DirectionalLight({0.8f, 0.8f, 0.8f, 1}, {0, -0.3f, 1});
    light.Specular = {1, 1, 1, 1};
    light.Ambient = {0.3f, 0.3f, 0.3f, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(30, 40, 80));
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(4.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(14.0f));
    const D3DMATRIX world = Multiply(RotationY(0.9f), Translation(0, 0, 8));
    device->SetTransform(D3DTS_WORLD, &world);
    DrawNormalGrid(run, 6.0f, 0, 24);
}

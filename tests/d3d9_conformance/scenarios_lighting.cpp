// Vertex lighting: light types, attenuation, range, spot cones, several lights, material
// sources, ambient and specular.

#include "scenario_support.h"

namespace {

constexpr float kDepth = 5.0f;  // the lit grid spans the view at this depth

void LitSetup(ScenarioRun& run, const D3DMATERIAL9& material) {
    SetCamera(run);
    run.Device()->SetRenderState(D3DRS_LIGHTING, TRUE);
    run.Ok(run.Device()->SetMaterial(&material), "SetMaterial");
}

void Light(ScenarioRun& run, DWORD index, const D3DLIGHT9& light) {
    run.Ok(run.Device()->SetLight(index, &light), "SetLight");
    run.Ok(run.Device()->LightEnable(index, TRUE), "LightEnable");
}

D3DLIGHT9 SpotLight(D3DVECTOR position, D3DVECTOR direction, float theta, float phi, float falloff) {
    D3DLIGHT9 light = PointLight({1, 1, 1, 1}, position, 20, 1, 0, 0);
    light.Type = D3DLIGHT_SPOT;
    light.Direction = direction;
    light.Theta = theta;
    light.Phi = phi;
    light.Falloff = falloff;
    return light;
}

}  // namespace

FV_SCENARIO(light_directional) {
    LitSetup(run, Material({0.9f, 0.7f, 0.5f, 1}, {0, 0, 0, 0}));
    Light(run, 0, DirectionalLight({1, 1, 1, 1}, {0.5f, -0.3f, 1.0f}));
    DrawNormalGrid(run, 3.2f, kDepth, 4);
    // A tilted grid so N.L varies across it.
    const D3DMATRIX world = Multiply(RotationY(0.8f), Translation(1.2f, 0, 4.0f));
    run.Device()->SetTransform(D3DTS_WORLD, &world);
    DrawNormalGrid(run, 1.0f, 0, 4);
}

FV_SCENARIO(light_point_attenuation) {
    LitSetup(run, Material({1, 1, 1, 1}, {1, 1, 1, 1}));
    D3DLIGHT9 light = PointLight({1, 0.8f, 0.6f, 1}, {-1.2f, 0.8f, 3.5f}, 100, 0.2f, 0.3f, 0.1f);
    light.Ambient = {0.1f, 0.1f, 0.2f, 1};
    Light(run, 0, light);
    DrawNormalGrid(run, 3.2f, kDepth, 32);
}

FV_SCENARIO(light_point_range) {
    // Outside the range a light adds nothing, its ambient included.
    LitSetup(run, Material({1, 1, 1, 1}, {1, 1, 1, 1}));
    D3DLIGHT9 light = PointLight({0.2f, 0.9f, 0.4f, 1}, {0.5f, -0.5f, 3.0f}, 2.8f, 1, 0, 0);
    light.Ambient = {0.3f, 0.1f, 0.1f, 1};
    Light(run, 0, light);
    DrawNormalGrid(run, 3.2f, kDepth, 32);
}

FV_SCENARIO(light_spot_falloff) {
    LitSetup(run, Material({1, 1, 1, 1}, {0, 0, 0, 0}));
    Light(run, 0, SpotLight({-1.5f, 0, 1}, {0, 0, 1}, 0.3f, 0.8f, 1.0f));
    Light(run, 1, SpotLight({1.5f, 0, 1}, {0, 0, 1}, 0.2f, 1.0f, 4.0f));
    DrawNormalGrid(run, 3.2f, kDepth, 48);
}

FV_SCENARIO(light_several_lights) {
    LitSetup(run, Material({0.8f, 0.8f, 0.8f, 1}, {1, 1, 1, 1}));
    run.Device()->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(20, 20, 40));
    Light(run, 0, DirectionalLight({0.3f, 0.1f, 0.1f, 1}, {0, 0, 1}));
    Light(run, 1, PointLight({0, 0.7f, 0, 1}, {-1.5f, 1.5f, 4}, 10, 0, 1, 0));
    Light(run, 2, PointLight({0, 0, 0.9f, 1}, {1.5f, -1.5f, 4}, 10, 0, 0, 1));
    Light(run, 3, SpotLight({0, 0, 0}, {0.1f, 0.1f, 1}, 0.2f, 0.4f, 1.0f));
    Light(run, 4, PointLight({0.4f, 0.4f, 0, 1}, {1.5f, 1.5f, 4.5f}, 1.0f, 1, 0, 0));
    DrawNormalGrid(run, 3.2f, kDepth, 32);
}

FV_SCENARIO(light_material_sources) {
    // Vertex colours as diffuse, ambient and emissive sources, with COLORVERTEX on and off.
    LitSetup(run, Material({0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.2f, 0.2f, 1}));
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(128, 128, 128));
    Light(run, 0, DirectionalLight({0.7f, 0.7f, 0.7f, 1}, {0.3f, 0.2f, 1}));
    struct Row {
        DWORD colorVertex, diffuseSource, ambientSource, emissiveSource;
    };
    const Row rows[4] = {{TRUE, D3DMCS_COLOR1, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
                         {FALSE, D3DMCS_COLOR1, D3DMCS_MATERIAL, D3DMCS_MATERIAL},
                         {TRUE, D3DMCS_MATERIAL, D3DMCS_COLOR1, D3DMCS_MATERIAL},
                         {TRUE, D3DMCS_MATERIAL, D3DMCS_MATERIAL, D3DMCS_COLOR2}};
    for (int r = 0; r < 4; ++r) {
        device->SetRenderState(D3DRS_COLORVERTEX, rows[r].colorVertex);
        device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, rows[r].diffuseSource);
        device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, rows[r].ambientSource);
        device->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, rows[r].emissiveSource);
        const float y1 = 2.8f - r * 1.45f, y0 = y1 - 1.2f;
        const D3DCOLOR d = 0xFFE02020, s = 0xFF103060;
        const NormalColorVertex tl{-2.8f, y1, kDepth, 0, 0, -1, d, s}, tr{2.8f, y1, kDepth, 0, 0, -1, 0xFF20E020, s};
        const NormalColorVertex br{2.8f, y0, kDepth, 0, 0, -1, 0xFF2020E0, s}, bl{-2.8f, y0, kDepth, 0, 0, -1, d, s};
        const NormalColorVertex v[6] = {tl, tr, br, tl, br, bl};
        device->SetFVF(kNormalColorFvf);
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(NormalColorVertex)), "DrawPrimitiveUP");
    }
}

FV_SCENARIO(light_specular) {
    // Left half without specular, right half with it, local viewer on the top, off below.
    D3DMATERIAL9 material = Material({0.4f, 0.4f, 0.6f, 1}, {0, 0, 0, 0});
    material.Specular = {1, 1, 1, 1};
    material.Power = 12;
    LitSetup(run, material);
    IDirect3DDevice9* device = run.Device();
    D3DLIGHT9 light = PointLight({0.8f, 0.8f, 0.8f, 1}, {0, 0, 3.5f}, 50, 1, 0, 0);
    light.Specular = {1, 0.9f, 0.6f, 1};
    Light(run, 0, light);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        device->SetRenderState(D3DRS_SPECULARENABLE, quadrant & 1);
        device->SetRenderState(D3DRS_LOCALVIEWER, quadrant < 2);
        const float cx = (quadrant & 1) ? 1.5f : -1.5f, cy = quadrant < 2 ? 1.5f : -1.5f;
        const D3DMATRIX world = Translation(cx, cy, 0);
        device->SetTransform(D3DTS_WORLD, &world);
        DrawNormalGrid(run, 1.4f, kDepth, 24);
    }
}

FV_SCENARIO(light_scaled_world_normals) {
    // A world matrix that scales: normals are transformed but not renormalised unless
    // NORMALIZENORMALS is on (right half).
    LitSetup(run, Material({0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 0}));
    IDirect3DDevice9* device = run.Device();
    Light(run, 0, DirectionalLight({1, 1, 1, 1}, {0.2f, -0.2f, 1}));
    for (int half = 0; half < 2; ++half) {
        device->SetRenderState(D3DRS_NORMALIZENORMALS, half);
        for (int row = 0; row < 3; ++row) {
            const float scale = row == 0 ? 0.5f : row == 1 ? 1.0f : 1.6f;
            const D3DMATRIX world =
                Multiply(Scaling(scale, scale, scale), Translation(half ? 1.4f : -1.4f, 1.8f - row * 1.8f, kDepth));
            device->SetTransform(D3DTS_WORLD, &world);
            DrawNormalGrid(run, 0.8f / scale, 0, 4);
        }
    }
}

FV_SCENARIO(light_vertex_defaults) {
    // Missing vertex components: no diffuse with lighting off reads white; lit without normals
    // gives ambient and emissive only.
    SetCamera(run);
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DVECTOR quad[6] = {{-2.5f, 2.5f, 5}, {-0.2f, 2.5f, 5}, {-0.2f, -2.5f, 5}, {-2.5f, 2.5f, 5}, {-0.2f, -2.5f, 5}, {-2.5f, -2.5f, 5}};
    device->SetFVF(D3DFVF_XYZ);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(D3DVECTOR)), "DrawPrimitiveUP");
    D3DMATERIAL9 material = Material({1, 1, 1, 1}, {0.5f, 0.25f, 0.75f, 1});
    material.Emissive = {0.1f, 0.3f, 0.1f, 1};
    LitSetup(run, material);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(160, 160, 160));
    Light(run, 0, DirectionalLight({1, 1, 1, 1}, {0, 0, 1}));
    const D3DMATRIX world = Translation(2.7f, 0, 0);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetFVF(D3DFVF_XYZ);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(D3DVECTOR)), "DrawPrimitiveUP");
}

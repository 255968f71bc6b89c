// Texture stage operations and arguments as the engine sets them.

#include "scenario_support.h"

namespace {

// A 16 x 16 texture: colour gradient, alpha in vertical bands.
IDirect3DTexture9* GradientTexture(ScenarioRun& run) {
    return MakeTexture(run, 16, 16, 1, D3DFMT_A8R8G8B8, [](int, int x, int y) {
        const std::uint32_t a = std::uint32_t(x / 4) * 85, r = std::uint32_t(x) * 16 + 8, g = std::uint32_t(y) * 16 + 8;
        return (a << 24) | (r << 16) | (g << 8) | 0x60u;
    });
}

// Linear filtering: the rows' heights map texel edges onto pixel centres, where point sampling
// would be a rounding tie.
void SmoothSampling(IDirect3DDevice9* device) {
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
}

struct StageRow {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

// One band per row, each a textured quad over a blue-to-white background with alpha blending
// on, so both colour and alpha results show.
void DrawStageRows(ScenarioRun& run, const StageRow* rows, int count) {
    IDirect3DTexture9* texture = GradientTexture(run);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    const RhwVertex background[4] = {{0, 0, 0.5f, 1, 0xFF2040A0},
                                     {256, 0, 0.5f, 1, 0xFFFFFFFF},
                                     {0, 256, 0.5f, 1, 0xFF2040A0},
                                     {256, 256, 0.5f, 1, 0xFFFFFFFF}};
    device->SetFVF(kRhwFvf);
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, background, sizeof(RhwVertex)), "DrawPrimitiveUP");
    device->SetTexture(0, texture);
    SmoothSampling(device);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(0x90, 0xF0, 0x80, 0x30));
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const float height = 256.0f / float(count);
    for (int i = 0; i < count; ++i) {
        const StageRow& r = rows[i];
        device->SetTextureStageState(0, D3DTSS_COLOROP, r.colorOp);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, r.colorArg1);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, r.colorArg2);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, r.alphaOp);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, r.alphaArg1);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, r.alphaArg2);
        DrawRhwTexQuad(run, 8, i * height + 2, 248, (i + 1) * height - 2, 0, 0, 1, 1, D3DCOLOR_ARGB(0xC0, 0x80, 0xFF, 0xA0));
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

}  // namespace

FV_SCENARIO(stage_color_ops) {
    const StageRow rows[] = {
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT},
        {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
    };
    DrawStageRows(run, rows, 8);
}

FV_SCENARIO(stage_alpha_ops) {
    const StageRow rows[] = {
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
        {D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TFACTOR, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TFACTOR},
    };
    DrawStageRows(run, rows, 6);
}

FV_SCENARIO(stage_two_stages) {
    // Stage 1 modulates stage 0's result with the texture factor; stage 2 is disabled.
    IDirect3DTexture9* texture = GradientTexture(run);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    SmoothSampling(device);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(0xFF, 0x40, 0xC0, 0xFF));
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    DrawRhwTexQuad(run, 16, 16, 240, 120, 0, 0, 1, 1, 0xFFFFC080);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    DrawRhwTexQuad(run, 16, 136, 240, 240, 0, 0, 1, 1, 0xFFFFC080);
    device->SetTexture(0, nullptr);
    texture->Release();
}

FV_SCENARIO(stage_no_texture_bound) {
    // The default stage 0 with no texture: diffuse colour and alpha.
    IDirect3DDevice9* device = run.Device();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawRhwQuad(run, 0, 0, 256, 256, 0xFF3060FF);
    DrawRhwQuad(run, 32, 32, 224, 224, D3DCOLOR_ARGB(0x80, 0xFF, 0xE0, 0x20));
}

FV_SCENARIO(stage_specular_add) {
    // The vertex specular colour is added after the stages when SPECULARENABLE is on, also
    // without lighting; its alpha is not.
    IDirect3DTexture9* texture = GradientTexture(run);
    if (!texture) return;
    IDirect3DDevice9* device = run.Device();
    device->SetTexture(0, texture);
    SmoothSampling(device);
    struct V {
        float x, y, z, rhw;
        D3DCOLOR diffuse, specular;
        float u, v;
    };
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    for (int row = 0; row < 2; ++row) {
        device->SetRenderState(D3DRS_SPECULARENABLE, row);
        const float y0 = 16 + row * 120.0f, y1 = y0 + 104;
        const V v[4] = {{15.5f, y0, 0.5f, 1, 0xFFC0C0C0, 0x00000000, 0, 0},
                        {239.5f, y0, 0.5f, 1, 0xFFC0C0C0, 0x00FF4000, 1, 0},
                        {15.5f, y1, 0.5f, 1, 0xFFC0C0C0, 0x000040FF, 0, 1},
                        {239.5f, y1, 0.5f, 1, 0xFFC0C0C0, 0x00808080, 1, 1}};
        run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(V)), "DrawPrimitiveUP");
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

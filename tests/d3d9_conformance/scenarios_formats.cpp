// Every texture format the loader makes, and colour-keyed textures as the loader leaves them
// (keyed texels transparent black).

#include "scenario_support.h"

namespace {

// 16 x 16 texels: hue ramps across, alpha ramps down, with texel values that exercise the low
// bits of each format.
std::uint32_t FormatTexel(int, int x, int y) {
    const std::uint32_t a = std::uint32_t(y) * 17, r = std::uint32_t(x) * 17, g = 255 - std::uint32_t(x) * 17;
    const std::uint32_t b = std::uint32_t((x * 7 + y * 13) & 15) * 17;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The texture drawn point-sampled and linearly filtered, blended by its alpha over a grey
// checker, and once more opaque (alpha ignored).
void DrawFormat(ScenarioRun& run, D3DFORMAT format) {
    IDirect3DDevice9* device = run.Device();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            DrawRhwQuad(run, x * 32.0f, y * 32.0f, x * 32.0f + 32, y * 32.0f + 32, ((x + y) & 1) ? 0xFF909090 : 0xFF505050);
    IDirect3DTexture9* texture = MakeTexture(run, 16, 16, 1, format, FormatTexel);
    if (!texture) return;
    device->SetTexture(0, texture);
    DrawRhwTexQuad(run, 0, 0, 128, 128, 0, 0, 1, 1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawRhwTexQuad(run, 128, 0, 256, 128, 0, 0, 1, 1);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    DrawRhwTexQuad(run, 0, 128, 256, 256, 0, 0, 1, 1);
    device->SetTexture(0, nullptr);
    texture->Release();
}

}  // namespace

FV_SCENARIO(format_a8r8g8b8) { DrawFormat(run, D3DFMT_A8R8G8B8); }
FV_SCENARIO(format_x8r8g8b8) { DrawFormat(run, D3DFMT_X8R8G8B8); }
FV_SCENARIO(format_a8b8g8r8) { DrawFormat(run, D3DFMT_A8B8G8R8); }
FV_SCENARIO(format_r8g8b8) { DrawFormat(run, D3DFMT_R8G8B8); }
FV_SCENARIO(format_r5g6b5) { DrawFormat(run, D3DFMT_R5G6B5); }
FV_SCENARIO(format_x1r5g5b5) { DrawFormat(run, D3DFMT_X1R5G5B5); }
FV_SCENARIO(format_a1r5g5b5) { DrawFormat(run, D3DFMT_A1R5G5B5); }
FV_SCENARIO(format_a4r4g4b4) { DrawFormat(run, D3DFMT_A4R4G4B4); }
FV_SCENARIO(format_x4r4g4b4) { DrawFormat(run, D3DFMT_X4R4G4B4); }
FV_SCENARIO(format_a8) { DrawFormat(run, D3DFMT_A8); }
FV_SCENARIO(format_l8) { DrawFormat(run, D3DFMT_L8); }
FV_SCENARIO(format_a8l8) { DrawFormat(run, D3DFMT_A8L8); }

FV_SCENARIO(texture_color_key) {
    // A sprite whose key colour became transparent black: alpha-tested (GREATER 0) and
    // alpha-blended, point-sampled and linearly filtered, in 32-bit and 16-bit forms.
    IDirect3DDevice9* device = run.Device();
    DrawRhwQuad(run, 0, 0, 256, 256, 0xFF6080B0);
    auto keyed = [](int, int x, int y) {
        const int dx = x - 4, dy = y - 4;
        return dx * dx + dy * dy <= 9 ? 0xFFF0D020u : 0x00000000u;
    };
    IDirect3DTexture9* wide = MakeTexture(run, 8, 8, 1, D3DFMT_A8R8G8B8, keyed);
    IDirect3DTexture9* narrow = MakeTexture(run, 8, 8, 1, D3DFMT_A1R5G5B5, keyed);
    if (!wide || !narrow) {
        if (wide) wide->Release();
        return;
    }
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    IDirect3DTexture9* textures[2] = {wide, narrow};
    for (int t = 0; t < 2; ++t) {
        device->SetTexture(0, textures[t]);
        const float y = t * 128.0f;
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        DrawRhwTexQuad(run, 0, y, 128, y + 128, 0, 0, 1, 1);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        DrawRhwTexQuad(run, 128, y, 256, y + 128, 0, 0, 1, 1);
    }
    device->SetTexture(0, nullptr);
    wide->Release();
    narrow->Release();
}

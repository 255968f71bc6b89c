#include "scenario_support.h"

#include <cmath>
#include <cstring>

D3DMATRIX Identity() { return Scaling(1, 1, 1); }

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[r][k] * b.m[k][c];
            out.m[r][c] = sum;
        }
    return out;
}

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX out = Identity();
    out._41 = x;
    out._42 = y;
    out._43 = z;
    return out;
}

D3DMATRIX Scaling(float x, float y, float z) {
    D3DMATRIX out{};
    out._11 = x;
    out._22 = y;
    out._33 = z;
    out._44 = 1;
    return out;
}

D3DMATRIX RotationY(float radians) {
    D3DMATRIX out = Identity();
    const float c = std::cos(radians), s = std::sin(radians);
    out._11 = c;
    out._13 = -s;
    out._31 = s;
    out._33 = c;
    return out;
}

D3DMATRIX RotationX(float radians) {
    D3DMATRIX out = Identity();
    const float c = std::cos(radians), s = std::sin(radians);
    out._22 = c;
    out._23 = s;
    out._32 = -s;
    out._33 = c;
    return out;
}

D3DMATRIX PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    D3DMATRIX out{};
    const float ys = 1.0f / std::tan(fovY / 2), xs = ys / aspect;
    out._11 = xs;
    out._22 = ys;
    out._33 = zFar / (zFar - zNear);
    out._34 = 1;
    out._43 = -zNear * zFar / (zFar - zNear);
    return out;
}

namespace {

D3DVECTOR Normalize(D3DVECTOR v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

D3DVECTOR Cross(D3DVECTOR a, D3DVECTOR b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(D3DVECTOR a, D3DVECTOR b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

D3DMATRIX LookAtLH(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up) {
    const D3DVECTOR z = Normalize({at.x - eye.x, at.y - eye.y, at.z - eye.z});
    const D3DVECTOR x = Normalize(Cross(up, z));
    const D3DVECTOR y = Cross(z, x);
    D3DMATRIX out = Identity();
    out._11 = x.x, out._12 = y.x, out._13 = z.x;
    out._21 = x.y, out._22 = y.y, out._23 = z.y;
    out._31 = x.z, out._32 = y.z, out._33 = z.z;
    out._41 = -Dot(x, eye), out._42 = -Dot(y, eye), out._43 = -Dot(z, eye);
    return out;
}

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void SetCamera(ScenarioRun& run) {
    const D3DMATRIX identity = Identity();
    const D3DMATRIX projection = PerspectiveFovLH(1.0471976f, 1.0f, 1.0f, 100.0f);
    IDirect3DDevice9* device = run.Device();
    run.Ok(device->SetTransform(D3DTS_WORLD, &identity), "SetTransform(WORLD)");
    run.Ok(device->SetTransform(D3DTS_VIEW, &identity), "SetTransform(VIEW)");
    run.Ok(device->SetTransform(D3DTS_PROJECTION, &projection), "SetTransform(PROJECTION)");
}

void DrawRhwQuad(ScenarioRun& run, float x0, float y0, float x1, float y1, D3DCOLOR color, float z) {
    const RhwVertex v[6] = {{x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x1, y1, z, 1, color},
                            {x0, y0, z, 1, color}, {x1, y1, z, 1, color}, {x0, y1, z, 1, color}};
    run.Ok(run.Device()->SetFVF(kRhwFvf), "SetFVF");
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(RhwVertex)), "DrawPrimitiveUP");
}

void DrawRhwTexQuad(ScenarioRun& run, float x0, float y0, float x1, float y1, float u0, float v0, float u1,
                    float v1, D3DCOLOR color) {
    x0 -= 0.5f, y0 -= 0.5f, x1 -= 0.5f, y1 -= 0.5f;
    const RhwTexVertex a{x0, y0, 0.5f, 1, color, u0, v0}, b{x1, y0, 0.5f, 1, color, u1, v0};
    const RhwTexVertex c{x1, y1, 0.5f, 1, color, u1, v1}, d{x0, y1, 0.5f, 1, color, u0, v1};
    const RhwTexVertex v[6] = {a, b, c, a, c, d};
    run.Ok(run.Device()->SetFVF(kRhwTexFvf), "SetFVF");
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(RhwTexVertex)), "DrawPrimitiveUP");
}

void DrawNormalGrid(ScenarioRun& run, float half, float depth, int n) {
    std::vector<NormalVertex> v;
    const float step = 2 * half / float(n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const float x0 = -half + i * step, x1 = x0 + step, y1 = half - j * step, y0 = y1 - step;
            const NormalVertex tl{x0, y1, depth, 0, 0, -1}, tr{x1, y1, depth, 0, 0, -1};
            const NormalVertex br{x1, y0, depth, 0, 0, -1}, bl{x0, y0, depth, 0, 0, -1};
            v.insert(v.end(), {tl, tr, br, tl, br, bl});
        }
    run.Ok(run.Device()->SetFVF(kNormalFvf), "SetFVF");
    run.Ok(run.Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(v.size() / 3), v.data(), sizeof(NormalVertex)),
           "DrawPrimitiveUP");
}

D3DLIGHT9 DirectionalLight(D3DCOLORVALUE diffuse, D3DVECTOR direction) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Direction = direction;
    return light;
}

D3DLIGHT9 PointLight(D3DCOLORVALUE diffuse, D3DVECTOR position, float range, float a0, float a1, float a2) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = diffuse;
    light.Position = position;
    light.Range = range;
    light.Attenuation0 = a0;
    light.Attenuation1 = a1;
    light.Attenuation2 = a2;
    return light;
}

D3DMATERIAL9 Material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient) {
    D3DMATERIAL9 material{};
    material.Diffuse = diffuse;
    material.Ambient = ambient;
    return material;
}

namespace {

// Packs 0xAARRGGBB into `format` at `out`; answers the bytes a texel takes (0: unknown format).
int PackTexel(D3DFORMAT format, std::uint32_t argb, unsigned char* out) {
    const unsigned a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    auto put16 = [out](unsigned value) { std::memcpy(out, &value, 2); };
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        std::memcpy(out, &argb, 4);
        return 4;
    case D3DFMT_A8B8G8R8: {
        const std::uint32_t abgr = (a << 24) | (b << 16) | (g << 8) | r;
        std::memcpy(out, &abgr, 4);
        return 4;
    }
    case D3DFMT_R8G8B8:
        out[0] = (unsigned char)b, out[1] = (unsigned char)g, out[2] = (unsigned char)r;
        return 3;
    case D3DFMT_R5G6B5:
        put16(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
        return 2;
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5:
        put16(((a >> 7) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        return 2;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
        put16(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
        return 2;
    case D3DFMT_A8:
        out[0] = (unsigned char)a;
        return 1;
    case D3DFMT_L8:
        out[0] = (unsigned char)r;
        return 1;
    case D3DFMT_A8L8:
        out[0] = (unsigned char)r, out[1] = (unsigned char)a;
        return 2;
    default:
        return 0;
    }
}

}  // namespace

IDirect3DTexture9* MakeTexture(ScenarioRun& run, int width, int height, int levels, D3DFORMAT format,
                               const std::function<std::uint32_t(int level, int x, int y)>& fill) {
    IDirect3DTexture9* texture = nullptr;
    if (!run.Ok(run.Device()->CreateTexture(UINT(width), UINT(height), UINT(levels), 0, format, D3DPOOL_MANAGED,
                                            &texture, nullptr),
                "CreateTexture"))
        return nullptr;
    for (int level = 0; level < levels; ++level) {
        const int w = width >> level > 0 ? width >> level : 1, h = height >> level > 0 ? height >> level : 1;
        D3DLOCKED_RECT locked{};
        if (!run.Ok(texture->LockRect(UINT(level), &locked, nullptr, 0), "LockRect")) break;
        for (int y = 0; y < h; ++y) {
            auto* row = static_cast<unsigned char*>(locked.pBits) + std::ptrdiff_t(y) * locked.Pitch;
            for (int x = 0; x < w; ++x) row += PackTexel(format, fill(level, x, y), row);
        }
        run.Ok(texture->UnlockRect(UINT(level)), "UnlockRect");
    }
    return texture;
}

#pragma once
// Helpers the scenarios share: matrices (row vectors, left-handed), vertex layouts, lights,
// materials and textures filled texel by texel.

#include "scenario.h"

#include <functional>

D3DMATRIX Identity();
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);
D3DMATRIX Translation(float x, float y, float z);
D3DMATRIX Scaling(float x, float y, float z);
D3DMATRIX RotationY(float radians);
D3DMATRIX RotationX(float radians);
D3DMATRIX PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
D3DMATRIX LookAtLH(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up);

DWORD FloatBits(float value);

struct RhwVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kRhwFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct RhwTexVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kRhwTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColorVertex {
    float x, y, z;
    D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct NormalVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kNormalFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

struct NormalColorVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse, specular;
};
constexpr DWORD kNormalColorFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

struct TexVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// World and view identity, a 60 degree square perspective from 1 to 100; camera at the origin
// looking down +z.
void SetCamera(ScenarioRun& run);

// Screen-space quad [x0, x1) x [y0, y1) as two clockwise triangles.
void DrawRhwQuad(ScenarioRun& run, float x0, float y0, float x1, float y1, D3DCOLOR color, float z = 0.5f);
// The same with texture coordinates u0..u1, v0..v1 across it, moved up and left by half a
// pixel so that texels map onto pixels and point-sampled texel edges never fall on a pixel
// centre (where the texel picked would be a rounding tie).
void DrawRhwTexQuad(ScenarioRun& run, float x0, float y0, float x1, float y1, float u0, float v0, float u1,
                    float v1, D3DCOLOR color = 0xFFFFFFFF);

// A grid of n x n quads in the plane z = depth spanning [-half, half]^2 facing -z, with normals
// (0, 0, -1), drawn with DrawPrimitiveUP (lighting needs the tessellation).
void DrawNormalGrid(ScenarioRun& run, float half, float depth, int n);

D3DLIGHT9 DirectionalLight(D3DCOLORVALUE diffuse, D3DVECTOR direction);
D3DLIGHT9 PointLight(D3DCOLORVALUE diffuse, D3DVECTOR position, float range, float a0, float a1, float a2);
D3DMATERIAL9 Material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient);

// A managed texture with `levels` levels; fill(level, x, y) gives the texel as 0xAARRGGBB and
// is packed into the format (bit replication is not used: the low bits are truncated).
IDirect3DTexture9* MakeTexture(ScenarioRun& run, int width, int height, int levels, D3DFORMAT format,
                               const std::function<std::uint32_t(int level, int x, int y)>& fill);

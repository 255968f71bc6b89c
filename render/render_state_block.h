#pragma once
// RenderStateBlock: the render state of one renderer. Two blocks are equal for batching when
// alpha mode, alpha factor (modes 1, 4, 5 only), texture identity (a rectangle of an atlas
// counts as the atlas) and material agree; sampler states, blend type, depth mode and the
// two-sided flag do not keep geometry apart.

#include "platform/d3d9/d3d9.h"

class RenderTexture;

struct RenderStateBlock {
    D3DMATERIAL9 material{};
    RenderTexture* texture = nullptr;
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;
    DWORD magFilter = D3DTEXF_LINEAR;
    DWORD minFilter = D3DTEXF_LINEAR;
    DWORD mipFilter = D3DTEXF_POINT;
    DWORD alphaMode = 0;   // 0 ... 6, see RenderVertices::Draw
    DWORD blendType = 0;   // 0 alpha blending, 1 additive
    DWORD depthMode = 1;   // 1 test on, 0 off, other: depth state untouched
    bool twoSided = false;
    float alphaFactor = 0;  // 0 ... 1

    bool SharesWith(const RenderStateBlock& other) const;
};

// True when the alpha mode uses the texture factor (modes 1, 4, 5).
bool AlphaModeUsesFactor(DWORD alphaMode);
bool SameMaterial(const D3DMATERIAL9& a, const D3DMATERIAL9& b);

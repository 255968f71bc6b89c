#include "render/render_state_block.h"

#include "render/render_texture.h"

namespace {
bool SameColour(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
}  // namespace

bool AlphaModeUsesFactor(DWORD alphaMode) { return alphaMode == 1 || alphaMode == 4 || alphaMode == 5; }

bool SameMaterial(const D3DMATERIAL9& a, const D3DMATERIAL9& b) {
    return SameColour(a.Diffuse, b.Diffuse) && SameColour(a.Ambient, b.Ambient) &&
           SameColour(a.Specular, b.Specular) && SameColour(a.Emissive, b.Emissive) && a.Power == b.Power;
}

bool RenderStateBlock::SharesWith(const RenderStateBlock& other) const {
    if (alphaMode != other.alphaMode) return false;
    if (AlphaModeUsesFactor(alphaMode) && alphaFactor != other.alphaFactor) return false;
    const RenderTexture* mine = texture != nullptr ? texture->Identity() : nullptr;
    const RenderTexture* theirs = other.texture != nullptr ? other.texture->Identity() : nullptr;
    return mine == theirs && SameMaterial(material, other.material);
}

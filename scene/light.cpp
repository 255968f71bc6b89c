#include "scene/light.h"

#include <cmath>
#include <cstring>

bool BoxesOverlap(const LightBox& a, const LightBox& b) {
    return 2 * std::fabs(a.centre.x - b.centre.x) <= a.size.x + b.size.x &&
           2 * std::fabs(a.centre.y - b.centre.y) <= a.size.y + b.size.y &&
           2 * std::fabs(a.centre.z - b.centre.z) <= a.size.z + b.size.z;
}

D3DLight::D3DLight(D3DLIGHTTYPE type) {
    std::memset(&light_, 0, sizeof(light_));
    light_.Type = type;
}

std::vector<String> D3DLight::ClassNames() const { return {String("D3DLight"), String("Object")}; }

std::vector<String> D3DPointLight::ClassNames() const {
    std::vector<String> names = D3DLight::ClassNames();
    names.insert(names.begin(), String("D3DPointLight"));
    return names;
}

std::vector<String> D3DSpotLight::ClassNames() const {
    std::vector<String> names = D3DLight::ClassNames();
    names.insert(names.begin(), String("D3DSpotLight"));
    return names;
}

std::vector<String> D3DDirLight::ClassNames() const {
    std::vector<String> names = D3DLight::ClassNames();
    names.insert(names.begin(), String("D3DDirLight"));
    return names;
}

bool D3DPointLight::Affects(const LightBox& box) const {
    const D3DLIGHT9& l = Light();
    const float edge = 2 * l.Range;
    return BoxesOverlap(LightBox{D3DXVECTOR3(l.Position), D3DXVECTOR3(edge, edge, edge)}, box);
}

bool D3DSpotLight::Affects(const LightBox& box) const {
    const D3DLIGHT9& l = Light();
    const D3DXVECTOR3 direction(l.Direction);
    const float length = D3DXVec3Length(&direction);
    if (std::fabs(l.Range) <= 0.001f || length <= 0.00001f) return false;
    const D3DXVECTOR3 centre = D3DXVECTOR3(l.Position) + direction * (l.Range * 0.5f / length);
    const float spread = l.Range * std::tan(l.Phi);
    const float edge = 2 * std::sqrt(spread * spread + l.Range * l.Range);
    return BoxesOverlap(LightBox{centre, D3DXVECTOR3(edge, edge, edge)}, box);
}

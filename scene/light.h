#pragma once
// D3DLight and its three kinds: a Direct3D 9 light with its slot in the device's light
// table, an enabled flag and the test whether it can reach a box.
//
// Boxes are a centre and full edge lengths; two boxes overlap when, on every axis, twice
// the distance between their centres is not greater than the sum of their edges (boxes
// that touch overlap).

#include "core/byte_string.h"
#include "core/object.h"
#include "platform/d3d9/d3d9_structs.h"
#include "platform/d3dx/d3dx_math.h"

#include <cstdint>
#include <vector>

struct LightBox {
    D3DXVECTOR3 centre;
    D3DXVECTOR3 size;  // full edge lengths
};

bool BoxesOverlap(const LightBox& a, const LightBox& b);

class D3DLight : public virtual Object {
public:
    ~D3DLight() override = default;
    // Whether the light can reach anything inside the box.
    virtual bool Affects(const LightBox& box) const = 0;
    // The class names, own first, then the bases' ("D3DPointLight", "D3DLight", "Object").
    virtual std::vector<String> ClassNames() const;

    D3DLIGHT9& Light() { return light_; }
    const D3DLIGHT9& Light() const { return light_; }
    std::int32_t Index() const { return index_; }
    void SetIndex(std::int32_t index) { index_ = index; }
    std::int32_t Enabled() const { return enabled_; }
    void SetEnabled(std::int32_t enabled) { enabled_ = enabled; }

protected:
    explicit D3DLight(D3DLIGHTTYPE type);

private:
    D3DLIGHT9 light_;
    std::int32_t index_ = -1;
    std::int32_t enabled_ = 0;
};

// Lights the cube of edge 2 x Range around its position.
class D3DPointLight : public D3DLight {
public:
    D3DPointLight() : D3DLight(D3DLIGHT_POINT) {}
    bool Affects(const LightBox& box) const override;
    std::vector<String> ClassNames() const override;
};

// Lights the cube around its cone: centred half the range along the direction, edge
// 2 sqrt((Range tan Phi)^2 + Range^2). Without range or direction it lights nothing.
class D3DSpotLight : public D3DLight {
public:
    D3DSpotLight() : D3DLight(D3DLIGHT_SPOT) {}
    bool Affects(const LightBox& box) const override;
    std::vector<String> ClassNames() const override;
};

// Lights everything.
class D3DDirLight : public D3DLight {
public:
    D3DDirLight() : D3DLight(D3DLIGHT_DIRECTIONAL) {}
    bool Affects(const LightBox&) const override { return true; }
    std::vector<String> ClassNames() const override;
};

#include "scene/light_set.h"

#include "scene/udf_element.h"

#include <cmath>

bool LightSet::Add(std::unique_ptr<D3DLight> light) {
    if (light == nullptr) return false;
    lights_.push_back(std::move(light));
    return true;
}

void LightSet::UploadAll(IDirect3DDevice9* device) {
    for (std::size_t i = 0; i < lights_.size(); ++i) {
        lights_[i]->SetIndex(static_cast<std::int32_t>(i));
        if (device != nullptr) device->SetLight(static_cast<DWORD>(i), &lights_[i]->Light());
    }
}

void LightSet::EnableAll(IDirect3DDevice9* device) {
    for (const auto& light : lights_) {
        light->SetEnabled(1);
        if (device != nullptr && light->Index() >= 0) device->LightEnable(static_cast<DWORD>(light->Index()), TRUE);
    }
}

void LightSet::EnableFor(IDirect3DDevice9* device, const LightBox& box) {
    for (const auto& light : lights_) {
        light->SetEnabled(light->Affects(box) ? 1 : 0);
        if (device != nullptr && light->Index() >= 0) device->LightEnable(static_cast<DWORD>(light->Index()), light->Enabled() ? TRUE : FALSE);
    }
}

void LightSet::DisableAll(IDirect3DDevice9* device) {
    for (std::size_t i = 0; i < lights_.size(); ++i) {
        lights_[i]->SetEnabled(0);
        if (device != nullptr) device->LightEnable(static_cast<DWORD>(i), FALSE);
    }
}

namespace {

D3DXMATRIX ReadMatrixOr(const UdfElement* element, const char* name) {
    float m[16];
    D3DXMATRIX out;
    D3DXMatrixIdentity(&out);
    if (element->ReadMatrix(String(name), m))
        for (int i = 0; i < 16; ++i) out.m[i / 4][i % 4] = m[i];
    return out;
}

std::unique_ptr<D3DLight> LoadLight(const UdfElement* element) {
    const D3DXMATRIX objectTM = ReadMatrixOr(element, "ObjectTM");
    const D3DXMATRIX nodeTM = ReadMatrixOr(element, "NodeTM");
    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &objectTM, &nodeTM);

    D3DXVECTOR3 rows[3];
    float lengths = 0;
    for (int r = 0; r < 3; ++r) {
        const D3DXVECTOR3 row(world.m[r][0], world.m[r][1], world.m[r][2]);
        lengths += D3DXVec3Length(&row);
        D3DXVec3Normalize(&rows[r], &row);
    }
    if (!(lengths > 0.01f) || std::fabs(D3DXVec3Dot(&rows[2], &rows[1])) > 0.1f ||
        std::fabs(D3DXVec3Dot(&rows[2], &rows[0])) > 0.1f)
        return nullptr;

    const D3DXVECTOR3 position(world.m[3][0], world.m[3][1], world.m[3][2]);
    const D3DXVECTOR3 down(0, -1, 0);
    D3DXVECTOR3 direction;
    D3DXVec3TransformNormal(&direction, &down, &world);
    D3DXVec3Normalize(&direction, &direction);

    float attStart = 0;
    element->ReadReal(String("AttStart"), attStart);
    const String& type = element->TypeName();
    std::unique_ptr<D3DLight> light;
    if (type.Equals(String("PointLight"))) {
        light = std::make_unique<D3DPointLight>();
        light->Light().Position = position;
        if (attStart > 0) light->Light().Attenuation1 = 1 / attStart;
    } else if (type.Equals(String("DirLight"))) {
        light = std::make_unique<D3DDirLight>();
        light->Light().Direction = direction;
    } else if (type.Equals(String("SpotLight"))) {
        light = std::make_unique<D3DSpotLight>();
        light->Light().Position = position;
        light->Light().Direction = direction;
        element->ReadReal(String("HotSpot"), light->Light().Theta);
        element->ReadReal(String("FallOff"), light->Light().Phi);
        if (attStart > 0) light->Light().Attenuation1 = 1 / attStart;
    } else {
        return nullptr;
    }
    float argb[4];
    if (element->ReadColor(String("Diffuse"), argb)) light->Light().Diffuse = D3DCOLORVALUE{argb[1], argb[2], argb[3], argb[0]};
    element->ReadReal(String("AttEnd"), light->Light().Range);
    return light;
}

}  // namespace

bool LoadLights(const UdfElement* lights, LightSet& set) {
    if (lights == nullptr) return true;
    for (const UdfElement::Entry& entry : lights->Entries()) {
        if (entry.element == nullptr) return false;
        std::unique_ptr<D3DLight> light = LoadLight(entry.element);
        if (light == nullptr || !set.Add(std::move(light))) return false;
    }
    return true;
}

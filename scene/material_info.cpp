#include "scene/material_info.h"

#include "core/byte_string.h"
#include "render/texture_cache.h"
#include "scene/mesh_props.h"
#include "scene/udf_element.h"

namespace {

DWORD MaterialAddress(const UdfElement* entry, const char* key) {
    const UdfElement* found = entry->Child(key);
    if (found == nullptr) return D3DTADDRESS_WRAP;
    const String word = ElementText(found);
    if (word == "Mirror") return D3DTADDRESS_MIRROR;
    if (word == "Wrap") return D3DTADDRESS_WRAP;
    return D3DTADDRESS_BORDER;
}

void SetColor(const UdfElement* element, const char* key, D3DCOLORVALUE& colour) {
    float rgba[4];
    if (element->ReadColor(key, rgba)) colour = {rgba[0], rgba[1], rgba[2], rgba[3]};
}

}  // namespace

void LoadMaterials(const UdfElement* materials, const String& folder, TextureCache* textures, MaterialTable& table) {
    if (materials == nullptr) return;
    for (int i = 0; i < materials->ChildCount(); ++i) {
        const UdfElement* element = materials->ChildAt(i);
        MaterialInfo info;
        SetColor(element, "Ambient", info.material.Ambient);
        SetColor(element, "Diffuse", info.material.Diffuse);
        SetColor(element, "Specular", info.material.Specular);
        SetColor(element, "Emissive", info.material.Emissive);
        info.twoSided = element->Child("TwoSided") != nullptr;

        if (const UdfElement* list = element->Child("Textures")) {
            for (int t = 0; t < list->ChildCount(); ++t) {
                const UdfElement* entry = list->ChildAt(t);
                const String fileName = ElementText(entry->Child("FileName"));
                const DWORD addressU = MaterialAddress(entry, "TexAddrU");
                const DWORD addressV = MaterialAddress(entry, "TexAddrV");
                if (entry->TypeName() != "Diffuse" || textures == nullptr) continue;
                TextureRequest request;
                request.FileName(folder + "/" + fileName);
                if (TextureResource* texture = textures->Get(request)) {
                    info.texture = texture;
                    info.addressU = addressU;
                    info.addressV = addressV;
                }
            }
        }
        const String& name = element->Name();
        table[name.ToStdString()] = info;
    }
}

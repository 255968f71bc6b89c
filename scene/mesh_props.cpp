#include "scene/mesh_props.h"

#include "core/number_text.h"
#include "render/texture_resource.h"
#include "scene/material_info.h"
#include "scene/mesh.h"
#include "scene/udf_element.h"

#include <cctype>
#include <cstring>

namespace {

std::string Lower(const String& text) {
    std::string out = text.ToStdString();
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const UdfElement* FindIn(const UdfElement* props, const char* key) {
    const String wanted(key);
    for (int i = 0; i < props->ChildCount(); ++i) {
        const UdfElement* child = props->ChildAt(i);
        if (child != nullptr && child->Name().CompareNoCase(wanted) == 0) return child;
    }
    return nullptr;
}

DWORD FilterWord(const String& word) {
    static const struct {
        const char* word;
        DWORD value;
    } kTable[] = {{"none", D3DTEXF_NONE},       {"point", D3DTEXF_POINT},      {"linear", D3DTEXF_LINEAR},
                  {"anisotropic", D3DTEXF_ANISOTROPIC}, {"pyrquad", D3DTEXF_PYRAMIDALQUAD}, {"guasquad", D3DTEXF_GAUSSIANQUAD}};
    for (const auto& entry : kTable)
        if (word == entry.word) return entry.value;
    return 0;
}

DWORD AddressWord(const String& word) {
    if (word == "border") return D3DTADDRESS_BORDER;
    if (word == "wrap") return D3DTADDRESS_WRAP;
    if (word == "mirror") return D3DTADDRESS_MIRROR;
    return 0;
}

// The alpha mode a set of "AlphaUse" words asks for; 0xFFFFFFFF when none of the three.
DWORD AlphaUseMode(bool factor, bool texture, bool diffuse) {
    if (factor && texture) return 4;
    if (factor && diffuse) return 5;
    if (factor) return 1;
    if (diffuse && texture) return 6;
    if (diffuse) return 3;
    if (texture) return 2;
    return 0xFFFFFFFFu;
}

}  // namespace

String ElementText(const UdfElement* element) {
    if (element == nullptr || element->Data() == nullptr) return String();
    const char* text = reinterpret_cast<const char*>(element->Data());
    const void* nul = std::memchr(text, 0, element->DataSize());
    const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - text) : element->DataSize();
    return String(text, int(length));
}

const UdfElement* FindProperty(const UdfElement* element, const char* key) {
    for (const UdfElement* at = element; at != nullptr; at = at->Parent()) {
        const UdfElement* props = at->Child("Props");
        if (props == nullptr) continue;
        if (const UdfElement* found = FindIn(props, key)) return found;
    }
    return nullptr;
}

bool PropertyText(const UdfElement* element, const char* key, String& out) {
    const UdfElement* found = FindProperty(element, key);
    if (found == nullptr) return false;
    out = ElementText(found);
    return true;
}

bool PropertyWords(const UdfElement* element, const char* key, std::set<std::string>& out) {
    const UdfElement* found = FindProperty(element, key);
    if (found == nullptr) return false;
    out.clear();
    for (int i = 0; i < found->ChildCount(); ++i) {
        const UdfElement* word = found->ChildAt(i);
        if (word != nullptr && word->ChildCount() == 0 && !word->IsContainer()) out.insert(Lower(ElementText(word)));
    }
    return true;
}

RenderableSettings ApplyMeshProperties(const UdfElement* element, const Mesh& mesh, MaterialInfo& material) {
    RenderableSettings settings;
    std::set<std::string> words;
    String text;

    if (PropertyWords(element, "Usage", words)) {
        settings.vertexUsage = settings.indexUsage = 0;
        if (words.count("static")) settings.vertexUsage = settings.indexUsage = D3DUSAGE_WRITEONLY;
        else if (words.count("dynamic")) settings.vertexUsage = settings.indexUsage = D3DUSAGE_DYNAMIC;
        else if (words.count("dynamic_writeonly"))
            settings.vertexUsage = settings.indexUsage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
        if (words.count("vb_writeonly")) settings.vertexUsage |= D3DUSAGE_WRITEONLY;
        if (words.count("ib_writeonly")) settings.indexUsage |= D3DUSAGE_WRITEONLY;
        if (words.count("vb_dynamic")) settings.vertexUsage |= D3DUSAGE_DYNAMIC;
        if (words.count("ib_dynamic")) settings.indexUsage |= D3DUSAGE_DYNAMIC;
    }

    if (PropertyText(element, "Blend", text)) {
        if (text == "additive") material.blendMode = 1;
        else if (text == "multiply") material.blendMode = 0;
    }

    if (PropertyText(element, "MinFilter", text)) material.minFilter = FilterWord(text);
    if (PropertyText(element, "MagFilter", text)) material.magFilter = FilterWord(text);
    if (PropertyText(element, "MipFilter", text)) material.mipFilter = FilterWord(text);
    if (PropertyText(element, "TexAddrU", text)) material.addressU = AddressWord(text);
    if (PropertyText(element, "TexAddrV", text)) material.addressV = AddressWord(text);

    settings.vertexStride = mesh.Stride();
    if (!PropertyText(element, "VertexAlign32", text) || text == "1")
        settings.vertexStride = (mesh.Stride() + 31u) / 32u * 32u;
    settings.vertexBytes = settings.vertexStride * unsigned(mesh.Vertices().size());

    if (material.texture != nullptr && material.texture->HasAlpha()) material.alphaMode = 2;

    if (PropertyWords(element, "AlphaUse", words)) {
        const bool factor = words.count("factor") != 0;
        const DWORD mode = AlphaUseMode(factor, words.count("texture") != 0, words.count("diffuse") != 0);
        if (mode != 0xFFFFFFFFu) material.alphaMode = mode;
        if (factor) {
            material.alphaFactor = 0.5f;
            if (PropertyText(element, "Alpha", text)) {
                double value = 0;
                const std::size_t used = ParseDouble(text.CStr(), std::size_t(text.Length()), value);
                material.alphaFactor = used == std::size_t(text.Length()) && used != 0 ? float(value) : 0.0f;
            }
        }
    }

    if (PropertyText(element, "Lit", text)) settings.lit = text == "1";
    return settings;
}

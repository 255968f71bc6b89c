#pragma once
// MaterialInfo: a material of the scene file with the render settings a mesh starts from,
// and the material table that LoadMaterials fills from the file's "Materials" element.
//
// Texture entries: "FileName" names the image beside the scene file; "TexAddrU"/"TexAddrV"
// give "Mirror" 2, "Wrap" 1, a missing key 1 and any other text 4. Only entries of type
// "Diffuse" load a texture; other kinds ("Opacity") are read past.

#include "platform/d3d9/d3d9.h"

#include <map>
#include <string>

class TextureCache;
class TextureResource;
class UdfElement;
class String;

struct MaterialInfo {
    D3DMATERIAL9 material{{1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, 0};
    TextureResource* texture = nullptr;
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;
    DWORD minFilter = D3DTEXF_LINEAR;
    DWORD magFilter = D3DTEXF_LINEAR;
    DWORD mipFilter = D3DTEXF_POINT;
    DWORD alphaMode = 0;
    DWORD blendMode = 0;  // 0 multiply (alpha blending), 1 additive
    DWORD flag = 1;       // carried for the file's sake; nothing reads it
    bool twoSided = false;
    float alphaFactor = 0;
};

using MaterialTable = std::map<std::string, MaterialInfo>;

// Fills the table from the children of a "Materials" element, in order; a later material
// of the same name replaces an earlier one. Textures come from the cache, named
// folder + "/" + FileName and read through the media archive; a texture that cannot be
// made leaves the material untextured. A null cache loads no textures.
void LoadMaterials(const UdfElement* materials, const String& folder, TextureCache* textures, MaterialTable& table);

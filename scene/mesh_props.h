#pragma once
// The "Props" of a mesh: key lookup that climbs to the nearest ancestor with "Props", and
// the render settings a mesh takes from its keys (buffer usage, blending, filters,
// addressing, vertex alignment, alpha use, lighting).
//
// Keys compare without regard to case; the words of a word set ("Usage", "AlphaUse") are
// the texts of the key's leaf children, also without regard to case. The other values
// compare exactly. A text ends at its first NUL byte.

#include "core/byte_string.h"
#include "platform/d3d9/d3d9.h"

#include <set>
#include <string>

class Mesh;
class UdfElement;
struct MaterialInfo;

// The element's bytes as text, up to the first NUL.
String ElementText(const UdfElement* element);

// The element holding key in the "Props" of element or of its nearest ancestor that has
// one and holds the key; null when no "Props" up to the root holds it.
const UdfElement* FindProperty(const UdfElement* element, const char* key);
// The property's text; false when the key is missing.
bool PropertyText(const UdfElement* element, const char* key, String& out);
// The property's words in lower case; false when the key is missing.
bool PropertyWords(const UdfElement* element, const char* key, std::set<std::string>& out);

struct RenderableSettings {
    DWORD vertexUsage = D3DUSAGE_WRITEONLY;
    DWORD indexUsage = D3DUSAGE_WRITEONLY;
    unsigned vertexStride = 0;  // of the vertex buffer
    unsigned vertexBytes = 0;   // stride x vertex count
    bool lit = true;
};

// Applies the mesh's "Props" to material (blend, filters, addressing, alpha mode and
// factor) and returns the buffer usage, the vertex stride (rounded up to 32 bytes unless
// "VertexAlign32" says otherwise) and the lit flag.
RenderableSettings ApplyMeshProperties(const UdfElement* element, const Mesh& mesh, MaterialInfo& material);

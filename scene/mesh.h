#pragma once
// Mesh: the geometry of one "Mesh" node, converted from the file's vertex format into
// FullVertex records, with 32-bit indices and the box of its positions.

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx_math.h"

#include <cstdint>
#include <vector>

// Every component the engine reads; components the source lacks are zero.
struct FullVertex {
    float position[3];
    float normal[3];
    std::uint32_t diffuse;
    std::uint32_t specular;
    float uv0[2];
    float uv1[2];
};
static_assert(sizeof(FullVertex) == 48, "FullVertex is 48 bytes");

// Bytes of one vertex in the packed layout of an FVF (the components FullVertex can carry).
unsigned PackedVertexSize(DWORD fvf);

// Reads count vertices of the FVF, stride bytes apart, from source. The caller makes sure
// source holds count x stride bytes and that stride >= PackedVertexSize(fvf).
std::vector<FullVertex> ConvertVertices(DWORD fvf, unsigned stride, const std::uint8_t* source, unsigned count);

// Writes one vertex in the packed layout of the FVF at out (PackedVertexSize bytes).
void PackVertex(DWORD fvf, const FullVertex& vertex, std::uint8_t* out);

class Mesh {
public:
    Mesh(DWORD fvf, unsigned stride, std::vector<FullVertex> vertices, std::vector<std::uint32_t> indices);

    DWORD Fvf() const { return fvf_; }
    unsigned Stride() const { return stride_; }
    const std::vector<FullVertex>& Vertices() const { return vertices_; }
    const std::vector<std::uint32_t>& Indices() const { return indices_; }
    // The box of the positions (both zero for a mesh without vertices).
    const D3DXVECTOR3& Minimum() const { return minimum_; }
    const D3DXVECTOR3& Maximum() const { return maximum_; }
    // True when every index names a vertex.
    bool IndicesInRange() const;

private:
    DWORD fvf_;
    unsigned stride_;
    std::vector<FullVertex> vertices_;
    std::vector<std::uint32_t> indices_;
    D3DXVECTOR3 minimum_{0, 0, 0};
    D3DXVECTOR3 maximum_{0, 0, 0};
};

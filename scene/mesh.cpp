#include "scene/mesh.h"

#include <algorithm>
#include <cstring>

namespace {

bool HasPosition(DWORD fvf) { return (fvf & (D3DFVF_XYZ | D3DFVF_XYZRHW)) != 0; }
bool HasRhw(DWORD fvf) { return (fvf & D3DFVF_XYZRHW) != 0; }

}  // namespace

unsigned PackedVertexSize(DWORD fvf) {
    unsigned size = 0;
    if (HasPosition(fvf)) size += HasRhw(fvf) ? 16 : 12;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    if (fvf & 0x100) size += 8;
    if (fvf & 0x200) size += 8;
    return size;
}

std::vector<FullVertex> ConvertVertices(DWORD fvf, unsigned stride, const std::uint8_t* source, unsigned count) {
    std::vector<FullVertex> vertices(count, FullVertex{});
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t* at = source + std::size_t(i) * stride;
        FullVertex& v = vertices[i];
        auto take = [&](void* field, std::size_t bytes) {
            std::memcpy(field, at, bytes);
            at += bytes;
        };
        if (HasPosition(fvf)) {
            take(v.position, 12);
            if (HasRhw(fvf)) at += 4;
        }
        if (fvf & D3DFVF_NORMAL) take(v.normal, 12);
        if (fvf & D3DFVF_DIFFUSE) take(&v.diffuse, 4);
        if (fvf & D3DFVF_SPECULAR) take(&v.specular, 4);
        if (fvf & 0x100) take(v.uv0, 8);
        if (fvf & 0x200) take(v.uv1, 8);
    }
    return vertices;
}

void PackVertex(DWORD fvf, const FullVertex& v, std::uint8_t* out) {
    auto put = [&](const void* field, std::size_t bytes) {
        std::memcpy(out, field, bytes);
        out += bytes;
    };
    if (HasPosition(fvf)) {
        put(v.position, 12);
        if (HasRhw(fvf)) {
            const float rhw = 1.0f;
            put(&rhw, 4);
        }
    }
    if (fvf & D3DFVF_NORMAL) put(v.normal, 12);
    if (fvf & D3DFVF_DIFFUSE) put(&v.diffuse, 4);
    if (fvf & D3DFVF_SPECULAR) put(&v.specular, 4);
    if (fvf & 0x100) put(v.uv0, 8);
    if (fvf & 0x200) put(v.uv1, 8);
}

Mesh::Mesh(DWORD fvf, unsigned stride, std::vector<FullVertex> vertices, std::vector<std::uint32_t> indices)
    : fvf_(fvf), stride_(stride), vertices_(std::move(vertices)), indices_(std::move(indices)) {
    if (vertices_.empty()) return;
    minimum_ = maximum_ = D3DXVECTOR3(vertices_[0].position[0], vertices_[0].position[1], vertices_[0].position[2]);
    for (const FullVertex& v : vertices_) {
        minimum_.x = std::min(minimum_.x, v.position[0]);
        minimum_.y = std::min(minimum_.y, v.position[1]);
        minimum_.z = std::min(minimum_.z, v.position[2]);
        maximum_.x = std::max(maximum_.x, v.position[0]);
        maximum_.y = std::max(maximum_.y, v.position[1]);
        maximum_.z = std::max(maximum_.z, v.position[2]);
    }
}

bool Mesh::IndicesInRange() const {
    const std::size_t count = vertices_.size();
    return std::all_of(indices_.begin(), indices_.end(), [count](std::uint32_t i) { return i < count; });
}

#include "tools/mediagen/mesh_builder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPi = 3.14159265f;
}

float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

Vec3 Normalize(Vec3 a) {
    const float length = Length(a);
    return length > 0 ? a * (1.0f / length) : Vec3{};
}

Vec3 RotateY(Vec3 a, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return {a.x * c + a.z * s, a.y, -a.x * s + a.z * c};
}

std::uint32_t MeshBuilder::AddVertex(Vec3 position, Vec3 normal, float u, float v) {
    vertices_.push_back({position, Normalize(normal), u, v});
    return static_cast<std::uint32_t>(vertices_.size() - 1);
}

void MeshBuilder::AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const MeshVertex &va = vertices_[a], &vb = vertices_[b], &vc = vertices_[c];
    const Vec3 face = Cross(vb.position - va.position, vc.position - va.position);
    if (Dot(face, va.normal + vb.normal + vc.normal) < 0) std::swap(b, c);
    indices_.insert(indices_.end(), {a, b, c});
}

void MeshBuilder::AddQuad(const Vec3 corners[4], Vec3 normal, const float uv[8]) {
    std::uint32_t i[4];
    for (int k = 0; k < 4; ++k) i[k] = AddVertex(corners[k], normal, uv[2 * k], uv[2 * k + 1]);
    AddTriangle(i[0], i[1], i[2]);
    AddTriangle(i[0], i[2], i[3]);
}

void MeshBuilder::AddPlanarQuad(const Vec3 corners[4], Vec3 normal, float tile) {
    // Texture axes: horizontal along the face, and down the face (or along z for flat faces).
    const Vec3 n = Normalize(normal);
    Vec3 across = std::fabs(n.y) > 0.9f ? Vec3{1, 0, 0} : Normalize(Cross({0, 1, 0}, n));
    Vec3 down = Normalize(Cross(across, n));
    if (std::fabs(n.y) > 0.9f) down = {0, 0, -1};
    else if (down.y > 0) down = down * -1.0f;
    float uv[8];
    for (int k = 0; k < 4; ++k) {
        uv[2 * k] = Dot(corners[k], across) / tile;
        uv[2 * k + 1] = Dot(corners[k], down) / tile;
    }
    AddQuad(corners, n, uv);
}

void MeshBuilder::AddBox(Vec3 a, Vec3 b, float tile, bool bottom) {
    const Vec3 faces[6][4] = {
        {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z}},  // -z
        {{a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}},  // +z
        {{a.x, a.y, a.z}, {a.x, a.y, b.z}, {a.x, b.y, b.z}, {a.x, b.y, a.z}},  // -x
        {{b.x, a.y, a.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {b.x, b.y, a.z}},  // +x
        {{a.x, b.y, a.z}, {b.x, b.y, a.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}},  // +y
        {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, a.y, b.z}, {a.x, a.y, b.z}},  // -y
    };
    const Vec3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int f = 0; f < (bottom ? 6 : 5); ++f) AddPlanarQuad(faces[f], normals[f], tile);
}

void MeshBuilder::AddTurnedBox(Vec3 baseCentre, Vec3 size, float angle, float tile) {
    MeshBuilder box;
    box.AddBox({-size.x / 2, 0, -size.z / 2}, {size.x / 2, size.y, size.z / 2}, tile);
    Append(box, angle, baseCentre);
}

void MeshBuilder::AddSlab(const Vec3 top[4], Vec3 up, float thickness, float tile) {
    const Vec3 n = Normalize(up);
    Vec3 bottom[4];
    for (int k = 0; k < 4; ++k) bottom[k] = top[k] - n * thickness;
    AddPlanarQuad(top, n, tile);
    AddPlanarQuad(bottom, n * -1.0f, tile);
    const Vec3 centre = (top[0] + top[1] + top[2] + top[3]) * 0.25f;
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) % 4;
        const Vec3 edge[4] = {top[k], top[next], bottom[next], bottom[k]};
        Vec3 out = Normalize(Cross(top[next] - top[k], n));
        if (Dot(out, (top[k] + top[next]) * 0.5f - centre) < 0) out = out * -1.0f;
        AddPlanarQuad(edge, out, tile);
    }
}

void MeshBuilder::AddFrustum(Vec3 base, float bottomRadius, float topRadius, float height, int sides,
                             float uRepeats, float vRepeats) {
    const float slope = (bottomRadius - topRadius) / height;
    for (int s = 0; s <= sides; ++s) {
        const float angle = 2 * kPi * static_cast<float>(s) / static_cast<float>(sides);
        const Vec3 out{std::sin(angle), 0, std::cos(angle)};
        const Vec3 normal = Normalize({out.x, slope, out.z});
        const float u = uRepeats * static_cast<float>(s) / static_cast<float>(sides);
        AddVertex(base + out * bottomRadius, normal, u, vRepeats);
        AddVertex(base + out * topRadius + Vec3{0, height, 0}, normal, u, 0);
    }
    const std::uint32_t first = static_cast<std::uint32_t>(vertices_.size()) - 2 * (sides + 1);
    for (int s = 0; s < sides; ++s) {
        const std::uint32_t i = first + 2 * static_cast<std::uint32_t>(s);
        AddTriangle(i, i + 2, i + 1);
        if (topRadius > 0) AddTriangle(i + 1, i + 2, i + 3);  // a cone's apex needs no second half
    }
}

void MeshBuilder::AddDisc(Vec3 centre, float radiusX, float radiusZ, int sides, bool up, float tile) {
    const Vec3 normal{0, up ? 1.0f : -1.0f, 0};
    const std::uint32_t middle = AddVertex(centre, normal, centre.x / tile, -centre.z / tile);
    for (int s = 0; s <= sides; ++s) {
        const float angle = 2 * kPi * static_cast<float>(s) / static_cast<float>(sides);
        const Vec3 p = centre + Vec3{std::sin(angle) * radiusX, 0, std::cos(angle) * radiusZ};
        AddVertex(p, normal, p.x / tile, -p.z / tile);
        if (s > 0) AddTriangle(middle, middle + s, middle + s + 1);
    }
}

void MeshBuilder::AddEllipsoid(Vec3 centre, Vec3 radii, int slices, int stacks) {
    const std::uint32_t first = static_cast<std::uint32_t>(vertices_.size());
    for (int t = 0; t <= stacks; ++t) {
        const float polar = kPi * static_cast<float>(t) / static_cast<float>(stacks);
        for (int s = 0; s <= slices; ++s) {
            const float angle = 2 * kPi * static_cast<float>(s) / static_cast<float>(slices);
            const Vec3 unit{std::sin(polar) * std::sin(angle), std::cos(polar), std::sin(polar) * std::cos(angle)};
            const Vec3 p{unit.x * radii.x, unit.y * radii.y, unit.z * radii.z};
            const Vec3 n{unit.x / radii.x, unit.y / radii.y, unit.z / radii.z};
            AddVertex(centre + p, n, static_cast<float>(s) / static_cast<float>(slices),
                      static_cast<float>(t) / static_cast<float>(stacks));
        }
    }
    const std::uint32_t row = static_cast<std::uint32_t>(slices) + 1;
    for (int t = 0; t < stacks; ++t) {
        for (int s = 0; s < slices; ++s) {
            const std::uint32_t i = first + static_cast<std::uint32_t>(t) * row + static_cast<std::uint32_t>(s);
            if (t > 0) AddTriangle(i, i + 1, i + row);
            if (t < stacks - 1) AddTriangle(i + 1, i + row + 1, i + row);
        }
    }
}

void MeshBuilder::Append(const MeshBuilder& other, float angle, Vec3 offset) {
    const std::uint32_t first = static_cast<std::uint32_t>(vertices_.size());
    for (const MeshVertex& v : other.vertices_)
        vertices_.push_back({RotateY(v.position, angle) + offset, RotateY(v.normal, angle), v.u, v.v});
    for (std::uint32_t i : other.indices_) indices_.push_back(first + i);
}

bool MeshBuilder::Bounds(Vec3& min, Vec3& max) const {
    if (vertices_.empty()) return false;
    min = max = vertices_[0].position;
    for (const MeshVertex& v : vertices_) {
        min = {std::min(min.x, v.position.x), std::min(min.y, v.position.y), std::min(min.z, v.position.z)};
        max = {std::max(max.x, v.position.x), std::max(max.y, v.position.y), std::max(max.z, v.position.z)};
    }
    return true;
}

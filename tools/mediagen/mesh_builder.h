#pragma once
// MeshBuilder: indexed triangle lists of position, normal and one texture pair, built from
// simple solids (boxes, prisms, cones, cylinders, spheres, grids) in a node's local frame.
//
// Every triangle is wound so that it faces where its vertex normals point: the front of a
// triangle a, b, c is the side of (b - a) × (c - a), which in the engine's left-handed frame
// is the clockwise side, the side the default cull mode keeps. Texture coordinates follow
// the image: v grows downwards, so a wall maps height to -v.

#include <cstdint>
#include <vector>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a);
Vec3 Normalize(Vec3 a);  // the zero vector stays zero
// Turns a point or direction about the y axis; positive angles turn +z towards +x.
Vec3 RotateY(Vec3 a, float angle);

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float u = 0, v = 0;
};

class MeshBuilder {
public:
    std::uint32_t AddVertex(Vec3 position, Vec3 normal, float u, float v);
    // A triangle of three added vertices, wound to face along the sum of their normals.
    void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    // A flat quad (corners in order around it) facing along normal; uv per corner.
    void AddQuad(const Vec3 corners[4], Vec3 normal, const float uv[8]);
    // A flat quad with planar texture coordinates: corner positions projected on two axes
    // of the face, divided by tile (world units per texture repeat).
    void AddPlanarQuad(const Vec3 corners[4], Vec3 normal, float tile);
    // An axis-aligned box; the bottom face only when asked.
    void AddBox(Vec3 min, Vec3 max, float tile, bool bottom = false);
    // A box turned about y by angle around its base centre.
    void AddTurnedBox(Vec3 baseCentre, Vec3 size, float angle, float tile);
    // A slab: the flat face given by four corners (in order round it) facing along up, and
    // the same face moved down by thickness, with the four edges between them.
    void AddSlab(const Vec3 top[4], Vec3 up, float thickness, float tile);
    // A cone or frustum about the y axis (open at both ends), smooth normals; u wraps
    // uRepeats times around, v runs from the top ring (0) to the bottom ring (vRepeats).
    void AddFrustum(Vec3 base, float bottomRadius, float topRadius, float height, int sides, float uRepeats,
                    float vRepeats);
    // A disc facing up (normal +y) or down.
    void AddDisc(Vec3 centre, float radiusX, float radiusZ, int sides, bool up, float tile);
    // A sphere squashed by (sx, sy, sz) radii.
    void AddEllipsoid(Vec3 centre, Vec3 radii, int slices, int stacks);
    // Appends another mesh turned about y by angle and moved by offset.
    void Append(const MeshBuilder& other, float angle, Vec3 offset);

    const std::vector<MeshVertex>& Vertices() const { return vertices_; }
    const std::vector<std::uint32_t>& Indices() const { return indices_; }
    std::size_t TriangleCount() const { return indices_.size() / 3; }
    bool Empty() const { return indices_.empty(); }
    // Local bounds; false when empty.
    bool Bounds(Vec3& min, Vec3& max) const;

private:
    std::vector<MeshVertex> vertices_;
    std::vector<std::uint32_t> indices_;
};

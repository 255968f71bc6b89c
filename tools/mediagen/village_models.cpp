#include "tools/mediagen/village_models.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// A vertical window pane just outside a wall, with a snow sill below it.
void AddWindow(MeshBuilder& pane, MeshBuilder& snow, Vec3 centre, Vec3 normal, float width, float height) {
    const Vec3 across = Normalize(Cross({0, 1, 0}, normal));
    const Vec3 c = centre + normal * 0.4f;
    const Vec3 w = across * (width / 2), h{0, height / 2, 0};
    const Vec3 corners[4] = {c - w + h, c + w + h, c + w - h, c - w - h};
    const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    pane.AddQuad(corners, normal, uv);
    const Vec3 sill = centre - h + normal * 1.5f;
    const Vec3 half = across * (width / 2 + 1.5f) + normal * 1.8f;
    snow.AddBox({std::min(sill.x - half.x, sill.x + half.x), sill.y - 1.6f, std::min(sill.z - half.z, sill.z + half.z)},
                {std::max(sill.x - half.x, sill.x + half.x), sill.y, std::max(sill.z - half.z, sill.z + half.z)}, 30);
}

// A gabled roof over a w × d plan with the ridge along x: shingle slabs under a thick layer
// of snow, both overhanging the walls.
void AddGableRoof(MeshBuilder& shingles, MeshBuilder& snow, float w, float d, float wall, float rise) {
    const float o = kRoofOverhang, halfW = w / 2 + o, eaveDrop = o * rise / (d / 2);
    for (int side = -1; side <= 1; side += 2) {
        const float z = side * (d / 2 + o);
        const Vec3 eaveA{-halfW, wall - eaveDrop, z}, eaveB{halfW, wall - eaveDrop, z};
        const Vec3 ridgeA{-halfW, wall + rise, 0}, ridgeB{halfW, wall + rise, 0};
        const Vec3 up = Normalize(Cross(ridgeB - ridgeA, eaveA - ridgeA) * static_cast<float>(-side));
        const Vec3 lift = up * 2.5f;
        const Vec3 roof[4] = {eaveA + lift, eaveB + lift, ridgeB + lift, ridgeA + lift};
        shingles.AddSlab(roof, up, 2.5f, 36);
        const Vec3 snowLift = up * 7.5f;
        const Vec3 cover[4] = {eaveA + snowLift - Vec3{1, 0, 0}, eaveB + snowLift + Vec3{1, 0, 0},
                               ridgeB + snowLift + Vec3{1, 0, 0}, ridgeA + snowLift - Vec3{1, 0, 0}};
        snow.AddSlab(cover, up, 5.0f, 60);
    }
}

// A drift of snow banked against the foot of a w × d box.
void AddDrift(MeshBuilder& snow, float w, float d, float height, float reach) {
    const float x = w / 2, z = d / 2;
    const Vec3 inner[4] = {{-x, height, -z}, {x, height, -z}, {x, height, z}, {-x, height, z}};
    const Vec3 outer[4] = {{-x - reach, 0, -z - reach}, {x + reach, 0, -z - reach}, {x + reach, 0, z + reach},
                           {-x - reach, 0, z + reach}};
    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        const Vec3 quad[4] = {inner[k], inner[n], outer[n], outer[k]};
        const Vec3 mid = (outer[k] + outer[n]) * 0.5f;
        const Vec3 out = Normalize(Vec3{mid.x, 0, mid.z} * (1.0f / std::max(std::fabs(mid.x), std::fabs(mid.z))));
        const Vec3 face = Normalize(Vec3{std::fabs(mid.x) > std::fabs(mid.z) ? out.x : 0, 0,
                                         std::fabs(mid.x) > std::fabs(mid.z) ? 0 : out.z} +
                                    Vec3{0, reach / height, 0});
        snow.AddPlanarQuad(quad, face, 40);
    }
}

}  // namespace

std::vector<ModelPart> HouseModel(const HousePlan& h, int index, std::vector<WindowSpot>* windows) {
    MeshBuilder logs, planks, shingles, snow, stone, lit, dark;
    const float w = h.width, d = h.depth, wall = h.wallHeight, rise = h.roofRise;
    logs.AddBox({-w / 2, 0, -d / 2}, {w / 2, wall, d / 2}, 40);
    // Gable ends in planks.
    for (int side = -1; side <= 1; side += 2) {
        const float x = side * w / 2;
        const std::uint32_t a = planks.AddVertex({x, wall, -d / 2}, {static_cast<float>(side), 0, 0}, -d / 2 / 30, 0.8f);
        const std::uint32_t b = planks.AddVertex({x, wall, d / 2}, {static_cast<float>(side), 0, 0}, d / 2 / 30, 0.8f);
        const std::uint32_t c = planks.AddVertex({x, wall + rise, 0}, {static_cast<float>(side), 0, 0}, 0, 0.8f - rise / 30);
        planks.AddTriangle(a, b, c);
    }
    // Door in the middle of the front.
    {
        const Vec3 door[4] = {{-6, 22, -d / 2 - 0.5f}, {6, 22, -d / 2 - 0.5f}, {6, 0, -d / 2 - 0.5f}, {-6, 0, -d / 2 - 0.5f}};
        const float uv[8] = {0, 0, 0.5f, 0, 0.5f, 1, 0, 1};
        planks.AddQuad(door, {0, 0, -1}, uv);
        snow.AddBox({-9, 24, -d / 2 - 6}, {9, 26, -d / 2}, 30);  // snow on the lintel board
        planks.AddBox({-9, 22, -d / 2 - 6}, {9, 24, -d / 2}, 30);
    }
    AddGableRoof(shingles, snow, w, d, wall, rise);
    AddDrift(snow, w, d, 5, 9);
    if (h.chimney) {
        const float cx = w * 0.22f * (index % 2 == 0 ? 1 : -1), cz = d * 0.18f, top = wall + rise + 12;
        stone.AddBox({cx - 5, wall, cz - 5}, {cx + 5, top, cz + 5}, 30);
        snow.AddBox({cx - 6, top, cz - 6}, {cx + 6, top + 3, cz + 6}, 30);
    }
    // Windows: two beside the door, one or two at the back, one on each gable end.
    std::vector<WindowSpot> spots = {
        {{-w / 4 - 4, 17, -d / 2}, {0, 0, -1}, true},
        {{w / 4 + 4, 17, -d / 2}, {0, 0, -1}, (index % 3) != 2},
        {{0, 17, d / 2}, {0, 0, 1}, (index % 2) == 0},
        {{-w / 2, 17, 0}, {-1, 0, 0}, (index % 4) == 1},
        {{w / 2, 17, 0}, {1, 0, 0}, false},
        {{w / 2, wall + rise * 0.4f, 0}, {1, 0, 0}, (index % 3) == 0},
    };
    for (const WindowSpot& s : spots) {
        const bool gable = s.centre.y > wall;
        AddWindow(s.lit ? lit : dark, snow, s.centre, s.normal, gable ? 8 : 11, gable ? 9 : 12);
        if (windows) windows->push_back(s);
    }
    std::vector<ModelPart> parts;
    parts.push_back({"Walls", "Logs", std::move(logs)});
    parts.push_back({"Woodwork", "Planks", std::move(planks)});
    parts.push_back({"Roof", "Shingles", std::move(shingles)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    if (!stone.Empty()) parts.push_back({"Chimney", "Stone", std::move(stone)});
    if (!lit.Empty()) parts.push_back({"WindowsLit", "WindowLit", std::move(lit)});
    if (!dark.Empty()) parts.push_back({"WindowsDark", "WindowDark", std::move(dark)});
    return parts;
}

std::vector<ModelPart> ChurchModel(std::vector<WindowSpot>* windows) {
    MeshBuilder stone, shingles, snow, lit, dark, planks, iron;
    const float l = kChurchLength / 2, w = kChurchWidth;
    // The nave, its roof turned so the ridge runs along z.
    MeshBuilder nave, naveRoof, naveSnow;
    nave.AddBox({-l, 0, -w / 2}, {l, kChurchWall, w / 2}, 50);
    for (int side = -1; side <= 1; side += 2) {
        const float x = side * l;
        const Vec3 n{static_cast<float>(side), 0, 0};
        const std::uint32_t a = nave.AddVertex({x, kChurchWall, -w / 2}, n, -w / 2 / 50, 0);
        const std::uint32_t b = nave.AddVertex({x, kChurchWall, w / 2}, n, w / 2 / 50, 0);
        const std::uint32_t c = nave.AddVertex({x, kChurchWall + kChurchRoofRise, 0}, n, 0, -kChurchRoofRise / 50);
        nave.AddTriangle(a, b, c);
    }
    AddGableRoof(naveRoof, naveSnow, kChurchLength, w, kChurchWall, kChurchRoofRise);
    AddDrift(naveSnow, kChurchLength, w, 6, 10);
    stone.Append(nave, kPi / 2, {});
    shingles.Append(naveRoof, kPi / 2, {});
    snow.Append(naveSnow, kPi / 2, {});
    // The tower in front (local -z), with a spire and a cross.
    const float t = kTowerSize / 2, tz = -l - t;
    stone.AddBox({-t, 0, tz - t}, {t, kTowerHeight, tz + t}, 50);
    snow.AddBox({-t - 2, kTowerHeight, tz - t - 2}, {t + 2, kTowerHeight + 3, tz + t + 2}, 40);
    MeshBuilder spire;
    spire.AddFrustum({0, kTowerHeight + 3, 0}, t * 1.35f, 0, kSpireHeight, 4, 2, 4);
    shingles.Append(spire, kPi / 4, {0, 0, tz});
    const float top = kTowerHeight + 3 + kSpireHeight;
    iron.AddBox({-1, top - 2, tz - 1}, {1, top + 16, tz + 1}, 10);
    iron.AddBox({-6, top + 8, tz - 1}, {6, top + 10, tz + 1}, 10);
    // Belfry openings on all four sides, dark.
    const Vec3 sides[4] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
    for (const Vec3& n : sides) AddWindow(dark, snow, Vec3{n.x * t, kTowerHeight - 22, tz + n.z * t}, n, 14, 20);
    // The door in the tower and tall lit windows along the nave.
    const Vec3 door[4] = {{-9, 30, tz - t - 0.5f}, {9, 30, tz - t - 0.5f}, {9, 0, tz - t - 0.5f}, {-9, 0, tz - t - 0.5f}};
    const float uv[8] = {0, 0, 0.6f, 0, 0.6f, 1, 0, 1};
    planks.AddQuad(door, {0, 0, -1}, uv);
    std::vector<WindowSpot> spots;
    for (int i = -1; i <= 1; ++i) {
        spots.push_back({{-w / 2, 30, i * 45.0f}, {-1, 0, 0}, true});
        spots.push_back({{w / 2, 30, i * 45.0f}, {1, 0, 0}, true});
    }
    spots.push_back({{0, 66, tz - t}, {0, 0, -1}, true});
    for (const WindowSpot& s : spots) {
        AddWindow(lit, snow, s.centre, s.normal, 12, 24);
        if (windows) windows->push_back(s);
    }
    std::vector<ModelPart> parts;
    parts.push_back({"Walls", "Stone", std::move(stone)});
    parts.push_back({"Roof", "Shingles", std::move(shingles)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    parts.push_back({"Windows", "WindowLit", std::move(lit)});
    parts.push_back({"Belfry", "WindowDark", std::move(dark)});
    parts.push_back({"Door", "Planks", std::move(planks)});
    parts.push_back({"Cross", "Iron", std::move(iron)});
    return parts;
}

namespace {

// One tier of boughs: a flat skirt from radius r at the base to 0.55 r, then a steeper cone
// to the tip, as three rings of vertices with the normals of both slopes blended between.
void AddFirTier(MeshBuilder& crown, float base, float radius, float skirt, float height) {
    const int sides = 8;
    const float inner = radius * 0.55f;
    const float rings[3][2] = {{radius, base}, {inner, base + skirt}, {0, base + height}};
    const float skirtSlope = (radius - inner) / skirt, coneSlope = inner / (height - skirt);
    const float slopes[3] = {skirtSlope, 0.5f * (skirtSlope + coneSlope), coneSlope};
    const float vs[3] = {radius / 30, (radius - inner) / 30 + 0.4f, 0};
    const std::uint32_t first = static_cast<std::uint32_t>(crown.Vertices().size());
    for (int r = 0; r < 3; ++r) {
        for (int s = 0; s <= sides; ++s) {
            const float a = 2 * kPi * static_cast<float>(s) / sides;
            const Vec3 out{std::sin(a), 0, std::cos(a)};
            crown.AddVertex(out * rings[r][0] + Vec3{0, rings[r][1], 0}, Normalize({out.x, slopes[r], out.z}),
                            3.0f * static_cast<float>(s) / sides, vs[r]);
        }
    }
    const std::uint32_t row = sides + 1;
    for (std::uint32_t s = 0; s < sides; ++s) {
        const std::uint32_t a = first + s;
        crown.AddTriangle(a, a + 1, a + row);
        crown.AddTriangle(a + 1, a + row + 1, a + row);
        crown.AddTriangle(a + row, a + row + 1, a + 2 * row);
    }
}

}  // namespace

MeshBuilder FirCrown(const FirPlan& f) {
    MeshBuilder crown;
    const int tiers = f.height > 120 ? 4 : 3;
    const float start = 0.1f * f.height, span = f.height - start;
    for (int i = 0; i < tiers; ++i) {
        const float base = start + span * 0.8f * static_cast<float>(i) / static_cast<float>(tiers);
        const float height = i == tiers - 1 ? f.height - base : std::min(f.height - base, span * 1.7f / static_cast<float>(tiers));
        const float radius = f.radius * (1.0f - 0.7f * static_cast<float>(i) / static_cast<float>(tiers));
        AddFirTier(crown, base, radius, height * 0.22f, height);
    }
    return crown;
}

MeshBuilder FirTrunk(const FirPlan& f) {
    MeshBuilder trunk;
    trunk.AddFrustum({0, 0, 0}, f.height * 0.045f, f.height * 0.03f, f.height * 0.35f, 5, 1, f.height * 0.35f / 40);
    return trunk;
}

std::vector<ModelPart> SnowmanModel() {
    MeshBuilder body, carrot, scarf, coal;
    body.AddEllipsoid({0, 12, 0}, {15, 13, 15}, 12, 7);
    body.AddEllipsoid({0, 31, 0}, {10.5f, 9.5f, 10.5f}, 10, 6);
    body.AddEllipsoid({0, 45, 0}, {7, 7, 7}, 10, 6);
    // The carrot nose points along -z (the front).
    const Vec3 tip{0, 45, -16};
    for (int s = 0; s < 6; ++s) {
        const float a0 = 2 * kPi * s / 6, a1 = 2 * kPi * (s + 1) / 6;
        const Vec3 p0{1.6f * std::cos(a0), 45 + 1.6f * std::sin(a0), -6.5f}, p1{1.6f * std::cos(a1), 45 + 1.6f * std::sin(a1), -6.5f};
        const Vec3 n0{std::cos(a0), std::sin(a0), -0.2f}, n1{std::cos(a1), std::sin(a1), -0.2f};
        const std::uint32_t i0 = carrot.AddVertex(p0, n0, 0, 1), i1 = carrot.AddVertex(p1, n1, 1, 1);
        carrot.AddTriangle(i0, i1, carrot.AddVertex(tip, (n0 + n1) * 0.5f, 0.5f, 0));
    }
    scarf.AddFrustum({0, 37, 0}, 8.6f, 7.6f, 4, 10, 1, 1);
    scarf.AddBox({3, 26, -9.5f}, {7, 37, -7.5f}, 10);
    coal.AddBox({-3.2f, 46.5f, -7}, {-1.6f, 48.1f, -5.6f}, 10);
    coal.AddBox({1.6f, 46.5f, -7}, {3.2f, 48.1f, -5.6f}, 10);
    for (int i = 0; i < 3; ++i) coal.AddBox({-0.9f, 26.0f + 4 * i - 14, -12.8f + i * 0.9f}, {0.9f, 27.8f + 4 * i - 14, -11.4f + i * 0.9f}, 10);
    coal.AddFrustum({0, 50.5f, 0}, 5, 5, 9, 10, 1, 1);
    coal.AddDisc({0, 59.5f, 0}, 5, 5, 10, true, 10);
    coal.AddDisc({0, 50.5f, 0}, 8, 8, 12, true, 10);
    std::vector<ModelPart> parts;
    parts.push_back({"Body", "Snow", std::move(body)});
    parts.push_back({"Nose", "Carrot", std::move(carrot)});
    parts.push_back({"Scarf", "Scarf", std::move(scarf)});
    parts.push_back({"Coal", "Coal", std::move(coal)});
    return parts;
}

std::vector<ModelPart> WellModel() {
    MeshBuilder stone, planks, snow, water;
    stone.AddFrustum({0, 0, 0}, 13, 12, 12, 10, 2, 0.4f);
    stone.AddFrustum({0, 0, 0}, 10, 10, 12, 10, 2, 0.4f);
    snow.AddDisc({0, 12.3f, 0}, 13, 13, 10, true, 30);
    water.AddDisc({0, 9, 0}, 10, 10, 10, true, 20);
    planks.AddBox({-12, 12, -1.5f}, {-9, 32, 1.5f}, 20);
    planks.AddBox({9, 12, -1.5f}, {12, 32, 1.5f}, 20);
    for (int side = -1; side <= 1; side += 2) {
        const Vec3 roof[4] = {{-16, 30, side * 12.0f}, {16, 30, side * 12.0f}, {16, 40, 0}, {-16, 40, 0}};
        planks.AddSlab(roof, Normalize({0, 12, side * 10.0f}), 1.5f, 20);
        const Vec3 cover[4] = {{-16.5f, 33, side * 12.5f}, {16.5f, 33, side * 12.5f}, {16.5f, 43, 0}, {-16.5f, 43, 0}};
        snow.AddSlab(cover, Normalize({0, 12, side * 10.0f}), 3, 30);
    }
    std::vector<ModelPart> parts;
    parts.push_back({"Stone", "Stone", std::move(stone)});
    parts.push_back({"Frame", "Planks", std::move(planks)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    parts.push_back({"Water", "Ice", std::move(water)});
    return parts;
}

std::vector<ModelPart> LampModel() {
    MeshBuilder iron, glass, snow;
    iron.AddBox({-1.2f, 0, -1.2f}, {1.2f, 38, 1.2f}, 10);
    iron.AddBox({-3, 0, -3}, {3, 4, 3}, 10);
    iron.AddBox({-4, 37, -4}, {4, 38.5f, 4}, 10);
    glass.AddBox({-3.2f, 38.5f, -3.2f}, {3.2f, 46, 3.2f}, 10);
    MeshBuilder cap;
    cap.AddFrustum({0, 46, 0}, 6, 0, 5, 4, 1, 1);
    iron.Append(cap, kPi / 4, {});
    snow.AddFrustum({0, 48.2f, 0}, 3.6f, 0, 3.2f, 4, 1, 0.2f);
    std::vector<ModelPart> parts;
    parts.push_back({"Post", "Iron", std::move(iron)});
    parts.push_back({"Lantern", "LampGlass", std::move(glass)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    return parts;
}

std::vector<ModelPart> FenceModel(const FenceLine& line) {
    MeshBuilder planks, snow;
    const Vec3 delta = line.to - line.from;
    const float length = Length(delta);
    const int sections = std::max(1, static_cast<int>(std::lround(length / 28)));
    const bool alongX = std::fabs(delta.x) >= std::fabs(delta.z);
    auto box = [&](MeshBuilder& m, Vec3 a, Vec3 b, float halfAcross, float tile) {
        const Vec3 lo{std::min(a.x, b.x), a.y, std::min(a.z, b.z)}, hi{std::max(a.x, b.x), b.y, std::max(a.z, b.z)};
        const Vec3 pad = alongX ? Vec3{0, 0, halfAcross} : Vec3{halfAcross, 0, 0};
        m.AddBox(lo - pad, hi + pad, tile);
    };
    for (int i = 0; i <= sections; ++i) {
        const Vec3 p = line.from + delta * (static_cast<float>(i) / static_cast<float>(sections));
        planks.AddBox({p.x - 1.5f, 0, p.z - 1.5f}, {p.x + 1.5f, 18, p.z + 1.5f}, 20);
        snow.AddBox({p.x - 2, 18, p.z - 2}, {p.x + 2, 20.5f, p.z + 2}, 20);
    }
    box(planks, Vec3{line.from.x, 6, line.from.z}, Vec3{line.to.x, 9, line.to.z}, 0.7f, 30);
    box(planks, Vec3{line.from.x, 13, line.from.z}, Vec3{line.to.x, 16, line.to.z}, 0.7f, 30);
    box(snow, Vec3{line.from.x, 16, line.from.z}, Vec3{line.to.x, 17.8f, line.to.z}, 1.1f, 30);
    std::vector<ModelPart> parts;
    parts.push_back({"Rails", "Planks", std::move(planks)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    return parts;
}

std::vector<ModelPart> WoodpileModel() {
    MeshBuilder bark, snow;
    bark.AddBox({-14, 0, -5}, {14, 12, 5}, 16);
    snow.AddBox({-15, 12, -6}, {15, 15, 6}, 30);
    std::vector<ModelPart> parts;
    parts.push_back({"", "Bark", std::move(bark)});
    parts.push_back({"Snow", "Snow", std::move(snow)});
    return parts;
}

MeshBuilder GroundTile(float x0, float z0, float x1, float z1, float cell) {
    MeshBuilder ground;
    // Whole cells of about the size asked for, ending exactly on the tile's edges: tiles meet
    // at shared seam vertices and never overlap (overlapping ground fights in the depth buffer).
    const int nx = std::max(1, static_cast<int>(std::lround((x1 - x0) / cell)));
    const int nz = std::max(1, static_cast<int>(std::lround((z1 - z0) / cell)));
    for (int j = 0; j <= nz; ++j) {
        for (int i = 0; i <= nx; ++i) {
            const float x = i == nx ? x1 : x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(nx);
            const float z = j == nz ? z1 : z0 + (z1 - z0) * static_cast<float>(j) / static_cast<float>(nz);
            const float e = 2.0f;
            const Vec3 n = Normalize({GroundHeight(x - e, z) - GroundHeight(x + e, z), 2 * e,
                                      GroundHeight(x, z - e) - GroundHeight(x, z + e)});
            ground.AddVertex({x, GroundHeight(x, z), z}, n, x / 140, -z / 140);
        }
    }
    const std::uint32_t row = static_cast<std::uint32_t>(nx) + 1;
    for (int j = 0; j < nz; ++j) {
        for (int i = 0; i < nx; ++i) {
            const std::uint32_t a = static_cast<std::uint32_t>(j) * row + static_cast<std::uint32_t>(i);
            ground.AddTriangle(a, a + 1, a + row + 1);
            ground.AddTriangle(a, a + row + 1, a + row);
        }
    }
    return ground;
}

MeshBuilder PondIce(float rx, float rz) {
    MeshBuilder ice;
    ice.AddDisc({0, 0.8f, 0}, rx, rz, 28, true, 160);
    return ice;
}

MeshBuilder PondBank(float rx, float rz) {
    MeshBuilder bank;
    const int sides = 28;
    for (int s = 0; s <= sides; ++s) {
        const float a = 2 * kPi * s / sides;
        const Vec3 dir{std::sin(a), 0, std::cos(a)};
        const Vec3 inner{dir.x * (rx - 3), 2.2f, dir.z * (rz - 3)}, outer{dir.x * (rx + 16), 0, dir.z * (rz + 16)};
        const Vec3 n = Normalize(Vec3{dir.x * 0.3f, 1, dir.z * 0.3f});
        bank.AddVertex(inner, n, inner.x / 60, -inner.z / 60);
        bank.AddVertex(outer, n, outer.x / 60, -outer.z / 60);
        if (s > 0) {
            const std::uint32_t i = static_cast<std::uint32_t>(2 * s);
            bank.AddTriangle(i - 2, i, i - 1);
            bank.AddTriangle(i - 1, i, i + 1);
        }
    }
    return bank;
}

MeshBuilder SkyDome(float radius) {
    MeshBuilder dome;
    const int slices = 16;
    const float rings[] = {-20, 0, 8, 20, 38, 60, 90};
    const int count = static_cast<int>(sizeof rings / sizeof rings[0]);
    for (int r = 0; r < count; ++r) {
        const float e = rings[r] * kPi / 180;
        for (int s = 0; s <= slices; ++s) {
            const float a = 2 * kPi * s / slices;
            const Vec3 p{radius * std::cos(e) * std::sin(a), radius * std::sin(e), radius * std::cos(e) * std::cos(a)};
            dome.AddVertex(p, p * -1.0f, 2.0f * s / slices, std::clamp(1.0f - rings[r] / 90, 0.0f, 0.995f));
        }
    }
    const std::uint32_t row = slices + 1;
    for (int r = 0; r + 1 < count; ++r) {
        for (int s = 0; s < slices; ++s) {
            const std::uint32_t a = static_cast<std::uint32_t>(r) * row + static_cast<std::uint32_t>(s);
            dome.AddTriangle(a, a + 1, a + row + 1);
            if (r + 2 < count) dome.AddTriangle(a, a + row + 1, a + row);  // the top ring meets in one point
        }
    }
    return dome;
}

MeshBuilder HillsRing(float radius, float bottom, float top) {
    MeshBuilder ring;
    const int sides = 24;
    for (int s = 0; s <= sides; ++s) {
        const float a = 2 * kPi * s / sides;
        const Vec3 out{std::sin(a), 0, std::cos(a)};
        ring.AddVertex(out * radius + Vec3{0, bottom, 0}, out * -1.0f, 3.0f * s / sides, 0.99f);
        ring.AddVertex(out * radius + Vec3{0, top, 0}, out * -1.0f, 3.0f * s / sides, 0.01f);
        if (s > 0) {
            const std::uint32_t i = static_cast<std::uint32_t>(2 * s);
            ring.AddTriangle(i - 2, i, i - 1);
            ring.AddTriangle(i - 1, i, i + 1);
        }
    }
    return ring;
}

MeshBuilder SpriteQuad(float size, bool upright) {
    MeshBuilder quad;
    const float h = size / 2;
    const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    if (upright) {
        const Vec3 c[4] = {{-h, h, 0}, {h, h, 0}, {h, -h, 0}, {-h, -h, 0}};
        quad.AddQuad(c, {0, 0, -1}, uv);
    } else {
        const Vec3 c[4] = {{-h, 0, h}, {h, 0, h}, {h, 0, -h}, {-h, 0, -h}};
        quad.AddQuad(c, {0, 1, 0}, uv);
    }
    return quad;
}

#include "tools/mediagen/village_layout.h"

#include "tools/mediagen/camera_paths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kPi = 3.14159265f;

// A repeatable number in [0, 1) for integer coordinates.
float Hash01(int a, int b, int salt) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 0x8DA6B343u ^ static_cast<std::uint32_t>(b) * 0xD8163841u ^
                      static_cast<std::uint32_t>(salt) * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
}

bool Overlaps(const Box3& a, const Box3& b) {
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
           a.min.z <= b.max.z && b.min.z <= a.max.z;
}

Box3 Grow(Box3 box, float by) {
    box.min = box.min - Vec3{by, by, by};
    box.max = box.max + Vec3{by, by, by};
    return box;
}

Box3 HouseBounds(const HousePlan& h) {
    const float halfW = h.width / 2 + kRoofOverhang, halfD = h.depth / 2 + kRoofOverhang;
    return TurnedBounds({-halfW, 0, -halfD}, {halfW, h.wallHeight + h.roofRise + 14, halfD}, h.angle, h.position);
}

std::vector<Box3> ChurchBounds(const ChurchPlan& c) {
    const float l = kChurchLength / 2, w = kChurchWidth / 2 + kRoofOverhang;
    const float t = kTowerSize / 2 + 2;
    return {TurnedBounds({-w, 0, -l - kRoofOverhang}, {w, kChurchWall + kChurchRoofRise + 6, l + kRoofOverhang}, c.angle, c.position),
            TurnedBounds({-t, 0, -l - kTowerSize - 2}, {t, kTowerHeight + kSpireHeight + 16, -l + 2}, c.angle,
                         c.position)};
}

// Points along every flight, one per path unit, for keeping the firs out of their way.
std::vector<Vec3> FlightSamples() {
    std::vector<Vec3> samples;
    for (const CameraPath& path : CameraPaths()) {
        const float end = path.keys.back().time;
        for (float t = 0; t <= end; t += 1.0f) samples.push_back(EvaluatePathPosition(path.keys, t));
    }
    return samples;
}

// Whether a fir at p of the given height and radius keeps clear of every flight.
bool ClearOfFlights(const std::vector<Vec3>& flights, Vec3 p, float height, float radius) {
    const Box3 fir = Grow({{p.x - radius, p.y, p.z - radius}, {p.x + radius, p.y + height, p.z + radius}}, 28);
    return std::none_of(flights.begin(), flights.end(), [&](const Vec3& c) {
        return c.x >= fir.min.x && c.x <= fir.max.x && c.y >= fir.min.y && c.y <= fir.max.y && c.z >= fir.min.z &&
               c.z <= fir.max.z;
    });
}

// How much the ground at (x, z) wants a fir: the west wood, the slopes, scattered elsewhere.
float WoodDensity(float x, float z) {
    const float r = std::sqrt(x * x + z * z);
    if (x < -540) return 0.8f;                                      // the fir wood
    if (r > 700) return 0.45f;                                      // wooded slopes
    if (z > 560 || (x > 560 && std::fabs(z) > 120)) return 0.4f;    // behind the church, east fields
    return 0.1f;                                                    // a few in the village
}

VillageLayout BuildVillage() {
    VillageLayout v;
    // Houses along the main street: north side faces -z (angle 0), south side faces +z.
    const float north[] = {-405, -250, -95, 85, 250, 410};
    const float south[] = {-395, -235, -65, 105, 265, 425};
    for (int i = 0; i < 6; ++i) {
        for (int side = 0; side < 2; ++side) {
            HousePlan h{};
            const float jitter = Hash01(i, side, 1) - 0.5f;
            h.width = 72 + 16 * Hash01(i, side, 2);
            h.depth = 54 + 10 * Hash01(i, side, 3);
            h.wallHeight = 30 + 8 * Hash01(i, side, 4);
            h.roofRise = 24 + 8 * Hash01(i, side, 5);
            h.chimney = Hash01(i, side, 6) < 0.75f;
            const float z = 118 + 10 * jitter;
            h.position = side == 0 ? Vec3{north[i] + 8 * jitter, 0, z} : Vec3{south[i] + 8 * jitter, 0, -z};
            h.angle = side == 0 ? 0.06f * jitter : kPi + 0.06f * jitter;
            v.houses.push_back(h);
        }
    }
    v.church = {{30, 0, 420}, 0};
    v.pondCentre = {-270, 0, -400};
    v.pondRadiusX = 150;
    v.pondRadiusZ = 95;
    v.snowman = {-150, 0, -255};
    v.well = {-175, 0, 215};
    for (int i = 0; i < 7; ++i) v.lamps.push_back({-470 + 162 * static_cast<float>(i), 0, i % 2 == 0 ? 50.0f : -50.0f});
    v.lamps.push_back({-4, 0, 262});
    v.lamps.push_back({64, 0, 262});
    v.lamps.push_back({-105, 0, -330});
    // Fences: the pond's village side, the churchyard, and gardens behind the houses.
    v.fences = {{{-420, 0, -290}, {-300, 0, -290}},  {{-240, 0, -290}, {-120, 0, -290}},
                {{-60, 0, 290}, {-60, 0, 540}},      {{120, 0, 290}, {120, 0, 540}},
                {{-60, 0, 540}, {120, 0, 540}},      {{-60, 0, 290}, {-14, 0, 290}},
                {{74, 0, 290}, {120, 0, 290}},       {{-470, 0, 190}, {-330, 0, 190}},
                {{170, 0, 190}, {330, 0, 190}},      {{-460, 0, -190}, {-300, 0, -190}},
                {{180, 0, -190}, {480, 0, -190}}};
    // Firs: a jittered grid thinned by the wood density, clear of buildings and flights.
    std::vector<Box3> keepOut;
    for (const HousePlan& h : v.houses) keepOut.push_back(Grow(HouseBounds(h), 30));
    for (const Box3& b : ChurchBounds(v.church)) keepOut.push_back(Grow(b, 30));
    keepOut.push_back({{-600, -1, -70}, {600, 400, 70}});  // the main street
    keepOut.push_back({{-40, -1, 70}, {100, 400, 320}});   // the lane to the church
    keepOut.push_back({{-90, -1, 270}, {150, 400, 570}});  // the churchyard
    keepOut.push_back({{v.pondCentre.x - v.pondRadiusX - 40, -1, v.pondCentre.z - v.pondRadiusZ - 40},
                       {v.pondCentre.x + v.pondRadiusX + 40, 400, v.pondCentre.z + v.pondRadiusZ + 40}});
    keepOut.push_back({{v.snowman.x - 40, -1, v.snowman.z - 40}, {v.snowman.x + 40, 400, v.snowman.z + 40}});
    keepOut.push_back({{v.well.x - 40, -1, v.well.z - 40}, {v.well.x + 40, 400, v.well.z + 40}});
    for (const Vec3& l : v.lamps) keepOut.push_back({{l.x - 30, -1, l.z - 30}, {l.x + 30, 400, l.z + 30}});
    const std::vector<Vec3> flights = FlightSamples();
    const float spacing = 88;
    const int cells = static_cast<int>(1180 / spacing);
    for (int gz = -cells; gz <= cells; ++gz) {
        for (int gx = -cells; gx <= cells; ++gx) {
            const float x = gx * spacing + (Hash01(gx, gz, 10) - 0.5f) * spacing * 0.8f;
            const float z = gz * spacing + (Hash01(gx, gz, 11) - 0.5f) * spacing * 0.8f;
            if (std::sqrt(x * x + z * z) > 1200 || Hash01(gx, gz, 12) > WoodDensity(x, z)) continue;
            FirPlan f{};
            f.position = {x, GroundHeight(x, z), z};
            f.height = 70 + 100 * Hash01(gx, gz, 13);
            if (x < -540) f.height += 20;
            f.radius = f.height * (0.3f + 0.06f * Hash01(gx, gz, 14));
            const Box3 box{{x - f.radius, f.position.y, z - f.radius}, {x + f.radius, f.position.y + f.height, z + f.radius}};
            if (std::any_of(keepOut.begin(), keepOut.end(), [&](const Box3& k) { return Overlaps(k, box); })) continue;
            if (!ClearOfFlights(flights, f.position, f.height, f.radius)) continue;
            v.firs.push_back(f);
        }
    }
    return v;
}

}  // namespace

float GroundHeight(float x, float z) {
    const float r = std::sqrt(x * x + z * z);
    if (r <= kValleyRadius) return 0;
    const float t = std::min((r - kValleyRadius) / 700.0f, 1.0f);
    const float rise = t * t * (3 - 2 * t);
    const float angle = std::atan2(z, x);
    const float ridges = 0.75f + 0.25f * std::sin(3 * angle + 0.7f) * std::sin(5 * angle);
    return 300 * rise * ridges;
}

Vec3 PlaceLocal(Vec3 local, float angle, Vec3 position) { return RotateY(local, angle) + position; }

Box3 TurnedBounds(Vec3 a, Vec3 b, float angle, Vec3 position) {
    Box3 out{{1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}};
    for (int k = 0; k < 8; ++k) {
        const Vec3 corner{k & 1 ? b.x : a.x, k & 2 ? b.y : a.y, k & 4 ? b.z : a.z};
        const Vec3 p = PlaceLocal(corner, angle, position);
        out.min = {std::min(out.min.x, p.x), std::min(out.min.y, p.y), std::min(out.min.z, p.z)};
        out.max = {std::max(out.max.x, p.x), std::max(out.max.y, p.y), std::max(out.max.z, p.z)};
    }
    return out;
}

std::vector<Box3> VillageLayout::Obstacles() const {
    std::vector<Box3> boxes;
    for (const HousePlan& h : houses) boxes.push_back(HouseBounds(h));
    for (const Box3& b : ChurchBounds(church)) boxes.push_back(b);
    for (const FirPlan& f : firs)
        boxes.push_back({{f.position.x - f.radius, f.position.y, f.position.z - f.radius},
                         {f.position.x + f.radius, f.position.y + f.height, f.position.z + f.radius}});
    for (const Vec3& l : lamps) boxes.push_back({{l.x - 6, 0, l.z - 6}, {l.x + 6, kLampHeight + 8, l.z + 6}});
    boxes.push_back({{snowman.x - 16, 0, snowman.z - 16}, {snowman.x + 16, 62, snowman.z + 16}});
    boxes.push_back({{well.x - 16, 0, well.z - 16}, {well.x + 16, 42, well.z + 16}});
    for (const FenceLine& f : fences)
        boxes.push_back({{std::min(f.from.x, f.to.x) - 3, 0, std::min(f.from.z, f.to.z) - 3},
                         {std::max(f.from.x, f.to.x) + 3, 20, std::max(f.from.z, f.to.z) + 3}});
    return boxes;
}

const VillageLayout& Village() {
    static const VillageLayout village = BuildVillage();
    return village;
}

#pragma once
// The plan of the village: where the houses, the church, the firs, the pond, the snowman,
// the lamps and the fences stand. The ground is flat (y = 0) across the valley floor and
// rises into hills beyond kValleyRadius. Positions are world units; the village spans about
// 1,500 units across the main street, which runs along x at z = 0.
//
// Obstacles() lists a box around everything solid that a camera must keep out of; the firs
// are placed clear of every camera flight (camera_paths.h), the buildings by design.

#include "tools/mediagen/mesh_builder.h"

#include <vector>

constexpr float kValleyRadius = 820.0f;
constexpr float kGroundExtent = 1560.0f;  // the ground covers [-extent, extent] on x and z

struct Box3 {
    Vec3 min, max;
};

struct HousePlan {
    Vec3 position;      // centre of the ground plan
    float angle;        // turn about y; the front (door) faces local -z
    float width, depth;  // along local x and z
    float wallHeight, roofRise;
    bool chimney;
};

struct ChurchPlan {
    Vec3 position;  // centre of the nave's ground plan; the tower stands in front, at local -z
    float angle;
};

struct FirPlan {
    Vec3 position;  // the foot of the trunk
    float height;
    float radius;   // of the lowest tier
};

struct FenceLine {
    Vec3 from, to;
};

struct VillageLayout {
    std::vector<HousePlan> houses;
    ChurchPlan church{};
    std::vector<FirPlan> firs;
    Vec3 pondCentre;
    float pondRadiusX = 0, pondRadiusZ = 0;
    Vec3 snowman;
    Vec3 well;
    std::vector<Vec3> lamps;  // the foot of each lamp post
    std::vector<FenceLine> fences;

    // World boxes of every solid thing a flight must keep out of.
    std::vector<Box3> Obstacles() const;
};

// The village, built once.
const VillageLayout& Village();

float GroundHeight(float x, float z);

// Local-to-world helpers for a plan turned by angle about y and placed at position.
Vec3 PlaceLocal(Vec3 local, float angle, Vec3 position);
// World box around a local box turned by angle about y and placed at position.
Box3 TurnedBounds(Vec3 localMin, Vec3 localMax, float angle, Vec3 position);

// Church and house dimensions shared by the models and the obstacle boxes.
constexpr float kChurchLength = 160, kChurchWidth = 72, kChurchWall = 58, kChurchRoofRise = 42;
constexpr float kTowerSize = 44, kTowerHeight = 132, kSpireHeight = 78;
constexpr float kLampHeight = 46;
constexpr float kRoofOverhang = 9;

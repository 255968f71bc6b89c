#pragma once
// The fourteen camera flights ("frostvalen01.cam" …): calm paths through the village, each
// a smooth curve through hand-placed waypoints, resampled into one position key and one
// rotation key every 80 path units (8 seconds), from 0 to between 720 and 1040.
//
// Rotation keys turn +z into the viewing direction and +y into an up vector in the vertical
// plane of the view (no roll). Positions between keys follow the engine's Hermite spline
// (tangents from the neighbouring keys), which EvaluatePathPosition reproduces, so the
// layout can keep trees out of every flight's way.

#include "tools/mediagen/mesh_builder.h"
#include "tools/mediagen/scene_settings.h"

#include <string>
#include <vector>

constexpr float kPathKeySpacing = 80.0f;

struct CameraKey {
    float time = 0;
    Vec3 position;
    float rotation[4] = {0, 0, 0, 1};  // quaternion x, y, z, w
};

struct CameraPath {
    std::vector<CameraKey> keys;
};

// The flights, built once.
const std::vector<CameraPath>& CameraPaths();

// The position on the spline through the keys at path time t (clamped to the keys' range).
Vec3 EvaluatePathPosition(const std::vector<CameraKey>& keys, float t);

// The quaternion (x, y, z, w) turning +z into direction without roll.
void LookRotation(Vec3 direction, float rotation[4]);
// A vector turned by a quaternion (x, y, z, w).
Vec3 Rotate(const float rotation[4], Vec3 v);



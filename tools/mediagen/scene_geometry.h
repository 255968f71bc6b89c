#pragma once
// The village scene ("frostvale.udf") and the camera paths ("frostvalen01.cam" …), written in
// the "UDF Binary 1.0" container. WriteSceneGeometry builds the village (houses, church, firs,
// pond, snowman, lamps, fences, sky dome, dust and sparkle quads, glow sprites, lights;
// scene_geometry.cpp) and WriteCameraPaths the fourteen flights listed in Scene.props
// (camera_paths.cpp). Both are deterministic and return false only when writing fails.

#include <string>

bool WriteSceneGeometry(const std::string& mediaDir);
bool WriteCameraPaths(const std::string& mediaDir);

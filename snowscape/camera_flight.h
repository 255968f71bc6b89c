#pragma once
// CameraFlight: flies the camera along prerecorded paths, one after another in random
// order, each path flown once before any is flown again.
//
// A path is a ".cam" file: a UDF document whose top-level elements are keys, one 32-byte
// key record each; type name "pos" makes a position key, any other a rotation key. The keys
// go into the position and rotation tracks of the path node. Path time counts 10 units per
// second (0.01 per millisecond of the path clock). Once the path time passes the end of the
// path's range the flown name is retired, the next one picked and loaded, the time goes back
// to the range start, and the free camera takes the path node's pose.
//
// The free camera is used whenever no path with keys is active: before Start, when the
// name list is empty, and after a path failed to load (then no further switch happens, and
// the free camera keeps the pose it was given). Unreadable path files are silent.

#include "core/byte_string.h"
#include "scene/scene_node.h"
#include "snowscape/camera_pose.h"
#include "snowscape/path_list.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The path clock: path units per millisecond.
constexpr double kPathUnitsPerMs = 0.01;
// The fade runs over this many path units at each end of a path.
constexpr float kPathFadeUnits = 10.0f;

class CameraFlight {
public:
    // The names of the scene tuning record's camera path list.
    CameraFlight();
    explicit CameraFlight(const std::vector<String>& pathNames);
    CameraFlight(const CameraFlight&) = delete;
    CameraFlight& operator=(const CameraFlight&) = delete;

    // Puts the free camera at (-370, 100, -250), looking along +z with +y up.
    void PlaceFreeCamera();
    // Path active, time 0, a path picked and loaded, the path clock started at nowMs.
    void Start(std::int64_t nowMs);
    void Start();
    // Clears the path node's position and rotation tracks, then reads "/" + name from the
    // media folder into them. False (tracks left empty) when the file cannot be read or
    // holds no key.
    bool LoadPath(const String& name);

    // One frame: applies the path at the path time, advances the path clock to nowMs,
    // switches paths at the end of one, and returns the pose of the node in use.
    CameraPose Update(std::int64_t nowMs);
    CameraPose Update();

    // The fade overlay's alpha for this frame (1: black): within kPathFadeUnits of either
    // end of an active path; none elsewhere or without a path.
    std::optional<float> FadeAlpha() const;

    bool IsActive() const { return active_; }
    float PathTime() const { return pathTime_; }
    void SetPathTime(float time) { pathTime_ = time; }
    // The path's range in path units; false when the path node has no keys.
    bool PathRange(float& start, float& end) const;
    // Whether the last Update used the free camera.
    bool UsedFreeCamera() const { return usedFree_; }
    // The name of the path loaded last (empty before any).
    const String& LoadedPath() const { return loaded_; }

    SceneNode& PathNode() { return pathNode_; }
    SceneNode& FreeCamera() { return freeCamera_; }
    TransformAnimation& PathAnimation() { return *pathNode_.Animation(); }
    PathList& Paths() { return paths_; }

private:
    void PickAndLoad();

    PathList paths_;
    SceneNode pathNode_;
    SceneNode freeCamera_;
    float pathTime_ = 0;
    std::int64_t clockStart_ = 0;
    bool active_ = false;
    bool usedFree_ = true;
    String loaded_;
};

// Adds the keys of a camera path file held in memory to the animation's position and
// rotation tracks, in element order; elements of fewer than 32 bytes and keys whose time is
// not finite are skipped. Returns the number of keys read; 0 when the bytes are not a UDF
// document.
int ReadCameraPath(const std::uint8_t* data, std::size_t size, TransformAnimation& animation);

// A node's pose as its local matrix gives it: position from the translation row, direction
// and up from the +z and +y rows.
CameraPose PoseOf(SceneNode& node);
// Gives the node's transform that position, direction and up.
void PlaceNode(SceneNode& node, const CameraPose& pose);

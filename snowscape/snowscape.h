#pragma once
// Snowscape: the running scene: the village loaded from the scene file with its textures,
// the roles of its nodes, the snow, the camera flight, and the per-frame drawing between
// the clear and Present: the camera, the billboards and effects, view and projection,
// ambient light, the sky around the camera, fog, the node tree through its batches with the
// lights, the glow billboards, the snow, and the fade at the ends of each path.

#include "render/texture_cache.h"
#include "scene/scene.h"
#include "snowscape/camera_flight.h"
#include "snowscape/camera_pose.h"
#include "snowscape/fade_overlay.h"
#include "snowscape/frame_camera.h"
#include "snowscape/scene_roles.h"
#include "snowscape/snow_system.h"

#include <cstdint>
#include <memory>
#include <vector>

class TextOverlay;

class Snowscape {
public:
    // Flies the scene tuning's camera paths, or only the names given.
    Snowscape();
    explicit Snowscape(const std::vector<String>& pathNames);
    ~Snowscape();
    Snowscape(const Snowscape&) = delete;
    Snowscape& operator=(const Snowscape&) = delete;

    // Loads the scene file (one that cannot be loaded is logged and what was built stays),
    // gives the nodes their roles, makes the snow renderer, places the free camera and
    // seeds the first flakes around it. False when the snow renderer cannot be made.
    bool Create();
    // Starts the clocks: the snow's spawning and the camera flight.
    void Start();
    // Draws the frame for a client area of width x height, from the camera to the end of
    // the scene, with the text overlay (when given) over it after a depth clear. False when
    // the device refused to begin the scene.
    bool Draw(int width, int height, TextOverlay* overlay = nullptr);
    // Draws everything once, unculled, from where the camera stands, into a corner of
    // kWarmUpViewportSize pixels of the back buffer, without moving the flight, the snow or
    // the effects: the renderer builds its programs for the frame's states here, during the
    // loading screen, instead of in the first frames of the flight.
    void WarmUp(int width, int height);
    static constexpr DWORD kWarmUpViewportSize = 16;

    Scene& GetScene() { return *scene_; }
    SceneRoles& Roles() { return *roles_; }
    SnowSystem& Snow() { return *snow_; }
    CameraFlight& Flight() { return flight_; }
    const FrameCamera& Camera() const { return camera_; }

private:
    bool BeginFrame();
    // Stretches a scaled scene to full size, clears depth, draws the overlay (when given) and
    // ends the scene.
    void EndFrame(TextOverlay* overlay = nullptr);
    void DrawSky(std::int64_t nowMs);
    void DrawHierarchy(std::int64_t nowMs, bool warming);
    void DrawSnow(bool warming);

    TextureCache textures_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<SceneRoles> roles_;  // released before the scene
    std::unique_ptr<SnowSystem> snow_;
    RenderQueue billboardQueue_;
    CameraFlight flight_;
    FrameCamera camera_;
    FadeOverlay fade_;
};

// The scene file, inside the media folder.
extern const char* const kSceneFile;  // "/frostvale.udf"

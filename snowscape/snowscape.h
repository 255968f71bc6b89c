#pragma once
// Snowscape: the running scene: the village loaded from the scene file with its textures,
// the roles of its nodes, the camera that looks at it, and the per-frame drawing between
// the clear and Present: view and projection, ambient light, the sky around the camera,
// fog, the node tree through its batches with the lights, the glow billboards, the snow.

#include "render/texture_cache.h"
#include "scene/scene.h"
#include "snowscape/camera_pose.h"
#include "snowscape/scene_roles.h"
#include "snowscape/snow_system.h"

#include <memory>

class Snowscape {
public:
    Snowscape();
    ~Snowscape();
    Snowscape(const Snowscape&) = delete;
    Snowscape& operator=(const Snowscape&) = delete;

    // Loads the scene file (one that cannot be loaded is logged and what was built stays),
    // gives the nodes their roles, makes the snow renderer, places the camera and seeds the
    // first flakes. False when the snow renderer cannot be made.
    bool Create();
    // Starts the clocks: the snow's spawning.
    void Start();
    // Draws the frame for a client area of width x height, from the projection to the end
    // of the scene. False when the device refused to begin the scene.
    bool Draw(int width, int height);

    Scene& GetScene() { return *scene_; }
    SceneRoles& Roles() { return *roles_; }
    SnowSystem& Snow() { return *snow_; }
    const CameraPose& Camera() const { return camera_; }

private:
    void SetViewStates(int width, int height);
    void DrawSky();
    void DrawHierarchy();
    void DrawSnow();

    TextureCache textures_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<SceneRoles> roles_;  // released before the scene
    std::unique_ptr<SnowSystem> snow_;
    RenderQueue billboardQueue_;
    CameraPose camera_;
    D3DXMATRIX view_;
    D3DXMATRIX projection_;
};

// The scene file, inside the media folder.
extern const char* const kSceneFile;  // "/frostvale.udf"

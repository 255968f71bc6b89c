#pragma once
// SceneRoles: what the scene's top-level nodes do, by name. "Sky" is the sky, drawn around
// the camera; "Dust" and "Bliss" are effects (puffs of snow dust that drift off and fade,
// sparkles that flash in place); "Fir" sways on a shared animation, each tree out of step;
// "Follow" with a mesh is a glow billboard that turns to the camera and grows with distance.
//
// An effect waits invisible (its mesh detached) until its start time, then plays: a motion
// from its rest placement and a fade in and out, rebuilt with fresh random numbers at each
// start. Random numbers come from the shared generator in a fixed order; a random range
// below 1 draws its number but adds nothing.

#include "scene/animation_player.h"
#include "scene/float_track.h"
#include "scene/scene_node.h"
#include "scene/transform_animation.h"
#include "snowscape/camera_pose.h"

#include <cstdint>
#include <memory>
#include <vector>

class MeshRenderable;
class Scene;
struct SceneSettings;

struct EffectRecord {
    SceneNode* node = nullptr;
    std::shared_ptr<MeshRenderable> visual;
    bool sparkle = false;
    bool active = false;
    bool facesCamera = false;
    float duration = 0;  // seconds
    float wait = 0;      // milliseconds
    AnimationPlayer player;
    TransformAnimation motion;
    FloatTrack fade;
    std::int64_t nextStart = 0;
    D3DXVECTOR3 restDirection{0, 0, 1};
    D3DXVECTOR3 restUp{0, 1, 0};
};

class SceneRoles {
public:
    SceneRoles();
    ~SceneRoles();
    SceneRoles(const SceneRoles&) = delete;
    SceneRoles& operator=(const SceneRoles&) = delete;

    // Gives the scene root's nodes their roles, in the root's walk order; the sky and the
    // billboards leave the root's list. The roles must be released before the scene.
    void Assign(Scene& scene, const SceneSettings& tuning, std::int64_t nowMs);

    // Once per frame, after the frame camera is known.
    void UpdateBillboards(const CameraPose& camera);
    void UpdateEffects(const CameraPose& camera, const SceneSettings& tuning, std::int64_t nowMs);

    SceneNode* Sky() const { return sky_.get(); }
    const std::vector<std::unique_ptr<SceneNode>>& Billboards() const { return billboards_; }
    // In walk order: the record added last, then the others in the order they were added.
    int EffectCount() const { return int(effects_.size()); }
    EffectRecord& EffectAt(int walkIndex);
    const TransformAnimation& Sway() const { return sway_; }
    int SwayingCount() const { return int(swayPlayers_.size()); }

private:
    void AddEffect(SceneNode& node, bool sparkle, const SceneSettings& tuning, std::int64_t nowMs);
    void StartEffect(EffectRecord& effect, const SceneSettings& tuning, std::int64_t nowMs);

    std::unique_ptr<SceneNode> sky_;
    std::vector<std::unique_ptr<SceneNode>> billboards_;
    std::vector<std::unique_ptr<EffectRecord>> effects_;
    TransformAnimation sway_;
    std::vector<std::pair<SceneNode*, std::unique_ptr<AnimationPlayer>>> swayPlayers_;
};

// The scale of a billboard at a distance from the camera: sqrt(d) x 0.1, d clamped to
// 0.1 ... 500.
float BillboardScale(float distance);

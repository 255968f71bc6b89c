#include "snowscape/scene_roles.h"

#include "core/number_text.h"
#include "core/random.h"
#include "scene/mesh_renderable.h"
#include "scene/scene.h"
#include "snowscape/scene_settings.h"

#include <algorithm>
#include <cmath>

namespace {

bool Contains(const String& name, const char* part) { return name.Find(part) >= 0; }

}  // namespace

float BillboardScale(float distance) {
    const float d = distance <= 0.1f ? 0.1f : (distance >= 500.0f ? 500.0f : distance);
    return std::sqrt(d) * 0.1f;
}

SceneRoles::SceneRoles() {
    static const struct {
        float time;
        D3DXVECTOR3 axis;
        float angle;
    } kSway[] = {{10, {0, 0, 1}, 0.02f}, {20, {0, 0, 1}, -0.02f}, {30, {1, 0, 0}, -0.02f},
                 {40, {1, 0, 0}, 0.02f}, {50, {0, 0, 1}, 0.02f}};
    for (const auto& key : kSway) sway_.Rotation().AddKey(MakeRotationKey(key.time, key.axis, key.angle, 0, 0, 1));
    sway_.Rotation().SetFlags(kTrackClosed);
}

SceneRoles::~SceneRoles() {
    // Nodes still in the scene drop the players about to go.
    for (auto& entry : swayPlayers_) entry.first->RemoveController(entry.second.get());
    for (auto& effect : effects_) {
        effect->node->RemoveController(&effect->player);
        if (!effect->active) effect->node->SetRenderable(effect->visual);
    }
}

EffectRecord& SceneRoles::EffectAt(int walkIndex) {
    const int count = int(effects_.size());
    return *effects_[std::size_t(walkIndex == 0 ? count - 1 : walkIndex - 1)];
}

void SceneRoles::AddEffect(SceneNode& node, bool sparkle, const SceneSettings& tuning, std::int64_t nowMs) {
    auto effect = std::make_unique<EffectRecord>();
    effect->node = &node;
    effect->visual = node.RenderableRef();
    effect->sparkle = sparkle;
    effect->facesCamera = Contains(node.Name(), "Face");
    effect->duration = sparkle ? tuning.blissTime : tuning.dustTime;
    effect->wait = sparkle ? tuning.blissWait : tuning.dustWait;
    if (!sparkle) {
        effect->restDirection = node.LocalTransform().Direction();
        effect->restUp = node.LocalTransform().Up();
    }
    if (RenderStateBlock* state = effect->visual ? effect->visual->State() : nullptr) {
        state->alphaFactor = 0;
        state->alphaMode = 4;
        state->blendType = 1;
    }
    node.AddController(&effect->player);
    node.SetRenderable(nullptr);
    effect->nextStart = nowMs + std::int64_t(Random() % 10) * 1000;
    effects_.push_back(std::move(effect));
}

void SceneRoles::Assign(Scene& scene, const SceneSettings& tuning, std::int64_t nowMs) {
    SceneNode& root = scene.Root();
    std::vector<SceneNode*> nodes;
    root.WalkChildren([&](SceneNode& node) { nodes.push_back(&node); });

    float swayStart = 0, swayEnd = 0;
    sway_.Range(swayStart, swayEnd);
    for (SceneNode* node : nodes) {
        const String& name = node->Name();
        if (Contains(name, "Sky")) {
            if (sky_ == nullptr) sky_ = root.RemoveChild(name);
            continue;
        }
        if (Contains(name, "Dust") || Contains(name, "Bliss")) {
            AddEffect(*node, Contains(name, "Bliss"), tuning, nowMs);
        } else if (Contains(name, "Fir")) {
            auto player = std::make_unique<AnimationPlayer>();
            player->Bind(&sway_);
            player->SetFlags(kPlayerLoop);
            if (swayEnd >= 1.0f) player->SetTimeOffset(float(RandomBelow(ClampToInt(swayEnd))));
            node->AddController(player.get());
            player->Start(nowMs);
            swayPlayers_.emplace_back(node, std::move(player));
        }
        if (Contains(name, "Follow") && node->Renderable() != nullptr) {
            if (RenderStateBlock* state = node->Renderable()->State()) {
                state->blendType = 1;
                state->depthMode = 0;
            }
            billboards_.push_back(root.RemoveChild(name));
        }
    }
    // The sky keeps the depth state it is drawn under (no test, no writes).
    if (sky_ != nullptr) {
        std::vector<SceneNode*> pending{sky_.get()};
        while (!pending.empty()) {
            SceneNode* node = pending.back();
            pending.pop_back();
            if (node->Renderable() != nullptr)
                if (RenderStateBlock* state = node->Renderable()->State()) state->depthMode = 2;
            node->WalkChildren([&](SceneNode& child) { pending.push_back(&child); });
        }
    }
}

void SceneRoles::UpdateBillboards(const CameraPose& camera) {
    for (auto& node : billboards_) {
        Transform& transform = node->LocalTransform();
        const D3DXVECTOR3 offset = transform.Position() - camera.position;
        const float distance = D3DXVec3Length(&offset);
        transform.SetDirection(camera.up);
        transform.SetUp(-camera.direction);
        const float scale = BillboardScale(distance);
        transform.SetScale({scale, scale, scale});
    }
}

void SceneRoles::StartEffect(EffectRecord& effect, const SceneSettings& tuning, std::int64_t nowMs) {
    effect.active = true;
    const float length = float(RandomBelow(ClampToInt(effect.duration))) + effect.duration * 0.5f;
    const float angle = float(Random() % 100) * 0.010471975f - 0.5235988f;
    D3DXVECTOR3 travel{0, 0, 0};
    if (!effect.sparkle) {
        D3DXMATRIX turn;
        D3DXMatrixRotationY(&turn, angle);
        D3DXVec3TransformCoord(&travel, &effect.restDirection, &turn);
        D3DXVec3Normalize(&travel, &travel);
    }
    const float distance = float(RandomBelow(ClampToInt(tuning.dustDist))) + tuning.dustDist * 0.5f;
    travel *= distance;

    VectorTrack& position = effect.motion.Position();
    position.Clear();
    for (float f : {0.0f, 0.3f, 0.6f, 1.0f}) position.AddKey(MakeVectorKey(f * length, travel * f));
    effect.fade.Clear();
    const float fadeKeys[4][2] = {{0, 0}, {0.3f, 0.3f}, {0.5f, 1}, {1, 0}};
    for (const auto& key : fadeKeys) effect.fade.AddKey(MakeFloatKey(key[0] * length, key[1]));
    effect.player.Bind(&effect.motion);
    effect.player.Start(nowMs);
    effect.node->SetRenderable(effect.visual);
}

void SceneRoles::UpdateEffects(const CameraPose& camera, const SceneSettings& tuning, std::int64_t nowMs) {
    for (int i = 0; i < EffectCount(); ++i) {
        EffectRecord& effect = EffectAt(i);
        if (effect.active) {
            if (effect.player.IsRunning(nowMs)) {
                float alpha = 1;
                if (!effect.fade.Value(effect.player.CurrentTime(nowMs), alpha)) alpha = 1;
                alpha = std::clamp(alpha, 0.0f, 1.0f);
                if (RenderStateBlock* state = effect.visual ? effect.visual->State() : nullptr)
                    state->alphaFactor = alpha;
                if (effect.facesCamera) {
                    effect.node->LocalTransform().SetDirection(camera.up);
                    effect.node->LocalTransform().SetUp(-camera.direction);
                }
            } else {
                effect.active = false;
                effect.nextStart = nowMs + RandomBelow(ClampToInt(effect.wait));
                effect.node->SetRenderable(nullptr);
            }
        }
        if (!effect.active && nowMs > effect.nextStart) StartEffect(effect, tuning, nowMs);
    }
}

#include "scene/scene_node.h"

#include <algorithm>
#include <vector>

SceneNode::SceneNode(const String& name, const String& typeName) : name_(name), typeName_(typeName) {
    D3DXMatrixIdentity(&local_);
}

SceneNode::~SceneNode() {
    // Tear the subtree down without recursion, so that deep trees from files cannot
    // exhaust the stack.
    std::vector<std::unique_ptr<SceneNode>> pending;
    for (auto& entry : children_) pending.push_back(std::move(entry.second));
    children_.clear();
    ring_.Clear();
    while (!pending.empty()) {
        std::unique_ptr<SceneNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& entry : node->children_) pending.push_back(std::move(entry.second));
        node->children_.clear();
        node->ring_.Clear();
    }
}

SceneNode* SceneNode::AddChild(std::unique_ptr<SceneNode> child) {
    if (child == nullptr) return nullptr;
    SceneNode* raw = child.get();
    raw->parent_ = this;
    children_.emplace(raw->name_.ToStdString(), std::move(child));  // after any of the same name
    ring_.Insert(raw);
    return raw;
}

SceneNode* SceneNode::FindChild(const String& name) const {
    const auto at = children_.find(name.ToStdString());
    return at == children_.end() ? nullptr : at->second.get();
}

std::unique_ptr<SceneNode> SceneNode::Detach(ChildMap::iterator at) {
    std::unique_ptr<SceneNode> child = std::move(at->second);
    children_.erase(at);
    for (int i = 0; i < ring_.Count(); ++i, ring_.Advance()) {
        if (ring_.Current() == child.get()) {
            ring_.RemoveAtCursor();
            break;
        }
    }
    child->parent_ = nullptr;
    return child;
}

std::unique_ptr<SceneNode> SceneNode::RemoveChild(const String& name) {
    const auto at = children_.find(name.ToStdString());
    if (at == children_.end()) return nullptr;
    return Detach(at);
}

void SceneNode::Rename(const String& name) {
    SceneNode* parent = parent_;
    if (parent == nullptr) {
        name_ = name;
        return;
    }
    auto range = parent->children_.equal_range(name_.ToStdString());
    for (auto at = range.first; at != range.second; ++at) {
        if (at->second.get() != this) continue;
        std::unique_ptr<SceneNode> self = parent->Detach(at);
        name_ = name;
        parent->AddChild(std::move(self));
        return;
    }
    name_ = name;
}

void SceneNode::SetTransformMode(TransformMode mode) {
    if (mode == TransformMode::kComponent && mode_ != TransformMode::kComponent) {
        // The base's translation moves into the position, so that animated rotations turn
        // the node about its own origin; the node's matrix stays the same.
        const D3DXMATRIX& base = transform_.BaseMatrix();
        const D3DXVECTOR3 baseShift(base.m[3][0], base.m[3][1], base.m[3][2]);
        if (!(baseShift == D3DXVECTOR3(0, 0, 0))) {
            D3DXMATRIX scaleRotation = transform_.ScaleMatrix() * transform_.RotationMatrix();
            D3DXVECTOR3 shift;
            D3DXVec3TransformNormal(&shift, &baseShift, &scaleRotation);
            D3DXMATRIX newBase = base;
            newBase.m[3][0] = newBase.m[3][1] = newBase.m[3][2] = 0;
            transform_.SetBaseMatrix(newBase);
            transform_.SetPosition(transform_.Position() + shift);
        }
    }
    mode_ = mode;
    animDirty_ = true;
}

const D3DXMATRIX& SceneNode::LocalMatrix() {
    if (mode_ == TransformMode::kWhole) {
        local_ = transform_.GetMatrix();
        return local_;
    }
    if (!animDirty_ && !transform_.IsDirty()) return local_;
    const D3DXVECTOR3& s = transform_.Scale();
    D3DXMATRIX scale, spin, move;
    D3DXMatrixScaling(&scale, s.x * animScale_.x, s.y * animScale_.y, s.z * animScale_.z);
    D3DXMatrixRotationQuaternion(&spin, &animRotation_);
    const D3DXVECTOR3 p = transform_.Position() + animOffset_;
    D3DXMatrixTranslation(&move, p.x, p.y, p.z);
    local_ = transform_.BaseMatrix() * scale * spin * transform_.RotationMatrix() * move;
    transform_.GetMatrix();  // clears the dirty flag
    animDirty_ = false;
    return local_;
}

D3DXMATRIX SceneNode::WorldMatrix() {
    D3DXMATRIX world = LocalMatrix();
    for (SceneNode* node = parent_; node != nullptr; node = node->parent_) world = world * node->LocalMatrix();
    return world;
}

void SceneNode::SetAnimation(std::unique_ptr<TransformAnimation> animation) {
    animation_ = std::move(animation);
    if (animation_ == nullptr) {
        player_.reset();
        return;
    }
    player_ = std::make_unique<AnimationPlayer>();
    player_->Bind(animation_.get());
    SetTransformMode(TransformMode::kComponent);
}

void SceneNode::AddController(const AnimationPlayer* player) {
    if (player == nullptr) return;
    controllers_.push_back(player);
    SetTransformMode(TransformMode::kComponent);
}

void SceneNode::RemoveController(const AnimationPlayer* player) {
    controllers_.erase(std::remove(controllers_.begin(), controllers_.end(), player), controllers_.end());
}

bool SceneNode::Animate(std::int64_t nowMs) {
    bool applied = player_ != nullptr && player_->Apply(*this, nowMs);
    for (const AnimationPlayer* controller : controllers_) applied = controller->Apply(*this, nowMs) || applied;
    return applied;
}

void SceneNode::ApplyAnimation(const TransformAnimation& animation, float t) {
    D3DXVECTOR3 v;
    D3DXQUATERNION q;
    if (animation.Scale().Value(t, v)) animScale_ = v;
    if (animation.Rotation().Value(t, q)) animRotation_ = q;
    if (animation.Position().Value(t, v)) animOffset_ = v;
    animDirty_ = true;
}

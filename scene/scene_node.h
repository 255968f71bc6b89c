#pragma once
// SceneNode: one node of the scene tree, with its local transform, object offset, children
// and animation.
//
// A node owns its children. They are kept in a map by exact name (case-sensitive; several
// children may share a name, lookups find the one added first) and in a ring in order of
// insertion with a cursor: a new child is linked after the cursor and becomes it, a walk
// visits every child from the cursor on and leaves the cursor where it started.
//
// The local matrix is built from the transform sources: in whole mode the transform's
// GetMatrix; in component mode base x scale x rotation x position, where the animation's
// scale multiplies the node's scale, its rotation turns the node about its own origin
// before the node's rest rotation, and its position is an offset added to the node's rest
// position. With no animation applied both modes give the same matrix. A node's world
// matrix is its local matrix times its parent's world matrix.
//
// A node may carry a renderable (its mesh instance), shared with whoever shows and hides
// it; DrawNode (scene_draw.h) walks the tree and hands the renderables to their batches.

#include "core/byte_string.h"
#include "core/object.h"
#include "core/ring_list.h"
#include "scene/animation_player.h"
#include "scene/transform.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

enum class TransformMode { kWhole, kComponent };

class MeshRenderable;

class SceneNode : public Interface, public AnimationTarget {
public:
    SceneNode(const String& name, const String& typeName);
    ~SceneNode() override;

    const String& Name() const { return name_; }
    const String& TypeName() const { return typeName_; }
    SceneNode* Parent() const { return parent_; }

    // Takes the child (which must have no parent), stores it under its name and makes this
    // node its parent. Returns the child.
    SceneNode* AddChild(std::unique_ptr<SceneNode> child);
    // The first child added under exactly that name, or null.
    SceneNode* FindChild(const String& name) const;
    // Takes the first child of that name out, clearing its parent; null when there is none.
    std::unique_ptr<SceneNode> RemoveChild(const String& name);
    // Renames the node; a node with a parent is taken out under the old name and added
    // again under the new one (so it moves to after the parent's cursor).
    void Rename(const String& name);
    int ChildCount() const { return ring_.Count(); }
    // The child at the ring's cursor, or null.
    SceneNode* CursorChild() { return ring_.IsEmpty() ? nullptr : ring_.Current(); }
    // Visits ChildCount() children from the cursor, moving the cursor along.
    template <typename Visit>
    void WalkChildren(Visit&& visit) {
        ring_.Walk([&](SceneNode* child) { visit(*child); });
    }

    Transform& LocalTransform() { return transform_; }
    Transform& ObjectOffset() { return objectOffset_; }
    void SetTransformMode(TransformMode mode);
    TransformMode Mode() const { return mode_; }
    // The local matrix from the transform sources (cached until a transform changes).
    const D3DXMATRIX& LocalMatrix();
    // Local matrix x parent's world matrix, up to the root.
    D3DXMATRIX WorldMatrix();

    MeshRenderable* Renderable() const { return renderable_.get(); }
    const std::shared_ptr<MeshRenderable>& RenderableRef() const { return renderable_; }
    void SetRenderable(std::shared_ptr<MeshRenderable> renderable) { renderable_ = std::move(renderable); }

    // Gives the node an animation and a player bound to it, and switches to component mode.
    void SetAnimation(std::unique_ptr<TransformAnimation> animation);
    TransformAnimation* Animation() const { return animation_.get(); }
    AnimationPlayer* Player() const { return player_.get(); }
    // Players owned elsewhere (effects, a shared sway) that animate this node as well,
    // after its own; the node switches to component mode. The player must outlive the node
    // or be removed first.
    void AddController(const AnimationPlayer* player);
    void RemoveController(const AnimationPlayer* player);
    bool IsAnimated() const { return player_ != nullptr || !controllers_.empty(); }
    // Applies the node's player and then its controllers at the clock time given; false
    // when none of them has an animation bound.
    bool Animate(std::int64_t nowMs);
    // Takes on the animation's scale, rotation and position at t as offsets from the rest
    // placement (tracks without keys leave their part at rest).
    void ApplyAnimation(const TransformAnimation& animation, float t) override;

private:
    using ChildMap = std::multimap<std::string, std::unique_ptr<SceneNode>>;
    std::unique_ptr<SceneNode> Detach(ChildMap::iterator at);

    String name_;
    String typeName_;
    SceneNode* parent_ = nullptr;
    ChildMap children_;
    RingList<SceneNode*> ring_;

    Transform transform_;
    Transform objectOffset_;
    TransformMode mode_ = TransformMode::kWhole;
    D3DXMATRIX local_;

    // The animated parts in component mode.
    D3DXVECTOR3 animScale_{1, 1, 1};
    D3DXQUATERNION animRotation_{0, 0, 0, 1};
    D3DXVECTOR3 animOffset_{0, 0, 0};
    bool animDirty_ = true;

    std::unique_ptr<TransformAnimation> animation_;
    std::unique_ptr<AnimationPlayer> player_;
    std::vector<const AnimationPlayer*> controllers_;
    std::shared_ptr<MeshRenderable> renderable_;
};

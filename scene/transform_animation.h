#pragma once
// TransformAnimation: a scale, a rotation and a position track combined into one matrix,
// and AnimationTarget, what a player applies an animation to.

#include "platform/d3dx/d3dx_math.h"
#include "scene/rotation_track.h"
#include "scene/vector_track.h"

class TransformAnimation {
public:
    VectorTrack& Scale() { return scale_; }
    RotationTrack& Rotation() { return rotation_; }
    VectorTrack& Position() { return position_; }
    const VectorTrack& Scale() const { return scale_; }
    const RotationTrack& Rotation() const { return rotation_; }
    const VectorTrack& Position() const { return position_; }

    bool HasKeys() const { return !scale_.IsEmpty() || !rotation_.IsEmpty() || !position_.IsEmpty(); }
    // The union of the ranges of the tracks with keys; false when none has keys.
    bool Range(float& start, float& end) const;
    // Scaling, then rotation, then translation, from the tracks with keys, at t; false (out
    // untouched) when no track has keys.
    bool Apply(float t, D3DXMATRIX& out) const;

private:
    VectorTrack scale_;
    RotationTrack rotation_;
    VectorTrack position_;
};

class AnimationTarget {
public:
    virtual ~AnimationTarget() = default;
    // Takes on the animation's state at time t (seconds).
    virtual void ApplyAnimation(const TransformAnimation& animation, float t) = 0;
};

// A target that keeps the animation's whole matrix (cameras, effects).
class MatrixTarget : public AnimationTarget {
public:
    void ApplyAnimation(const TransformAnimation& animation, float t) override {
        applied_ = animation.Apply(t, matrix_) || applied_;
    }
    const D3DXMATRIX& Matrix() const { return matrix_; }
    bool Applied() const { return applied_; }

private:
    D3DXMATRIX matrix_;
    bool applied_ = false;
};

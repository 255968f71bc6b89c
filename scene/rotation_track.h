#pragma once
// RotationTrack: quaternion keys evaluated by spherical cubic Bezier segments, or by slerp
// with kTrackLinear.
//
// A segment from q0 (key i) to q1 (key i+1) has two inner control rotations: c1 leaves q0
// towards the next key, c2 arrives at q1 from the previous one. Each key's controls come
// from A (the rotation past the key, away from its predecessor, by a third of that chord)
// and B (a third of the way to its successor), mixed by the bias s20 and scaled by the
// tension s24 (s24 = 1 gives a control equal to the key); s28 weights the two chords. The
// curve is evaluated by three levels of slerp, so it passes through every key and turns the
// way the keys turn. A key without a predecessor (or successor) uses B for A (or A for B).

#include "platform/d3dx/d3dx_math.h"
#include "scene/key_track.h"

class RotationTrack : public KeyTrack {
public:
    // The rotation at t; false for an empty track (out untouched).
    bool Value(float t, D3DXQUATERNION& out) const;

    struct Segment {
        D3DXQUATERNION q0, c1, c2, q1;
    };
    // The controls of the segment starting at key i (which must have a successor).
    Segment ComputeSegment(int i) const;

protected:
    void Invalidate() override { cache_.Reset(keys_.size()); }

private:
    // The control rotation of key index: leaving it (start) or arriving at it.
    D3DXQUATERNION Control(int index, bool start) const;

    mutable SegmentCache<Segment> cache_;
};

// A rotation key by D3DXQuaternionRotationAxis(axis, angle), with shape parameters.
AnimKey MakeRotationKey(float time, const D3DXVECTOR3& axis, float angle, float s20 = 0, float s24 = 0,
                        float s28 = 0);
D3DXQUATERNION QuaternionOf(const AnimKey& key);

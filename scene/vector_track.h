#pragma once
// HermiteTrack and VectorTrack: tracks of three-float values (positions, scales) evaluated
// by cubic Hermite splines, or linearly with kTrackLinear.
//
// A segment from key i to key i+1 starts with tangent T0 and ends with T1, both built from
// the chords to the neighbouring keys and weighted by their intervals and the keys' shape
// parameters (s20 bias, s24 tension, s28 continuity). With zero shapes and evenly spaced
// keys T0 is the segment's own chord and T1 the next one's, so the curve passes through
// every key with a continuous tangent. A segment without a key before it (or after it, on
// an open track) takes its missing tangent from its chord and its other tangent.

#include "platform/d3dx/d3dx_math.h"
#include "scene/key_track.h"

// Where the last segment's end tangent is taken from on an open track.
enum class HermiteEnd {
    kNatural,   // T1 = 1.5 chord - 0.5 T0: a straight run keeps its speed
    kFloatKeys  // T1 = 0.5 T0 + 1.5 chord: the form float (fade) tracks use
};

class HermiteTrack : public KeyTrack {
public:
    explicit HermiteTrack(HermiteEnd end = HermiteEnd::kNatural) : end_(end) {}

    // The value at t from x, y and z of the keys; false for an empty track.
    bool Evaluate(float t, D3DXVECTOR3& out) const;

    struct Segment {
        D3DXVECTOR3 p0, p1, t0, t1;
    };
    // The coefficients of the segment starting at key i (which must have a successor).
    Segment ComputeSegment(int i) const;

protected:
    void Invalidate() override { cache_.Reset(keys_.size()); }

private:
    HermiteEnd end_;
    mutable SegmentCache<Segment> cache_;
};

class VectorTrack : public HermiteTrack {
public:
    VectorTrack() : HermiteTrack(HermiteEnd::kNatural) {}
    bool Value(float t, D3DXVECTOR3& out) const { return Evaluate(t, out); }
};

// A vector key: the value and shape parameters (the fourth value is 0).
AnimKey MakeVectorKey(float time, const D3DXVECTOR3& value, float s20 = 0, float s24 = 0, float s28 = 0);

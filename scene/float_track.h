#pragma once
// FloatTrack: a track of one float per key (fades), the value in the key's x. Splines as
// for vector tracks; the last segment of an open track ends with T1 = 0.5 T0 + 1.5 chord.

#include "scene/vector_track.h"

class FloatTrack : public HermiteTrack {
public:
    FloatTrack() : HermiteTrack(HermiteEnd::kFloatKeys) {}
    // False for an empty track (out untouched).
    bool Value(float t, float& out) const;
};

// A float key: value at offset 4, offsets 8 to 16 zero.
AnimKey MakeFloatKey(float time, float value, float s20 = 0, float s24 = 0, float s28 = 0);

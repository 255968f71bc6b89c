#include "scene/float_track.h"

bool FloatTrack::Value(float t, float& out) const {
    D3DXVECTOR3 v;
    if (!Evaluate(t, v)) return false;
    out = v.x;
    return true;
}

AnimKey MakeFloatKey(float time, float value, float s20, float s24, float s28) {
    return MakeVectorKey(time, D3DXVECTOR3(value, 0, 0), s20, s24, s28);
}

#include "scene/transform_animation.h"

#include <algorithm>

bool TransformAnimation::Range(float& start, float& end) const {
    bool any = false;
    const KeyTrack* tracks[3] = {&scale_, &rotation_, &position_};
    for (const KeyTrack* track : tracks) {
        float a, b;
        if (!track->Range(a, b)) continue;
        start = any ? std::min(start, a) : a;
        end = any ? std::max(end, b) : b;
        any = true;
    }
    return any;
}

bool TransformAnimation::Apply(float t, D3DXMATRIX& out) const {
    D3DXMATRIX result, next;
    bool any = false;
    auto append = [&](const D3DXMATRIX& m) {
        if (any)
            D3DXMatrixMultiply(&result, &result, &m);
        else
            result = m;
        any = true;
    };
    D3DXVECTOR3 v;
    D3DXQUATERNION q;
    if (scale_.Value(t, v)) append(*D3DXMatrixScaling(&next, v.x, v.y, v.z));
    if (rotation_.Value(t, q)) append(*D3DXMatrixRotationQuaternion(&next, &q));
    if (position_.Value(t, v)) append(*D3DXMatrixTranslation(&next, v.x, v.y, v.z));
    if (any) out = result;
    return any;
}

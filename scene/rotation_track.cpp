#include "scene/rotation_track.h"

namespace {

constexpr float kThird = 0.33333334f;

D3DXQUATERNION Slerp(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float t) {
    D3DXQUATERNION out;
    D3DXQuaternionSlerp(&out, &a, &b, t);
    return out;
}

}  // namespace

D3DXQUATERNION QuaternionOf(const AnimKey& key) { return D3DXQUATERNION(key.x, key.y, key.z, key.w); }

D3DXQUATERNION RotationTrack::Control(int index, bool start) const {
    const AnimKey& k = keys_[static_cast<std::size_t>(index)];
    const D3DXQUATERNION q = QuaternionOf(k);
    AnimKey before, after;
    const bool hasBefore = KeyAt(index - 1, before);
    const bool hasAfter = KeyAt(index + 1, after);
    D3DXQUATERNION a, b;
    if (hasBefore) a = Slerp(q, QuaternionOf(before), -(1 + k.s28) * kThird);
    if (hasAfter) b = Slerp(q, QuaternionOf(after), (1 - k.s28) * kThird);
    if (!hasBefore) a = b;
    if (!hasAfter) b = a;
    if (!hasBefore && !hasAfter) return q;
    // Leaving the key the control lies ahead (towards the mix of A and B); arriving, it
    // lies behind, mirrored through the key.
    if (start) return Slerp(q, Slerp(a, b, 0.5f + 0.5f * k.s20), 1 - k.s24);
    return Slerp(q, Slerp(a, b, 0.5f - 0.5f * k.s20), k.s24 - 1);
}

RotationTrack::Segment RotationTrack::ComputeSegment(int i) const {
    Segment s;
    s.q0 = QuaternionOf(keys_[static_cast<std::size_t>(i)]);
    s.q1 = QuaternionOf(keys_[static_cast<std::size_t>(i) + 1]);
    s.c1 = Control(i, true);
    s.c2 = Control(i + 1, false);
    return s;
}

bool RotationTrack::Value(float t, D3DXQUATERNION& out) const {
    Place place;
    if (!Locate(t, place)) return false;
    const AnimKey& a = keys_[static_cast<std::size_t>(place.key)];
    if (!place.segment) {
        out = QuaternionOf(a);
        return true;
    }
    const float u = place.u;
    if ((flags_ & kTrackLinear) != 0) {
        out = Slerp(QuaternionOf(a), QuaternionOf(keys_[static_cast<std::size_t>(place.key) + 1]), u);
        return true;
    }
    const Segment* s = cache_.Find(place.key);
    if (s == nullptr) s = &cache_.Store(place.key, ComputeSegment(place.key));
    const D3DXQUATERNION l1 = Slerp(s->q0, s->c1, u), l2 = Slerp(s->c1, s->c2, u), l3 = Slerp(s->c2, s->q1, u);
    out = Slerp(Slerp(l1, l2, u), Slerp(l2, l3, u), u);
    return true;
}

AnimKey MakeRotationKey(float time, const D3DXVECTOR3& axis, float angle, float s20, float s24, float s28) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, angle);
    AnimKey key;
    key.time = time;
    key.x = q.x;
    key.y = q.y;
    key.z = q.z;
    key.w = q.w;
    key.s20 = s20;
    key.s24 = s24;
    key.s28 = s28;
    return key;
}

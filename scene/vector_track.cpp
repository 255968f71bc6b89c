#include "scene/vector_track.h"

namespace {

D3DXVECTOR3 ValueOf(const AnimKey& key) { return D3DXVECTOR3(key.x, key.y, key.z); }

// Tangent leaving key k over chord d1 (length dt1), after chord d0 (length dt0).
D3DXVECTOR3 StartTangent(const AnimKey& k, const D3DXVECTOR3& d0, const D3DXVECTOR3& d1, float dt0, float dt1) {
    const D3DXVECTOR3 inner = d1 * (1 - k.s28) - d0 * (1 + k.s28);
    return (d0 * (1 + k.s28) + inner * ((k.s20 + 2) / (dt0 / dt1 + 1))) * (1 - k.s24);
}

// Tangent arriving at key k over chord d1 (length dt1), before chord d2 (length dt2).
D3DXVECTOR3 EndTangent(const AnimKey& k, const D3DXVECTOR3& d1, const D3DXVECTOR3& d2, float dt1, float dt2) {
    const D3DXVECTOR3 inner = d2 * (1 - k.s28) - d1 * (1 + k.s28);
    return (d1 * (1 + k.s28) + inner * ((2 - k.s20) / (dt1 / dt2 + 1))) * (1 - k.s24);
}

}  // namespace

HermiteTrack::Segment HermiteTrack::ComputeSegment(int i) const {
    const AnimKey& a = keys_[static_cast<std::size_t>(i)];
    const AnimKey& b = keys_[static_cast<std::size_t>(i) + 1];
    Segment s;
    s.p0 = ValueOf(a);
    s.p1 = ValueOf(b);
    const D3DXVECTOR3 d1 = s.p1 - s.p0;
    const float dt1 = b.time - a.time;
    AnimKey before, after;
    const bool hasBefore = KeyAt(i - 1, before);
    const bool hasAfter = KeyAt(i + 2, after);
    if (hasBefore) s.t0 = StartTangent(a, s.p0 - ValueOf(before), d1, a.time - before.time, dt1);
    if (hasAfter) s.t1 = EndTangent(b, d1, ValueOf(after) - s.p1, dt1, after.time - b.time);
    if (!hasBefore && !hasAfter) {
        s.t0 = d1 * (1 - a.s24);
        s.t1 = d1 * (1 - b.s24);
    } else if (!hasBefore) {
        s.t0 = (d1 * 1.5f - s.t1 * 0.5f) * (1 - a.s24);
    } else if (!hasAfter) {
        const D3DXVECTOR3 end = end_ == HermiteEnd::kFloatKeys ? s.t0 * 0.5f + d1 * 1.5f : d1 * 1.5f - s.t0 * 0.5f;
        s.t1 = end * (1 - b.s24);
    }
    return s;
}

bool HermiteTrack::Evaluate(float t, D3DXVECTOR3& out) const {
    Place place;
    if (!Locate(t, place)) return false;
    const AnimKey& a = keys_[static_cast<std::size_t>(place.key)];
    if (!place.segment) {
        out = ValueOf(a);
        return true;
    }
    const float u = place.u;
    if ((flags_ & kTrackLinear) != 0) {
        const AnimKey& b = keys_[static_cast<std::size_t>(place.key) + 1];
        out = ValueOf(a) + (ValueOf(b) - ValueOf(a)) * u;
        return true;
    }
    const Segment* s = cache_.Find(place.key);
    if (s == nullptr) s = &cache_.Store(place.key, ComputeSegment(place.key));
    const float u2 = u * u, u3 = u2 * u;
    const float h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = -2 * u3 + 3 * u2, h11 = u3 - u2;
    out = s->p0 * h00 + s->t0 * h10 + s->p1 * h01 + s->t1 * h11;
    return true;
}

AnimKey MakeVectorKey(float time, const D3DXVECTOR3& value, float s20, float s24, float s28) {
    AnimKey key;
    key.time = time;
    key.x = value.x;
    key.y = value.y;
    key.z = value.z;
    key.w = 0;
    key.s20 = s20;
    key.s24 = s24;
    key.s28 = s28;
    return key;
}

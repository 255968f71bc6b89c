#include "scene/key_track.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Segments shorter than this yield their start value.
constexpr float kShortestSegment = 0.0001f;

float ReadFloat(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void WriteFloat(float value, std::uint8_t* p) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

bool SameValue(const AnimKey& a, const AnimKey& b) {
    return (a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w) ||
           (a.w != 0 && a.x == -b.x && a.y == -b.y && a.z == -b.z && a.w == -b.w);
}

}  // namespace

AnimKey AnimKeyFromBytes(const std::uint8_t* bytes) {
    float f[8];
    for (int i = 0; i < 8; ++i) f[i] = ReadFloat(bytes + 4 * i);
    AnimKey key;
    key.time = f[0];
    key.x = f[1];
    key.y = f[2];
    key.z = f[3];
    key.w = f[4];
    key.s20 = f[5];
    key.s24 = f[6];
    key.s28 = f[7];
    return key;
}

void AnimKeyToBytes(const AnimKey& key, std::uint8_t* bytes) {
    const float f[8] = {key.time, key.x, key.y, key.z, key.w, key.s20, key.s24, key.s28};
    for (int i = 0; i < 8; ++i) WriteFloat(f[i], bytes + 4 * i);
}

float WrapTime(float t, float a, float b) {
    const float length = b - a;
    if (std::fabs(length) <= kShortestSegment) return a;
    float r = (t - a) - std::trunc((t - a) / length) * length;
    if (r < 0) r += length;
    return a + r;
}

void KeyTrack::Clear() {
    keys_.clear();
    Invalidate();
}

void KeyTrack::AddKey(const AnimKey& key) {
    // NaN times would break the ordering; such keys are not kept.
    if (std::isnan(key.time)) return;
    auto at = std::lower_bound(keys_.begin(), keys_.end(), key.time,
                               [](const AnimKey& k, float t) { return k.time < t; });
    if (at != keys_.end() && at->time == key.time)
        *at = key;
    else
        keys_.insert(at, key);
    Invalidate();
}

bool KeyTrack::Range(float& first, float& last) const {
    if (keys_.empty()) return false;
    first = keys_.front().time;
    last = keys_.back().time;
    return true;
}

void KeyTrack::SetFlags(std::uint32_t flags) {
    flags_ = flags;
    Invalidate();
}

bool KeyTrack::Locate(float t, Place& place) const {
    if (keys_.empty()) return false;
    if ((flags_ & kTrackWrapTime) != 0) t = WrapTime(t, keys_.front().time, keys_.back().time);
    // The first key later than t; NaN compares false and lands after the last key.
    const auto next = std::upper_bound(keys_.begin(), keys_.end(), t,
                                       [](float time, const AnimKey& k) { return time < k.time; });
    if (next == keys_.begin()) {
        place = Place{0, false, 0};
        return true;
    }
    const int i = static_cast<int>(next - keys_.begin()) - 1;
    if (next == keys_.end()) {
        place = Place{i, false, 0};
        return true;
    }
    const float span = keys_[static_cast<std::size_t>(i) + 1].time - keys_[static_cast<std::size_t>(i)].time;
    if (std::fabs(span) <= kShortestSegment) {
        place = Place{i, false, 0};
        return true;
    }
    place = Place{i, true, (t - keys_[static_cast<std::size_t>(i)].time) / span};
    return true;
}

bool KeyTrack::KeyAt(int index, AnimKey& out) const {
    const int n = KeyCount();
    if (index >= 0 && index < n) {
        out = keys_[static_cast<std::size_t>(index)];
        return true;
    }
    if ((flags_ & kTrackClosed) == 0 || n < 2) return false;
    const float range = keys_.back().time - keys_.front().time;
    const bool twin = SameValue(keys_.front(), keys_.back());
    // Keys on the loop and its period.
    const int ring = twin ? n - 1 : n;
    const float period = twin ? range : range + range / static_cast<float>(n - 1);
    int wrapped = index;
    float shift = 0;
    while (wrapped < 0) {
        wrapped += ring;
        shift -= period;
    }
    while (wrapped >= ring) {
        wrapped -= ring;
        shift += period;
    }
    out = keys_[static_cast<std::size_t>(wrapped)];
    out.time += shift;
    return true;
}

#pragma once
// AnimKey and KeyTrack: the keys of one animated quantity, sorted by time.
//
// A key is the 32-byte record shared by memory and files: time, three values, a fourth
// value (a quaternion's w; 0 for vectors and floats) and three shape parameters. A track
// keeps its keys sorted with unique times (a key at a time already present replaces it).
// Evaluation is a pure function of t: before the first key it yields the first key's value,
// at or after the last key the last one's, in between the segment around t.
//
// Neighbours beyond the ends, on a closed track, come from the other end: when the first
// and last keys hold the same value the track is one loop whose period is its range (the
// last key is the first one's twin); otherwise the closing gap counts as long as an average
// segment. Segment coefficients are cached per start key; changing keys or flags drops them.

#include <cstdint>
#include <vector>

struct AnimKey {
    float time = 0;
    float x = 0, y = 0, z = 0;  // vector value, quaternion x y z, or the float value in x
    float w = 0;                // quaternion w; 0 for vector and float keys
    float s20 = 0, s24 = 0, s28 = 0;  // shape parameters (bias, tension, continuity)
};
static_assert(sizeof(AnimKey) == 32, "the key record is 32 bytes");

// The key in 32 little-endian bytes, and back.
AnimKey AnimKeyFromBytes(const std::uint8_t* bytes);
void AnimKeyToBytes(const AnimKey& key, std::uint8_t* bytes);

constexpr std::uint32_t kTrackClosed = 1;    // end neighbours come from the other end
constexpr std::uint32_t kTrackWrapTime = 2;  // t is wrapped into the range first
constexpr std::uint32_t kTrackLinear = 4;    // lerp / slerp instead of splines

// t wrapped into [a, b): a when the range is (nearly) empty. Never undefined: NaN stays NaN.
float WrapTime(float t, float a, float b);

class KeyTrack {
public:
    KeyTrack() = default;
    virtual ~KeyTrack() = default;

    void Clear();
    // Inserts in time order; a key with the time of an existing one replaces it.
    void AddKey(const AnimKey& key);
    int KeyCount() const { return static_cast<int>(keys_.size()); }
    bool IsEmpty() const { return keys_.empty(); }
    const std::vector<AnimKey>& Keys() const { return keys_; }
    // [first key time, last key time]; false for an empty track.
    bool Range(float& first, float& last) const;
    void SetFlags(std::uint32_t flags);
    std::uint32_t Flags() const { return flags_; }

protected:
    // Where t falls: on one key's value (segment false), or inside the segment that
    // starts at key with parameter u in [0, 1).
    struct Place {
        int key = 0;
        bool segment = false;
        float u = 0;
    };
    // False for an empty track.
    bool Locate(float t, Place& place) const;
    // The key at index, which may lie one or two beyond either end: on an open track only
    // indices inside the track exist; on a closed one they come from the other end, with
    // their times moved by the loop's period.
    bool KeyAt(int index, AnimKey& out) const;
    // Called whenever keys or flags change: drop cached segments.
    virtual void Invalidate() = 0;

    std::vector<AnimKey> keys_;
    std::uint32_t flags_ = 0;
};

// A per-start-key cache of segment coefficients.
template <typename Segment>
class SegmentCache {
public:
    void Reset(std::size_t keys) {
        segments_.assign(keys, Segment{});
        valid_.assign(keys, 0);
    }
    // The cached segment, or null.
    const Segment* Find(int key) const {
        const auto i = static_cast<std::size_t>(key);
        return i < valid_.size() && valid_[i] ? &segments_[i] : nullptr;
    }
    const Segment& Store(int key, const Segment& segment) {
        const auto i = static_cast<std::size_t>(key);
        segments_[i] = segment;
        valid_[i] = 1;
        return segments_[i];
    }

private:
    std::vector<Segment> segments_;
    std::vector<std::uint8_t> valid_;
};

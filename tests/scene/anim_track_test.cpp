// Key tracks: key records, ordering, ends, Hermite tangents, rotation splines, wrapping.

#include "scene/float_track.h"
#include "scene/key_track.h"
#include "scene/rotation_track.h"
#include "scene/vector_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr float kPi = 3.14159265f;

// Angle of a rotation about +z (quaternion (0, 0, sin a/2, cos a/2)), sign-insensitive.
float AngleAboutZ(const D3DXQUATERNION& q) {
    const float sign = q.w < 0 ? -1.0f : 1.0f;
    return 2 * std::atan2(sign * q.z, sign * q.w);
}

bool SameRotation(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float tolerance) {
    return std::fabs(std::fabs(D3DXQuaternionDot(&a, &b)) - 1) < tolerance;
}

}  // namespace

// The key record is the 32-byte little-endian layout of files and memory.
TEST(AnimKeyRecord, BytesRoundTripInFileOrder) {
    const AnimKey key = MakeRotationKey(2.5f, D3DXVECTOR3(0, 0, 1), kPi / 2, 0.25f, 0.5f, 1.0f);
    std::uint8_t bytes[32];
    AnimKeyToBytes(key, bytes);
    float time;
    std::memcpy(&time, bytes, 4);
    EXPECT_EQ(time, 2.5f);
    float w;
    std::memcpy(&w, bytes + 16, 4);
    EXPECT_FLOAT_EQ(w, std::cos(kPi / 4));
    float s28;
    std::memcpy(&s28, bytes + 28, 4);
    EXPECT_EQ(s28, 1.0f);
    const AnimKey back = AnimKeyFromBytes(bytes);
    EXPECT_EQ(0, std::memcmp(&back, &key, sizeof key));
    const AnimKey vector = MakeVectorKey(1, D3DXVECTOR3(4, 5, 6), 0, 0, 1);
    EXPECT_EQ(vector.w, 0.0f);
    EXPECT_EQ(MakeFloatKey(3, 0.5f).x, 0.5f);
    EXPECT_EQ(MakeFloatKey(3, 0.5f).y, 0.0f);
}

// Keys stay sorted; a key at an existing time replaces it.
TEST(AnimKeyTrack, SortedAndReplacedByTime) {
    FloatTrack track;
    for (float t : {5.0f, 1.0f, 3.0f}) track.AddKey(MakeFloatKey(t, t * 10));
    track.AddKey(MakeFloatKey(3.0f, -1));
    ASSERT_EQ(track.KeyCount(), 3);
    EXPECT_EQ(track.Keys()[0].time, 1.0f);
    EXPECT_EQ(track.Keys()[1].x, -1.0f);
    EXPECT_EQ(track.Keys()[2].time, 5.0f);
    float first, last;
    ASSERT_TRUE(track.Range(first, last));
    EXPECT_EQ(first, 1.0f);
    EXPECT_EQ(last, 5.0f);
    track.Clear();
    float value = 7;
    EXPECT_FALSE(track.Value(0, value));
    EXPECT_EQ(value, 7.0f);
    EXPECT_FALSE(track.Range(first, last));
}

// Before the first key the first value; at and after the last key the last value; one key
// always yields itself.
TEST(AnimKeyTrack, EndsHoldTheirValues) {
    struct Case {
        std::uint32_t flags;
        float t;
        float expected;
    };
    const Case cases[] = {{0, -1, 2}, {0, 10, 8}, {0, 1000, 8}, {kTrackLinear, -1, 2},
                          {kTrackLinear, 10, 8}, {kTrackLinear, 5, 5}, {kTrackClosed, 11, 8}};
    for (const Case& c : cases) {
        FloatTrack track;
        track.SetFlags(c.flags);
        track.AddKey(MakeFloatKey(0, 2));
        track.AddKey(MakeFloatKey(10, 8));
        float v = -99;
        ASSERT_TRUE(track.Value(c.t, v));
        EXPECT_FLOAT_EQ(v, c.expected) << "flags " << c.flags << " t " << c.t;
    }
    VectorTrack single;
    single.AddKey(MakeVectorKey(4, D3DXVECTOR3(1, 2, 3)));
    for (float t : {-5.0f, 4.0f, 9.0f}) {
        D3DXVECTOR3 v;
        ASSERT_TRUE(single.Value(t, v));
        EXPECT_EQ(v, D3DXVECTOR3(1, 2, 3));
    }
}

// Tangents: keys 0, 1, 4, 9 at times 0..3 give the middle segment T0 = 3 and T1 = 5, and
// uneven spacing weights the chords by their intervals.
TEST(AnimHermite, TangentFormulas) {
    VectorTrack track;
    const float values[4] = {0, 1, 4, 9};
    for (int i = 0; i < 4; ++i) track.AddKey(MakeVectorKey(static_cast<float>(i), D3DXVECTOR3(values[i], 0, 0)));
    const HermiteTrack::Segment s = track.ComputeSegment(1);
    EXPECT_FLOAT_EQ(s.p0.x, 1);
    EXPECT_FLOAT_EQ(s.p1.x, 4);
    EXPECT_FLOAT_EQ(s.t0.x, 3);
    EXPECT_FLOAT_EQ(s.t1.x, 5);
    D3DXVECTOR3 mid;
    ASSERT_TRUE(track.Value(1.5f, mid));
    // h00 = h01 = 0.5, h10 = 0.125, h11 = -0.125.
    EXPECT_FLOAT_EQ(mid.x, 0.5f * 1 + 0.125f * 3 + 0.5f * 4 - 0.125f * 5);

    // Keys at 0, 1, 3, 4 with values 0, 1, 2, 5: d0 = 1, d1 = 1, d2 = 3, dt = 1, 2, 1.
    VectorTrack uneven;
    const float times[4] = {0, 1, 3, 4}, v2[4] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i) uneven.AddKey(MakeVectorKey(times[i], D3DXVECTOR3(v2[i], 0, 0)));
    const HermiteTrack::Segment u = uneven.ComputeSegment(1);
    EXPECT_FLOAT_EQ(u.t0.x, 1 + 2 * (1 - 1) * 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(u.t1.x, 1 + 2 * (3 - 1) * 1.0f / 3.0f);

    // Shape parameters: tension 1 flattens the tangent; continuity and bias weight chords.
    VectorTrack shaped;
    shaped.AddKey(MakeVectorKey(0, D3DXVECTOR3(0, 0, 0)));
    shaped.AddKey(MakeVectorKey(1, D3DXVECTOR3(1, 0, 0), 0, 1, 0));
    shaped.AddKey(MakeVectorKey(2, D3DXVECTOR3(4, 0, 0), 1, 0, 0.5f));
    shaped.AddKey(MakeVectorKey(3, D3DXVECTOR3(9, 0, 0)));
    const HermiteTrack::Segment sh = shaped.ComputeSegment(1);
    EXPECT_FLOAT_EQ(sh.t0.x, 0);
    // (1 + 0.5) 3 + (2 - 1) ((1 - 0.5) 5 - (1 + 0.5) 3) / 2 = 4.5 - 1 = 3.5
    EXPECT_FLOAT_EQ(sh.t1.x, 3.5f);
}

// The spline passes through every key and is continuous across them; open ends use the
// end forms (float tracks with the plus form).
TEST(AnimHermite, PassesThroughKeysAndEndForms) {
    VectorTrack track;
    const float values[5] = {0, 2, -1, 3, 3};
    for (int i = 0; i < 5; ++i) track.AddKey(MakeVectorKey(static_cast<float>(i) * 2, D3DXVECTOR3(values[i], 1, 0)));
    for (int i = 0; i < 5; ++i) {
        D3DXVECTOR3 v, before, after;
        ASSERT_TRUE(track.Value(static_cast<float>(i) * 2, v));
        EXPECT_FLOAT_EQ(v.x, values[i]);
        EXPECT_FLOAT_EQ(v.y, 1);
        track.Value(static_cast<float>(i) * 2 - 1e-3f, before);
        track.Value(static_cast<float>(i) * 2 + 1e-3f, after);
        EXPECT_NEAR(before.x, after.x, 0.02f) << "key " << i;
    }
    // Two keys: both tangents are the chord, a straight run.
    FloatTrack two;
    two.AddKey(MakeFloatKey(0, 0));
    two.AddKey(MakeFloatKey(1, 1));
    float v;
    ASSERT_TRUE(two.Value(0.25f, v));
    EXPECT_FLOAT_EQ(v, 0.25f);
    // Three keys 0, 1, 2 evenly: float tracks end the last segment with 0.5 T0 + 1.5 d1 = 2,
    // vector tracks with 1.5 d1 - 0.5 T0 = 1.
    FloatTrack floats;
    VectorTrack vectors;
    for (int i = 0; i < 3; ++i) {
        floats.AddKey(MakeFloatKey(static_cast<float>(i), static_cast<float>(i)));
        vectors.AddKey(MakeVectorKey(static_cast<float>(i), D3DXVECTOR3(static_cast<float>(i), 0, 0)));
    }
    EXPECT_FLOAT_EQ(floats.ComputeSegment(1).t1.x, 2);
    EXPECT_FLOAT_EQ(vectors.ComputeSegment(1).t1.x, 1);
    // First segment: T0 = 1.5 d1 - 0.5 T1 with T1 = d2 = 1.
    EXPECT_FLOAT_EQ(floats.ComputeSegment(0).t0.x, 1);
}

// Wrap time folds t into the range; closed tracks take end neighbours from the other end.
TEST(AnimKeyTrack, WrapAndClosed) {
    struct Case {
        float t, a, b, expected;
    };
    const Case wraps[] = {{95, 10, 50, 15}, {5, 10, 50, 45}, {50, 10, 50, 10}, {-30, 10, 50, 10},
                          {3, 2, 2.00001f, 2}, {12.5f, 0, 5, 2.5f}};
    for (const Case& c : wraps) EXPECT_FLOAT_EQ(WrapTime(c.t, c.a, c.b), c.expected) << c.t;
    EXPECT_TRUE(std::isnan(WrapTime(NAN, 0, 1)));

    FloatTrack track;
    track.SetFlags(kTrackWrapTime | kTrackLinear);
    track.AddKey(MakeFloatKey(0, 0));
    track.AddKey(MakeFloatKey(4, 8));
    float v;
    ASSERT_TRUE(track.Value(5, v));
    EXPECT_FLOAT_EQ(v, 2);
    ASSERT_TRUE(track.Value(-1, v));
    EXPECT_FLOAT_EQ(v, 6);

    // A closed loop 0, 1, 0, -1, 0 (first and last the same) has a tangent at the start
    // that the open track lacks: the closed start tangent follows the chord from -1 to 1.
    FloatTrack closed, open;
    closed.SetFlags(kTrackClosed);
    const float loop[5] = {0, 1, 0, -1, 0};
    for (int i = 0; i < 5; ++i) {
        closed.AddKey(MakeFloatKey(static_cast<float>(i), loop[i]));
        open.AddKey(MakeFloatKey(static_cast<float>(i), loop[i]));
    }
    // d0 = 0 - (-1) = 1 from key 3, d1 = 1: T0 = 1 + 2 (1 - 1) / 2 = 1.
    EXPECT_FLOAT_EQ(closed.ComputeSegment(0).t0.x, 1);
    // Last segment: d2 from key 0 to key 1 = 1, d1 = 1: T1 = 1.
    EXPECT_FLOAT_EQ(closed.ComputeSegment(3).t1.x, 1);
    // Open: T1 = d2 = -1, T0 = 1.5 - 0.5 (-1) = 2.
    EXPECT_FLOAT_EQ(open.ComputeSegment(0).t0.x, 2);

    // Unevenly spaced, first and last equal: the neighbour before the first key is key
    // n - 2 one period earlier (-1 at t = -2), after the last key is key 1 one period later
    // (2 at t = 5). Taking the last key's twin instead would give the ends a chord of 0.
    FloatTrack uneven;
    uneven.SetFlags(kTrackClosed);
    const float times[4] = {0, 1, 2, 4}, values[4] = {0, 2, -1, 0};
    for (int i = 0; i < 4; ++i) uneven.AddKey(MakeFloatKey(times[i], values[i]));
    // T0 = d0 + 2 (d1 - d0) D1 / (D0 + D1) = 1 + 2 (2 - 1) 1 / 3.
    EXPECT_FLOAT_EQ(uneven.ComputeSegment(0).t0.x, 5.0f / 3);
    // T1 = d1 + 2 (d2 - d1) D2 / (D1 + D2) = 1 + 2 (2 - 1) 1 / 3.
    EXPECT_FLOAT_EQ(uneven.ComputeSegment(2).t1.x, 5.0f / 3);
}

// Segment coefficients are cached and dropped when keys change.
TEST(AnimKeyTrack, CacheFollowsKeyChanges) {
    FloatTrack track;
    track.AddKey(MakeFloatKey(0, 0));
    track.AddKey(MakeFloatKey(1, 1));
    float a, b;
    track.Value(0.5f, a);
    track.AddKey(MakeFloatKey(1, 3));
    track.Value(0.5f, b);
    EXPECT_FLOAT_EQ(a, 0.5f);
    EXPECT_FLOAT_EQ(b, 1.5f);
}

// A rotation spline passes through its keys and turns the way its keys turn: between keys
// whose angles about z rise, the angle rises too (no backward swing at a key).
TEST(AnimRotationSpline, PassesThroughKeysAndTurnsForward) {
    RotationTrack track;
    const float angles[5] = {0, 0.5f, 1.2f, 1.5f, 2.5f};
    const D3DXVECTOR3 z(0, 0, 1);
    for (int i = 0; i < 5; ++i) track.AddKey(MakeRotationKey(static_cast<float>(i), z, angles[i]));
    for (int i = 0; i < 5; ++i) {
        D3DXQUATERNION q;
        ASSERT_TRUE(track.Value(static_cast<float>(i), q));
        EXPECT_TRUE(SameRotation(q, QuaternionOf(track.Keys()[static_cast<std::size_t>(i)]), 1e-5f)) << i;
    }
    float previous = -1;
    for (int step = 0; step <= 400; ++step) {
        const float t = static_cast<float>(step) / 100.0f;
        D3DXQUATERNION q;
        ASSERT_TRUE(track.Value(t, q));
        const float angle = AngleAboutZ(q);
        EXPECT_GE(angle, previous - 1e-4f) << "t " << t;
        previous = angle;
        // The motion stays about z.
        EXPECT_NEAR(q.x, 0, 1e-5f);
        EXPECT_NEAR(q.y, 0, 1e-5f);
    }
    // Just after a key the track moves on, both ways of a key with a continuous speed.
    D3DXQUATERNION q1, q2;
    track.Value(1.01f, q1);
    track.Value(0.99f, q2);
    EXPECT_GT(AngleAboutZ(q1), angles[1]);
    EXPECT_LT(AngleAboutZ(q2), angles[1]);
    // Tension 1 makes the controls the keys themselves.
    RotationTrack tense;
    tense.AddKey(MakeRotationKey(0, z, 0, 0, 1, 0));
    tense.AddKey(MakeRotationKey(1, z, 1, 0, 1, 0));
    tense.AddKey(MakeRotationKey(2, z, 2, 0, 1, 0));
    const RotationTrack::Segment s = tense.ComputeSegment(0);
    EXPECT_TRUE(SameRotation(s.c1, s.q0, 1e-6f));
    EXPECT_TRUE(SameRotation(s.c2, s.q1, 1e-6f));
}

// Linear rotation tracks slerp. Keys shaped like the sway's (0, 0, 1) about one axis are a
// cubic Bezier in the angle: a segment leaves key i towards a_i + (a_i - a_(i-1)) / 3 and
// arrives at key i+1 from a_(i+1) - (a_(i+1) - a_i) / 3; an end without a neighbour
// mirrors the other side.
TEST(AnimRotationSpline, LinearAndShapedKeys) {
    RotationTrack linear;
    linear.SetFlags(kTrackLinear);
    const D3DXVECTOR3 z(0, 0, 1);
    linear.AddKey(MakeRotationKey(0, z, 0));
    linear.AddKey(MakeRotationKey(2, z, 1));
    D3DXQUATERNION q;
    ASSERT_TRUE(linear.Value(0.5f, q));
    EXPECT_NEAR(AngleAboutZ(q), 0.25f, 1e-5f);

    RotationTrack sway;
    sway.SetFlags(kTrackWrapTime);
    const D3DXVECTOR3 x(1, 0, 0);
    sway.AddKey(MakeRotationKey(0, x, 0, 0, 0, 1));
    sway.AddKey(MakeRotationKey(1, x, 0.1f, 0, 0, 1));
    sway.AddKey(MakeRotationKey(2, x, -0.1f, 0, 0, 1));
    sway.AddKey(MakeRotationKey(3, x, 0, 0, 0, 1));
    // Angles 0, 0.1, -0.1, 0: at u = 1/2 a segment is (a0 + 3 c1 + 3 c2 + a1) / 8.
    const struct {
        float t, angle;
    } cases[] = {
        {0.5f, (0 + 3 * 0.0f + 3 * (0.1f - 0.1f / 3) + 0.1f) / 8},                       // no key before the first
        {1.0f, 0.1f},                                                                      // on a key
        {1.5f, (0.1f + 3 * (0.1f + 0.1f / 3) + 3 * (-0.1f + 0.2f / 3) - 0.1f) / 8},       // 0.0375
        {2.5f, (-0.1f + 3 * (-0.1f - 0.2f / 3) + 3 * (0 - 0.2f / 3) + 0) / 8},            // -0.1
        {4.5f, (0.1f + 3 * (0.1f + 0.1f / 3) + 3 * (-0.1f + 0.2f / 3) - 0.1f) / 8},       // wraps to 1.5
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sway.Value(c.t, q));
        EXPECT_NEAR(D3DXQuaternionDot(&q, &q), 1, 1e-3f) << c.t;  // near keys slerp blends linearly
        const float sign = q.w < 0 ? -1.0f : 1.0f;
        EXPECT_NEAR(2 * std::atan2(sign * q.x, sign * q.w), c.angle, 2e-4f) << c.t;
        EXPECT_NEAR(q.y, 0, 1e-6f);
        EXPECT_NEAR(q.z, 0, 1e-6f);
    }
}

// Odd times and values never fail: NaN and infinite times land on a key or NaN values.
TEST(AnimKeyTrack, OddTimes) {
    VectorTrack track;
    track.SetFlags(kTrackWrapTime | kTrackClosed);
    track.AddKey(MakeVectorKey(NAN, D3DXVECTOR3(1, 1, 1)));
    EXPECT_EQ(track.KeyCount(), 0);
    track.AddKey(MakeVectorKey(0, D3DXVECTOR3(0, 0, 0)));
    track.AddKey(MakeVectorKey(1e-6f, D3DXVECTOR3(5, 0, 0)));
    track.AddKey(MakeVectorKey(1, D3DXVECTOR3(1, 0, 0)));
    for (float t : {NAN, INFINITY, -INFINITY, 5e-7f, 1e30f}) {
        D3DXVECTOR3 v;
        EXPECT_TRUE(track.Value(t, v));
    }
    D3DXVECTOR3 v;
    track.Value(5e-7f, v);
    EXPECT_EQ(v.x, 0);  // a segment shorter than 0.0001 yields its start value
}

// Animation tracks: evaluating a 13-key rotation spline (the size of a camera path's
// rotation track), with warm segment caches and with the cache rebuilt, and a 13-key
// position spline for comparison.

#include "scene/rotation_track.h"
#include "scene/transform_animation.h"
#include "scene/vector_track.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kKeys = 13;

RotationTrack ThirteenRotations() {
    RotationTrack track;
    for (int i = 0; i < kKeys; ++i) {
        const float f = static_cast<float>(i);
        const D3DXVECTOR3 axis(std::sin(f), 1.0f, std::cos(f * 0.5f));
        track.AddKey(MakeRotationKey(f * 10.0f, axis, 0.3f * f));
    }
    return track;
}

// One frame's evaluation at a time moving through the whole track.
void BM_RotationSpline13(benchmark::State& state) {
    const RotationTrack track = ThirteenRotations();
    float t = 0;
    D3DXQUATERNION q;
    for (auto _ : state) {
        track.Value(t, q);
        benchmark::DoNotOptimize(q);
        t += 0.0173f;
        if (t > 120.0f) t = 0;
    }
}
BENCHMARK(BM_RotationSpline13);

// The same with every segment's controls computed afresh (first use after loading).
void BM_RotationSpline13Cold(benchmark::State& state) {
    RotationTrack track = ThirteenRotations();
    float t = 0;
    D3DXQUATERNION q;
    for (auto _ : state) {
        track.SetFlags(0);  // drops the cached segments
        track.Value(t, q);
        benchmark::DoNotOptimize(q);
        t += 0.0173f;
        if (t > 120.0f) t = 0;
    }
}
BENCHMARK(BM_RotationSpline13Cold);

void BM_PositionSpline13(benchmark::State& state) {
    VectorTrack track;
    for (int i = 0; i < kKeys; ++i) {
        const float f = static_cast<float>(i);
        track.AddKey(MakeVectorKey(f * 10.0f, D3DXVECTOR3(std::sin(f) * 50, f, std::cos(f) * 50)));
    }
    float t = 0;
    D3DXVECTOR3 v;
    for (auto _ : state) {
        track.Value(t, v);
        benchmark::DoNotOptimize(v);
        t += 0.0173f;
        if (t > 120.0f) t = 0;
    }
}
BENCHMARK(BM_PositionSpline13);

// A whole transform animation (13 keys per track) into a matrix.
void BM_TransformAnimation13(benchmark::State& state) {
    TransformAnimation animation;
    for (int i = 0; i < kKeys; ++i) {
        const float f = static_cast<float>(i);
        animation.Position().AddKey(MakeVectorKey(f * 10.0f, D3DXVECTOR3(f, 2 * f, 3 * f)));
        animation.Rotation().AddKey(MakeRotationKey(f * 10.0f, D3DXVECTOR3(0, 1, 0), 0.3f * f));
    }
    float t = 0;
    D3DXMATRIX m;
    for (auto _ : state) {
        animation.Apply(t, m);
        benchmark::DoNotOptimize(m);
        t += 0.0173f;
        if (t > 120.0f) t = 0;
    }
}
BENCHMARK(BM_TransformAnimation13);

}  // namespace

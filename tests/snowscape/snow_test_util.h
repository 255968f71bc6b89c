#pragma once
// Helpers of the snow tests: an independent copy of the shared generator, the recording
// device with a virtual clock, and a read-back of the snow vertex buffer.

#include "core/clock.h"
#include "core/random.h"
#include "snowscape/snow_system.h"
#include "tests/render/render_fixture.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace snow_test {

// The generator written out again, so expected values do not come from the code under test.
struct Lcg {
    std::uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

inline CameraPose Camera(D3DXVECTOR3 position, D3DXVECTOR3 direction = {0, 0, 1}, D3DXVECTOR3 up = {0, 1, 0}) {
    CameraPose pose;
    pose.position = position;
    pose.direction = direction;
    pose.up = up;
    return pose;
}

// Tuning without motion: flakes stay where they are put or born.
inline SnowTuning StillTuning(int maxFlakes = 100000, float spawnRate = 1.0f) {
    SnowTuning tuning;
    tuning.maxFlakes = maxFlakes;
    tuning.spawnRate = spawnRate;
    tuning.fallStep = 0;
    tuning.strafe = 0;
    tuning.box = 300;
    return tuning;
}

// The recording device, a virtual clock at 1000 ms and a fixed seed.
class SnowTest : public RecordedDeviceTest {
protected:
    void SetUp() override {
        RecordedDeviceTest::SetUp();
        UseVirtualClock(1000, 0);
        SeedRandom(4242);
    }
    void TearDown() override {
        UseMonotonicClock();
        RecordedDeviceTest::TearDown();
    }

    static void Advance(std::int64_t ms) { SetVirtualTime(NowMilliseconds() + ms); }

    // The vertices of the last update's buffer, read back from the device buffer.
    static std::vector<SnowVertex> Written(const SnowSystem& snow) {
        std::vector<SnowVertex> vertices(std::size_t(snow.DrawnFlakes()) * kSnowVerticesPerFlake);
        if (vertices.empty()) return vertices;
        void* data = nullptr;
        const UINT bytes = UINT(vertices.size() * sizeof(SnowVertex));
        if (!snow.Renderer()->Vertices()->Lock(0, bytes, D3DLOCK_READONLY, &data) || data == nullptr) return {};
        std::memcpy(vertices.data(), data, bytes);
        snow.Renderer()->Vertices()->Unlock();
        return vertices;
    }

    // The centre of each written flake (the middle of its first and third corners).
    static std::vector<D3DXVECTOR3> Centres(const SnowSystem& snow) {
        std::vector<D3DXVECTOR3> centres;
        const std::vector<SnowVertex> v = Written(snow);
        for (std::size_t i = 0; i + 2 < v.size(); i += kSnowVerticesPerFlake)
            centres.emplace_back((v[i].x + v[i + 2].x) * 0.5f, (v[i].y + v[i + 2].y) * 0.5f,
                                 (v[i].z + v[i + 2].z) * 0.5f);
        return centres;
    }
};

}  // namespace snow_test

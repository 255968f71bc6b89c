// One snow frame at the largest snow amount: 4000 flakes moved, tested and written into the
// dynamic vertex buffer, on the recording device (the engine's own work, no GPU involved).

#include "core/clock.h"
#include "core/random.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/texture_cache.h"
#include "snowscape/snow_system.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct SnowBench {
    RecordingDevice* device = RecordingDevice::Create();
    TextureCache textures;
    std::unique_ptr<SnowSystem> system;
    SnowSystem& snow;

    explicit SnowBench(const SnowTuning& tuning)
        : system(std::make_unique<SnowSystem>(tuning)), snow(*system) {
        PublishDevice(device);
        ResetStateCache();
        UseVirtualClock(1000, 0);
        SeedRandom(1);
        snow.CreateRenderer(textures);
    }
    ~SnowBench() {
        system.reset();  // its buffer goes before the device
        textures.Clear();
        UseMonotonicClock();
        PublishDevice(nullptr);
        ResetStateCache();
        device->Release();
    }
};

// The largest preset: 4000 flakes. Each flake drifts straight up by exactly the fall step,
// so the list stays at 4000 while every flake still takes the whole per-frame path.
SnowTuning SteadyTuning() {
    SnowTuning tuning;
    tuning.maxFlakes = 4000;
    tuning.spawnRate = 4.0f;
    tuning.fallStep = 0.3f;
    tuning.strafe = 0.3f;
    tuning.box = 500;
    return tuning;
}

void AddSteadyFlakes(SnowSystem& snow, int count) {
    for (int i = 0; i < count; ++i) {
        // Within 130 units of a camera at (0, 100, 0) looking along +z.
        const float x = float(Random() % 100) - 50.0f;
        const float y = float(Random() % 100) + 60.0f;
        const float z = float(Random() % 100) + 1.0f;
        snow.AddFlake({{x, y, z}, {0, 1, 0}});
    }
}

void BM_SnowUpdate4000(benchmark::State& state) {
    SnowBench bench(SteadyTuning());
    AddSteadyFlakes(bench.snow, 4000);
    CameraPose camera;
    camera.position = {0, 100, 0};
    bench.snow.StartSpawnClock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.snow.Update(camera));
        bench.device->ClearCalls();
    }
    if (bench.snow.DrawnFlakes() != 4000) state.SkipWithError("the flake count changed");
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(BM_SnowUpdate4000);

// Update and draw with births: a 16 ms frame at 4 flakes per 5 ms, the list held near 4000.
void BM_SnowFrameWithBirths(benchmark::State& state) {
    SnowTuning tuning = SteadyTuning();
    SnowBench bench(tuning);
    bench.snow.InitialFill({0, 0, 0});
    AddSteadyFlakes(bench.snow, 3900);
    CameraPose camera;
    camera.position = {0, 100, 0};
    bench.snow.StartSpawnClock();
    for (auto _ : state) {
        SetVirtualTime(NowMilliseconds() + 16);
        benchmark::DoNotOptimize(bench.snow.Update(camera));
        benchmark::DoNotOptimize(bench.snow.Draw());
        bench.device->ClearCalls();
    }
    state.counters["flakes"] = bench.snow.FlakeCount();
}
BENCHMARK(BM_SnowFrameWithBirths);

}  // namespace

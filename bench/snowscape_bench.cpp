// One whole snowscape frame on the recording device: the camera flight, effects and
// billboards, the node walk with culling, every batch's index stream and states, the snow
// update, the fade: the engine's CPU time per frame without the GPU's (llvmpipe's) share.

#include "core/clock.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "snowscape/scene_settings.h"
#include "snowscape/snowscape.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SnowscapeFrame(benchmark::State& state) {
    RecordingDevice* device = RecordingDevice::Create();
    MountArchive();
    PublishDevice(device);
    ResetStateCache();
    UseVirtualClock(0, 1000.0 / 30.0);
    SeedRandom(5);
    LoadSceneSettings(2, 1);
    {
        Snowscape snowscape;
        snowscape.Create();
        snowscape.Start();
        // Half a minute in: the snow has thickened and effects are playing.
        for (int i = 0; i < 900; ++i) {
            snowscape.Draw(1280, 720);
            device->ClearCalls();
            AdvanceVirtualClock();
        }
        for (auto _ : state) {
            snowscape.Draw(1280, 720);
            device->ClearCalls();
            AdvanceVirtualClock();
        }
        state.counters["flakes"] = snowscape.Snow().FlakeCount();
    }
    UseMonotonicClock();
    PublishDevice(nullptr);
    ResetStateCache();
    device->Release();
}
BENCHMARK(BM_SnowscapeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

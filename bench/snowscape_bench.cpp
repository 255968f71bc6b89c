// One whole snowscape frame on the recording device: the camera flight, effects and
// billboards, the node walk with culling, every batch's index stream and states, the snow
// update, the fade, and the overlay labels when asked: the engine's CPU time per frame
// without the GPU's (llvmpipe's) share.

#include "core/clock.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "snowscape/scene_settings.h"
#include "snowscape/snowscape.h"
#include "snowscape/text_overlay.h"

#include <benchmark/benchmark.h>

namespace {

// Argument 0: the frame alone; 1: with the frame-rate and clock labels, refreshed as the
// main loop refreshes them.
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
        TextOverlay overlay;
        TextOverlay* drawn = state.range(0) != 0 ? &overlay : nullptr;
        if (drawn != nullptr) {
            overlay.LoadFonts();
            overlay.CreateFpsText();
            overlay.CreateClockText(false, 1.25f);
        }
        // Half a minute in: the snow has thickened and effects are playing.
        for (int i = 0; i < 900; ++i) {
            snowscape.Draw(1280, 720, drawn);
            device->ClearCalls();
            AdvanceVirtualClock();
        }
        int frame = 0, drawCalls = 0;
        const String clock[2] = {"1:07:09 pm", "1:07:10 pm"};
        for (auto _ : state) {
            if (drawn != nullptr) {
                if (frame % 30 == 0) overlay.SetFpsText(String::FromInt(29 + frame % 2));
                overlay.SetClockText(clock[(frame / 30) & 1], 1280, 720);
            }
            snowscape.Draw(1280, 720, drawn);
            // The first timed frame is the same frame in both runs: the difference is the overlay's.
            if (frame == 0) drawCalls = device->Count("DrawPrimitive") + device->Count("DrawIndexedPrimitive");
            device->ClearCalls();
            AdvanceVirtualClock();
            ++frame;
        }
        state.counters["flakes"] = snowscape.Snow().FlakeCount();
        state.counters["draw_calls"] = drawCalls;
    }
    UseMonotonicClock();
    PublishDevice(nullptr);
    ResetStateCache();
    device->Release();
}
BENCHMARK(BM_SnowscapeFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

// The text overlay on the recording device: one label's layout and glyph geometry, and the
// overlay's pass as the main loop runs it (the engine's CPU time, without llvmpipe's share).
// The whole frame with the labels is in snowscape_bench.cpp.

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

class BenchDevice {
public:
    BenchDevice() : device(RecordingDevice::Create()) {
        MountArchive();
        PublishDevice(device);
        ResetStateCache();
    }
    ~BenchDevice() {
        PublishDevice(nullptr);
        ResetStateCache();
        device->Release();
    }
    RecordingDevice* device;
};

void BM_LabelLayoutAndGeometry(benchmark::State& state) {
    BenchDevice bench;
    {
        TextOverlay overlay;
        overlay.LoadFonts();
        overlay.CreateClockText(false, 1.25f);
        const String texts[2] = {"12:07:09 pm ", "12:07:10 pm "};  // twelve characters
        int i = 0;
        for (auto _ : state) {
            overlay.SetClockText(texts[i++ & 1], 1280, 720);
            overlay.Root().RunTasks();
        }
        state.counters["glyphs"] = double(overlay.ClockText()->Boxes().size());
    }
}
BENCHMARK(BM_LabelLayoutAndGeometry)->Unit(benchmark::kMicrosecond);

// The overlay's share of a frame: both labels refreshed as the main loop refreshes them (the
// clock every frame), rebuilt and drawn.
void BM_OverlayPass(benchmark::State& state) {
    BenchDevice bench;
    {
        TextOverlay overlay;
        overlay.LoadFonts();
        overlay.CreateFpsText();
        overlay.CreateClockText(false, 1.25f);
        const String clock[2] = {"1:07:09 pm", "1:07:10 pm"};
        int frame = 0, drawCalls = 0;
        for (auto _ : state) {
            if (frame % 30 == 0) overlay.SetFpsText(String::FromInt(29 + frame % 2));
            overlay.SetClockText(clock[(frame / 30) & 1], 1280, 720);
            overlay.Draw();
            drawCalls = bench.device->Count("DrawPrimitive");
            bench.device->ClearCalls();
            ++frame;
        }
        state.counters["draw_calls"] = drawCalls;
    }
}
BENCHMARK(BM_OverlayPass)->Unit(benchmark::kMicrosecond);


}  // namespace

// The shipped scene: loading it (without and with its textures) and one frame's walk over
// the whole tree into the render queue, alone and with the queue drawn. Runs on the
// recording device, so only the CPU side is measured.

#include "core/media_archive.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/texture_cache.h"
#include "render/view_frustum.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"

#include <benchmark/benchmark.h>

namespace {

const String kScenePath = String(kMediaFolder) + "/frostvale.udf";

struct RecordingScope {
    RecordingScope() : device(RecordingDevice::Create()) {
        MountArchive();
        PublishDevice(device);
        ResetStateCache();
    }
    ~RecordingScope() {
        PublishDevice(nullptr);
        ResetStateCache();
        device->Release();
    }
    RecordingDevice* device;
};

void BM_LoadScene(benchmark::State& state) {
    RecordingScope scope;
    const bool withTextures = state.range(0) != 0;
    for (auto _ : state) {
        TextureCache textures;
        Scene scene(withTextures ? &textures : nullptr);
        benchmark::DoNotOptimize(LoadScene(scene, kScenePath));
        scope.device->ClearCalls();
    }
}
BENCHMARK(BM_LoadScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The camera of the first frame, looking along +z from the edge of the village.
ViewFrustum StartFrustum() {
    D3DXMATRIX view, projection, viewProjection;
    const D3DXVECTOR3 eye(-370, 100, -250), at(-370, 100, -249), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 70.0f * 3.1415927f / 180.0f, 16.0f / 9.0f, 10, 1300);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    return ViewFrustum(viewProjection);
}

void BM_DrawNodeScene(benchmark::State& state) {
    RecordingScope scope;
    TextureCache textures;
    Scene scene(&textures);
    LoadScene(scene, kScenePath);
    const ViewFrustum frustum = StartFrustum();
    const bool drawQueue = state.range(0) != 0;
    for (auto _ : state) {
        DrawContext context;
        context.queue = &scene.Queue();
        context.frustum = &frustum;
        DrawNode(scene.Root(), context);
        if (!drawQueue) state.PauseTiming();
        scene.Queue().Draw();
        if (!drawQueue) state.ResumeTiming();
        scope.device->ClearCalls();
    }
}
BENCHMARK(BM_DrawNodeScene)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

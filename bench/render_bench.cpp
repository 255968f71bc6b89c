// Costs of the batch buffers, the draw of a RenderVertices and the overlay queue, on the
// recording device (no GPU involved: these measure the engine's own bookkeeping).

#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/dynamic_batch_buffer.h"
#include "render/overlay_queue.h"
#include "render/render_state_cache.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Recorder {
    RecordingDevice* device = RecordingDevice::Create();
    Recorder() {
        PublishDevice(device);
        ResetStateCache();
    }
    ~Recorder() {
        PublishDevice(nullptr);
        ResetStateCache();
        device->Release();
    }
};

// Allocation and free under churn: 1 MB, about 600 live blocks of 24 ... 2400 bytes.
void BM_BatchBufferChurn(benchmark::State& state) {
    Recorder recorder;
    BatchBuffer buffer;
    buffer.ConfigureVertices(1 << 20, D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1, 24, D3DPOOL_DEFAULT);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    };
    std::vector<BufferBlock*> live;
    for (int i = 0; i < 600; ++i) live.push_back(buffer.Allocate(24 * (1 + next() % 100), nullptr, nullptr));
    std::int64_t failed = 0;
    for (auto _ : state) {
        const std::size_t victim = next() % live.size();
        buffer.Free(live[victim], false);
        live[victim] = buffer.Allocate(24 * (1 + next() % 100), nullptr, nullptr);
        if (live[victim] == nullptr) {
            ++failed;
            buffer.Compact(false);
            live[victim] = buffer.Allocate(24, nullptr, nullptr);
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["blocks"] = buffer.BlockCount();
    state.counters["failed"] = double(failed);
}
BENCHMARK(BM_BatchBufferChurn);

// One RenderVertices with 1000 triangles, drawn again and again: the cache filters every
// state, so each draw should cost three device calls.
void BM_RenderVerticesDrawWarm(benchmark::State& state) {
    Recorder recorder;
    RendererDescription description;
    description.vertices = VertexDescription(D3DFVF_XYZ | D3DFVF_DIFFUSE, 16, 48000);
    description.state.alphaMode = 4;
    description.state.alphaFactor = 0.5f;
    RenderVertices vertices;
    vertices.Assemble(description);
    for (int i = 0; i < 1000; ++i) vertices.Vertices()->Allocate(48, nullptr, nullptr);
    vertices.Draw();
    std::size_t calls = 0;
    for (auto _ : state) {
        recorder.device->ClearCalls();
        benchmark::DoNotOptimize(vertices.Draw());
        calls = recorder.device->Calls().size();
    }
    state.counters["device_calls_per_draw"] = double(calls);
}
BENCHMARK(BM_RenderVerticesDrawWarm);

struct BenchElement : OrderedItem {
    int order = 0;
    std::vector<Renderer*> renderers;
    int OrderValue() const override { return order; }
    void ListRenderers(std::vector<Renderer*>& out) const override {
        out.insert(out.end(), renderers.begin(), renderers.end());
    }
};

// 100 ordered elements acquire renderers, two textures alternating every ten elements, in
// a shuffled order of insertion.
void BM_AcquireRenderer100(benchmark::State& state) {
    Recorder recorder;
    std::int64_t renderers = 0;
    for (auto _ : state) {
        OverlayQueue overlay;
        std::vector<std::unique_ptr<BenchElement>> elements;
        std::vector<RendererRef> held;
        for (int i = 0; i < 100; ++i) {
            auto element = std::make_unique<BenchElement>();
            element->order = (i * 37) % 100;
            overlay.AddElement(element.get());
            RendererDescription description;
            description.vertices = VertexDescription(D3DFVF_XYZRHW | D3DFVF_TEX1, 24, 72 * 4);
            description.state.alphaMode = (element->order / 10) % 2 ? 2 : 0;
            RendererRef renderer = overlay.AcquireRenderer(element.get(), description);
            if (renderer) {
                element->renderers.push_back(renderer.Get());
                held.push_back(renderer);
            }
            elements.push_back(std::move(element));
        }
        renderers = overlay.Queue().ChildCount();
        benchmark::DoNotOptimize(renderers);
    }
    state.counters["queue_children"] = double(renderers);
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_AcquireRenderer100);

}  // namespace

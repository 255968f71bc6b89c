// The texture loader end to end: D3DXCreateTextureFromFileInMemoryEx of image files to
// A8R8G8B8 textures with a full box-filtered mip chain, on the recording device (memory
// textures: decode, convert, mip chain, and the copy into every locked level).

#include "platform/d3d9/recording_device.h"
#include "platform/d3dx/d3dx_texture.h"
#include "platform/image/image_encoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

image::Image Drifts(int side, bool alpha) {
    image::Image img;
    img.Allocate(side, side);
    std::uint32_t state = 4242;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            state = state * 214013u + 2531011u;
            const int noise = static_cast<int>((state >> 16) & 15);
            const int base = 190 + ((x * 29 / side + y * 41 / side) % 50);
            const unsigned v = static_cast<unsigned>(std::min(255, base + noise - 8));
            const unsigned a = alpha ? static_cast<unsigned>((x + 3 * y) & 0xFF) : 0xFF;
            img.pixels[static_cast<std::size_t>(y) * side + x] = image::PackArgb(a, v - 24, v - 10, v);
        }
    }
    return img;
}

void CreateTexture(benchmark::State& state, const std::vector<std::uint8_t>& file) {
    RecordingDevice* device = RecordingDevice::Create();
    for (auto _ : state) {
        IDirect3DTexture9* texture = nullptr;
        const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            device, file.data(), UINT(file.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
            D3DPOOL_MANAGED, D3DX_FILTER_BOX, D3DX_FILTER_BOX, 0, nullptr, nullptr, &texture);
        if (FAILED(hr) || !texture) {
            state.SkipWithError("texture creation failed");
            break;
        }
        texture->Release();
        device->ClearCalls();
    }
    device->Release();
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}

void BM_D3dxTextureFromJpeg512(benchmark::State& state) {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> out;
        image::EncodeJpeg(Drifts(512, false), {85, false, false}, out);
        return out;
    }();
    CreateTexture(state, file);
}
BENCHMARK(BM_D3dxTextureFromJpeg512)->Unit(benchmark::kMillisecond);

void BM_D3dxTextureFromPng1024(benchmark::State& state) {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> out;
        image::EncodePng(Drifts(1024, true), out);
        return out;
    }();
    CreateTexture(state, file);
}
BENCHMARK(BM_D3dxTextureFromPng1024)->Unit(benchmark::kMillisecond);

}  // namespace

// Image files to textures: decoding, and decoding plus conversion to A8R8G8B8 with a full
// box-filtered mip chain (what the texture loader does for each image file).

#include "platform/image/image_encoder.h"
#include "platform/image/texture_image.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <vector>

namespace {

// A snow-like texture: soft gradients with fine noise, so the encoders cannot shrink it to nothing.
image::Image Snowfield(int side, bool alpha) {
    image::Image img;
    img.Allocate(side, side);
    std::uint32_t state = 12345;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            state = state * 214013u + 2531011u;
            const int noise = static_cast<int>((state >> 16) & 15);
            const int base = 200 + ((x * 37 / side + y * 23 / side) % 40);
            const unsigned v = static_cast<unsigned>(std::min(255, base + noise - 8));
            const unsigned a = alpha ? static_cast<unsigned>((x ^ y) & 0xFF) : 0xFF;
            img.pixels[static_cast<std::size_t>(y) * side + x] = image::PackArgb(a, v - 20, v - 8, v);
        }
    }
    return img;
}

const std::vector<std::uint8_t>& Jpeg512() {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> out;
        image::EncodeJpeg(Snowfield(512, false), {85, false, false}, out);
        return out;
    }();
    return file;
}

const std::vector<std::uint8_t>& Png1024() {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> out;
        image::EncodePng(Snowfield(1024, true), out);
        return out;
    }();
    return file;
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& file) {
    for (auto _ : state) {
        image::Image img;
        benchmark::DoNotOptimize(image::DecodeImage(file.data(), file.size(), img));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void ToTexture(benchmark::State& state, const std::vector<std::uint8_t>& file) {
    image::TextureParams params;
    params.format = image::kFormatA8R8G8B8;
    params.filter = image::kFilterBox;
    params.mipFilter = image::kFilterBox;
    for (auto _ : state) {
        image::TextureImage texture;
        benchmark::DoNotOptimize(image::BuildTextureImage(file.data(), file.size(), params, texture));
        if (texture.levels.size() < 10) state.SkipWithError("no mip chain");
    }
}

}  // namespace

static void BM_ImageDecodeJpeg512(benchmark::State& state) { Decode(state, Jpeg512()); }
BENCHMARK(BM_ImageDecodeJpeg512)->Unit(benchmark::kMillisecond);

static void BM_ImageJpeg512ToTextureWithMips(benchmark::State& state) { ToTexture(state, Jpeg512()); }
BENCHMARK(BM_ImageJpeg512ToTextureWithMips)->Unit(benchmark::kMillisecond);

static void BM_ImageDecodePng1024(benchmark::State& state) { Decode(state, Png1024()); }
BENCHMARK(BM_ImageDecodePng1024)->Unit(benchmark::kMillisecond);

static void BM_ImagePng1024ToTextureWithMips(benchmark::State& state) { ToTexture(state, Png1024()); }
BENCHMARK(BM_ImagePng1024ToTextureWithMips)->Unit(benchmark::kMillisecond);

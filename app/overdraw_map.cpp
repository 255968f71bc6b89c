#include "app/overdraw_map.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::uint32_t kHeat[] = {0xFF000000u, 0xFF0000A0u, 0xFF00A0A0u, 0xFF00C000u, 0xFFE0E000u,
                                   0xFFFF8000u, 0xFFFF0000u, 0xFFFF00FFu, 0xFFFFFFFFu};
constexpr std::size_t kHeatLevels = sizeof kHeat / sizeof kHeat[0];

}  // namespace

double MeanOverdraw(const PresentedFrame& counts) {
    const std::size_t pixels = counts.rgba.size() / 4;
    if (pixels == 0) return 0;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < pixels; ++i) sum += counts.rgba[i * 4];
    return double(sum) / double(pixels);
}

image::Image OverdrawHeatMap(const PresentedFrame& counts) {
    image::Image map;
    if (!map.Allocate(counts.width, counts.height)) return map;
    for (std::size_t i = 0; i < map.pixels.size(); ++i)
        map.pixels[i] = kHeat[std::min<std::size_t>(counts.rgba[i * 4], kHeatLevels - 1)];
    return map;
}

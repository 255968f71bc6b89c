#include "platform/image/image_resize.h"

#include <algorithm>
#include <cmath>

namespace image {
namespace {

// One destination texel along one axis: a run of source texels with weights summing to 1.
struct Taps {
    int first = 0;
    int count = 0;
    int weightOffset = 0;
};

struct AxisPlan {
    std::vector<Taps> taps;
    std::vector<float> weights;
};

AxisPlan PlanAxis(int sourceSize, int destSize, DWORD type) {
    AxisPlan plan;
    plan.taps.resize(destSize);
    const double scale = static_cast<double>(sourceSize) / destSize;
    const bool area = (type == kFilterBox || type == kFilterTriangle) && scale > 1.0;
    for (int i = 0; i < destSize; ++i) {
        Taps& t = plan.taps[i];
        t.weightOffset = static_cast<int>(plan.weights.size());
        if (type == kFilterPoint) {
            t.first = std::min(sourceSize - 1, static_cast<int>((i + 0.5) * scale));
            t.count = 1;
            plan.weights.push_back(1.0f);
        } else if (area) {
            const double begin = i * scale, end = (i + 1) * scale;
            t.first = static_cast<int>(begin);
            const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(end)) - 1);
            for (int s = t.first; s <= last; ++s) {
                const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
                plan.weights.push_back(static_cast<float>(covered / scale));
            }
            t.count = last - t.first + 1;
        } else {
            const double centre =
                std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(sourceSize - 1));
            t.first = static_cast<int>(centre);
            const double frac = centre - t.first;
            if (t.first + 1 < sourceSize && frac > 0.0) {
                t.count = 2;
                plan.weights.push_back(static_cast<float>(1.0 - frac));
                plan.weights.push_back(static_cast<float>(frac));
            } else {
                t.count = 1;
                plan.weights.push_back(1.0f);
            }
        }
    }
    return plan;
}

std::uint32_t ToTexel(const float* c) {
    unsigned v[4];
    for (int k = 0; k < 4; ++k) v[k] = static_cast<unsigned>(std::clamp(c[k] + 0.5f, 0.0f, 255.0f));
    return PackArgb(v[0], v[1], v[2], v[3]);
}

// Horizontally filtered source rows (A, R, G, B floats per texel). Consecutive destination
// rows share at most their boundary rows, so the last two rows computed are kept; memory stays
// a few destination rows whatever the source size.
class RowCache {
public:
    RowCache(const Image& source, const AxisPlan& xs, int width) : source_(source), xs_(xs), width_(width) {
        for (auto& row : rows_) row.resize(static_cast<std::size_t>(width) * 4);
    }

    const float* Get(int y) {
        for (int i = 0; i < 2; ++i) {
            if (index_[i] == y) return rows_[i].data();
        }
        const int slot = next_;
        next_ ^= 1;
        index_[slot] = y;
        const std::uint32_t* src = source_.pixels.data() + static_cast<std::size_t>(y) * source_.width;
        float* dst = rows_[slot].data();
        for (int x = 0; x < width_; ++x, dst += 4) {
            const Taps& t = xs_.taps[x];
            float a = 0, r = 0, g = 0, b = 0;
            for (int k = 0; k < t.count; ++k) {
                const std::uint32_t c = src[t.first + k];
                const float w = xs_.weights[t.weightOffset + k];
                a += w * (c >> 24);
                r += w * ((c >> 16) & 0xFF);
                g += w * ((c >> 8) & 0xFF);
                b += w * (c & 0xFF);
            }
            dst[0] = a, dst[1] = r, dst[2] = g, dst[3] = b;
        }
        return rows_[slot].data();
    }

private:
    const Image& source_;
    const AxisPlan& xs_;
    int width_;
    int index_[2] = {-1, -1};
    int next_ = 0;
    std::vector<float> rows_[2];
};

void Resample(const Image& source, int width, int height, DWORD type, Image& out) {
    const AxisPlan xs = PlanAxis(source.width, width, type);
    const AxisPlan ys = PlanAxis(source.height, height, type);
    RowCache cache(source, xs, width);
    std::vector<float> sum(static_cast<std::size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        const Taps& t = ys.taps[y];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = 0; k < t.count; ++k) {
            const float w = ys.weights[t.weightOffset + k];
            const float* row = cache.Get(t.first + k);
            for (int i = 0; i < width * 4; ++i) sum[i] += w * row[i];
        }
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) dst[x] = ToTexel(sum.data() + 4 * x);
    }
}

std::uint32_t Average4(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    // Two channels at a time in 10-bit lanes: 4 x 255 + 2 fits.
    const std::uint32_t m = 0x00FF00FFu;
    const std::uint32_t lo = ((a & m) + (b & m) + (c & m) + (d & m) + 0x00020002u) >> 2;
    const std::uint32_t hi =
        (((a >> 8) & m) + ((b >> 8) & m) + ((c >> 8) & m) + ((d >> 8) & m) + 0x00020002u) >> 2;
    return (lo & m) | ((hi & m) << 8);
}

}  // namespace

DWORD FilterType(DWORD filter) {
    const DWORD type = filter & 0xFF;
    if (filter == kD3dxDefault || type < kFilterNone || type > kFilterBox) return kFilterTriangle;
    return type;
}

bool ResizeImage(const Image& source, int width, int height, DWORD filter, Image& out) {
    if (source.Empty() || &source == &out) return false;
    if (!out.Allocate(width, height)) return false;
    const DWORD type = FilterType(filter);
    if (type == kFilterNone || (width == source.width && height == source.height)) {
        const int w = std::min(width, source.width), h = std::min(height, source.height);
        for (int y = 0; y < h; ++y) {
            std::copy_n(source.pixels.data() + static_cast<std::size_t>(y) * source.width, w,
                        out.pixels.data() + static_cast<std::size_t>(y) * width);
        }
        return true;
    }
    Resample(source, width, height, type, out);
    return true;
}

int FullMipCount(int width, int height) {
    int side = std::max(width, height), levels = 1;
    while (side > 1) {
        side /= 2;
        ++levels;
    }
    return levels;
}

bool NextMipLevel(const Image& source, DWORD mipFilter, Image& out) {
    if (source.Empty() || &source == &out) return false;
    const int w = std::max(1, source.width / 2), h = std::max(1, source.height / 2);
    const DWORD type = FilterType(mipFilter);
    const bool point = type == kFilterPoint || type == kFilterNone;
    const bool evenX = source.width % 2 == 0 || source.width == 1;
    const bool evenY = source.height % 2 == 0 || source.height == 1;
    if (!point && !(evenX && evenY)) return ResizeImage(source, w, h, kFilterBox, out);
    if (!out.Allocate(w, h)) return false;
    const int stepX = source.width > 1 ? 1 : 0, stepY = source.height > 1 ? source.width : 0;
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src =
            source.pixels.data() + static_cast<std::size_t>(y) * (source.height > 1 ? 2 : 1) * source.width;
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t* s = src + (source.width > 1 ? 2 * x : x);
            dst[x] = point ? s[0] : Average4(s[0], s[stepX], s[stepY], s[stepX + stepY]);
        }
    }
    return true;
}

}  // namespace image

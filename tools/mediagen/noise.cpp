#include "tools/mediagen/noise.h"

#include <algorithm>
#include <cmath>

std::uint32_t Hash(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<std::uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(int x, int y, int z, std::uint32_t seed) { return (Hash(x, y, z, seed) >> 8) * (1.0f / 16777216.0f); }

std::uint32_t Rng::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }

float Rng::Range(float low, float high) { return low + (high - low) * Unit(); }

int Rng::Below(int count) { return count > 0 ? static_cast<int>(Next() % static_cast<std::uint32_t>(count)) : 0; }

namespace {

int Wrap(int value, int period) {
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

float TileNoise(float x, float y, int periodX, int periodY, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const float tx = Fade(x - fx), ty = Fade(y - fy);
    const int xa = Wrap(x0, periodX), xb = Wrap(x0 + 1, periodX);
    const int ya = Wrap(y0, periodY), yb = Wrap(y0 + 1, periodY);
    const int level = periodX * 4099 + periodY;
    const float a = HashUnit(xa, ya, level, seed), b = HashUnit(xb, ya, level, seed);
    const float c = HashUnit(xa, yb, level, seed), d = HashUnit(xb, yb, level, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float TileFbm(float u, float v, int periodX, int periodY, int octaves, float gain, std::uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * TileNoise(u * periodX, v * periodY, periodX, periodY, seed + 101u * i);
        total += amplitude;
        amplitude *= gain;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

CellDistances TileCells(float u, float v, int period, std::uint32_t seed) {
    const float x = u * period, y = v * period;
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    CellDistances result{8.0f, 8.0f, 0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const int wx = Wrap(gx, period), wy = Wrap(gy, period);
            const float px = gx + 0.1f + 0.8f * HashUnit(wx, wy, 1, seed);
            const float py = gy + 0.1f + 0.8f * HashUnit(wx, wy, 2, seed);
            const float dx = px - x, dy = py - y;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < result.first) {
                result.second = result.first;
                result.first = d;
                result.cell = Hash(wx, wy, 3, seed);
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}

float Smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Tileable surface textures. Each is a function of (u, v) built from tileable noise, so
// opposite edges meet without a seam; lighting comes from the upper left.

#include "tools/mediagen/noise.h"
#include "tools/mediagen/textures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

float Fract(float x) { return x - std::floor(x); }

// Height-field shading: brightness from the slope of h towards a light at the upper left.
float Relief(const std::function<float(float, float)>& height, float u, float v, float step, float strength) {
    const float dx = height(u + step, v) - height(u - step, v);
    const float dy = height(u, v + step) - height(u, v - step);
    return 1.0f + strength * (-dx - dy);
}

}  // namespace

void FillImage(Image& image, const std::function<Rgba(float u, float v)>& shader) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            image.At(x, y) = shader((x + 0.5f) / image.Width(), (y + 0.5f) / image.Height());
        }
    }
}

Image PaintSnow(int size) {
    Image image(size, size);
    const Rgba shadow = FromBytes(196, 208, 226), lit = FromBytes(250, 250, 252);
    auto height = [](float u, float v) { return TileFbm(u, v, 4, 5, 0.55f, 11); };
    const float step = 1.0f / size;
    FillImage(image, [&](float u, float v) {
        const float shade = std::clamp(0.55f + 0.45f * (Relief(height, u, v, step, 28.0f) - 1.0f) * 2.0f +
                                           0.35f * (height(u, v) - 0.5f),
                                       0.0f, 1.0f);
        Rgba c = Mix(shadow, lit, 0.35f + 0.65f * shade);
        const float grain = TileFbm(u, v, 64, 2, 0.5f, 12);
        c = Scale(c, 0.97f + 0.05f * grain);
        return c;
    });
    // Sparkle: a few single bright crystals with a faint cross, sparse enough to stay subtle.
    Rng rng(13);
    const int count = size * size / 2500;
    for (int i = 0; i < count; ++i) {
        const int x = rng.Below(size), y = rng.Below(size);
        const float strength = rng.Range(0.3f, 1.0f);
        const Rgba white{1, 1, 1, 1};
        image.At(x, y) = Mix(image.At(x, y), white, strength);
        const int arms[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& arm : arms) {
            Rgba& p = image.At((x + arm[0] + size) % size, (y + arm[1] + size) % size);
            p = Mix(p, white, strength * 0.35f);
        }
    }
    return image;
}

Image PaintBark(int size) {
    Image image(size, size);
    const Rgba dark = FromBytes(36, 27, 22), mid = FromBytes(82, 63, 50), light = FromBytes(122, 103, 88);
    FillImage(image, [&](float u, float v) {
        const float warp = TileFbm(u, v, 4, 2, 4, 0.5f, 21);
        const float fibres = TileFbm(u + 0.05f * warp, v, 48, 4, 4, 0.55f, 22);
        const float plates = TileFbm(u + 0.05f * warp, v, 10, 5, 3, 0.5f, 23);
        const float ridge = 0.5f + 0.5f * std::sin(2 * kPi * (11 * u + 0.9f * warp));
        // Deep furrows between ridged plates; fine fibres and roughness over everything.
        const float crack = Smoothstep(0.22f, 0.06f, ridge * 0.6f + plates * 0.55f - 0.15f);
        Rgba c = Mix(mid, light, Smoothstep(0.3f, 0.8f, plates * 0.6f + fibres * 0.5f));
        c = Scale(c, 0.7f + 0.6f * fibres);
        c = Mix(c, dark, crack);
        const float lichen = Smoothstep(0.64f, 0.76f, TileFbm(u, v, 6, 3, 0.5f, 24));
        c = Mix(c, FromBytes(124, 130, 104), lichen * 0.35f);
        const float rough = TileFbm(u, v, 64, 2, 0.5f, 25);
        return Scale(c, (0.8f + 0.3f * ridge * (1.0f - crack)) * (0.9f + 0.2f * rough));
    });
    return image;
}

Image PaintNeedles(int size) {
    Image image(size, size, FromBytes(18, 36, 24));
    Rng rng(31);
    // Needles: short strokes slanting down and outwards from hidden twigs, darkest first.
    const int strokes = size * size / 10;
    for (int i = 0; i < strokes; ++i) {
        const float depth = static_cast<float>(i) / strokes;
        const float x0 = rng.Range(0, size), y0 = rng.Range(0, size);
        const float side = rng.Unit() < 0.5f ? -1.0f : 1.0f;
        const float angle = side * rng.Range(0.35f, 1.1f);
        const float length = rng.Range(5.0f, 11.0f) * size / 256.0f;
        const float dx = std::sin(angle), dy = std::cos(angle);
        const float tone = 0.45f + 0.55f * depth + rng.Range(-0.1f, 0.1f);
        const Rgba colour = Mix(FromBytes(14, 34, 22), FromBytes(60, 96, 58), std::clamp(tone, 0.0f, 1.0f));
        const int steps = static_cast<int>(length * 2);
        for (int s = 0; s <= steps; ++s) {
            const float t = static_cast<float>(s) / steps;
            const int x = static_cast<int>(x0 + dx * length * t), y = static_cast<int>(y0 + dy * length * t);
            const int wx = ((x % size) + size) % size, wy = ((y % size) + size) % size;
            image.Blend(wx, wy, colour, 0.85f);
        }
    }
    // Snow resting on the boughs: soft clumps with shading, blue in their shadows.
    const Rgba snowLit = FromBytes(244, 246, 250), snowShadow = FromBytes(170, 186, 206);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Domain-warped noise, so the clumps come out rounded rather than grid-aligned.
            auto clumps = [](float s, float t) {
                const float wu = TileFbm(s, t, 4, 4, 2, 0.5f, 34) - 0.5f, wv = TileFbm(s, t, 4, 4, 2, 0.5f, 35) - 0.5f;
                return TileFbm(s + 0.12f * wu, t + 0.12f * wv, 6, 5, 2, 0.4f, 32);
            };
            const float n = clumps(u, v);
            const float cover = Smoothstep(0.57f, 0.61f, n);
            if (cover <= 0) continue;
            const float shade = Smoothstep(-0.01f, 0.015f, n - clumps(u, v + 4.0f / size));
            image.Blend(x, y, Mix(snowShadow, snowLit, shade), cover);
        }
    }
    return image;
}

Image PaintLogs(int size) {
    Image image(size, size);
    const int logs = 8;
    const Rgba wood = FromBytes(120, 80, 50), weathered = FromBytes(82, 60, 44), gap = FromBytes(28, 20, 16);
    const Rgba snow = FromBytes(236, 240, 246);
    FillImage(image, [&](float u, float v) {
        const float row = v * logs;
        const int index = static_cast<int>(row);
        const float t = Fract(row);  // 0 at the top of a log, 1 at its bottom
        const float tint = HashUnit(index, 0, 0, 41);
        const float grain = TileFbm(u + 0.3f * tint, v, 2, logs * 4, 4, 0.5f, 42);
        const float knots = Smoothstep(0.8f, 0.86f, TileFbm(u, v, 16, logs * 4, 2, 0.5f, 43));
        const float rings = 0.5f + 0.5f * std::sin(2 * kPi * (row * 5 + 4 * grain));
        Rgba c = Mix(wood, weathered, 0.35f + 0.5f * grain + 0.2f * (tint - 0.5f));
        c = Scale(c, 0.88f + 0.16f * rings);
        c = Mix(c, gap, knots * 0.6f);
        const float round = std::pow(std::sin(kPi * std::clamp((t - 0.04f) / 0.92f, 0.0f, 1.0f)), 0.45f);
        const float light = 0.45f + 0.55f * round * (1.15f - 0.35f * t);
        c = Scale(c, light);
        // Chinking between logs and a rim of snow lying on each log's top.
        const float chink = Smoothstep(0.06f, 0.0f, t) + Smoothstep(0.94f, 1.0f, t);
        c = Mix(c, gap, std::min(chink, 1.0f));
        const float snowLine = Smoothstep(0.13f, 0.03f, t) * Smoothstep(0.0f, 0.03f, t);
        const float patch = Smoothstep(0.4f, 0.6f, TileFbm(u, v, 6, logs, 3, 0.5f, 44));
        return Mix(c, snow, snowLine * patch * 0.85f);
    });
    return image;
}

Image PaintShingles(int size) {
    Image image(size, size);
    const int rows = 8, columns = 8;
    const Rgba base = FromBytes(104, 86, 76), dark = FromBytes(40, 32, 30), snow = FromBytes(232, 236, 244);
    FillImage(image, [&](float u, float v) {
        const float row = v * rows;
        const int r = static_cast<int>(row);
        const float t = Fract(row);
        const float shift = (r % 2) * 0.5f + 0.15f * (HashUnit(r, 0, 0, 51) - 0.5f);
        const float col = Fract(u + shift / columns) * columns;
        const int c = static_cast<int>(col);
        const float s = Fract(col);
        const float tint = HashUnit(c, r, 0, 52);
        const float grain = TileFbm(u, v, 16, 4 * rows, 3, 0.5f, 53);
        Rgba colour = Mix(base, FromBytes(138, 120, 104), 0.6f * tint);
        colour = Scale(colour, 0.75f + 0.4f * grain);
        // Shadow cast by the row above onto the top of this one, light on the lower edge.
        colour = Scale(colour, 0.55f + 0.45f * Smoothstep(0.0f, 0.3f, t) + 0.15f * Smoothstep(0.8f, 1.0f, t));
        const float seam = Smoothstep(0.05f, 0.0f, s) + Smoothstep(0.95f, 1.0f, s) + Smoothstep(0.96f, 1.0f, t);
        colour = Mix(colour, dark, std::min(seam, 1.0f) * 0.8f);
        const float dusting = Smoothstep(0.6f, 0.72f, TileFbm(u, v, 4, 4, 4, 0.55f, 54)) * Smoothstep(0.35f, 0.0f, t);
        return Mix(colour, snow, dusting * 0.8f);
    });
    return image;
}

Image PaintStone(int size) {
    Image image(size, size);
    const int rows = 6;
    const Rgba stone = FromBytes(148, 144, 136), mortar = FromBytes(196, 192, 184), dark = FromBytes(86, 84, 82);
    // Coursed stones: each row split into blocks at hashed positions, tileable along u.
    auto block = [&](float u, float v, float& edge, std::uint32_t& id) {
        const float row = v * rows;
        const int r = static_cast<int>(row) % rows;
        const float t = Fract(row);
        const int blocks = 3 + static_cast<int>(HashUnit(r, 0, 0, 61) * 2);
        const float offset = HashUnit(r, 1, 0, 61);
        const float x = Fract(u + offset) * blocks;
        const int b = static_cast<int>(x);
        const float s = Fract(x);
        const float w = 1.0f / blocks, h = 1.0f / rows;
        edge = std::min({s * w, (1 - s) * w, t * h, (1 - t) * h});  // in texture units
        id = Hash(r, b, 0, 62);
    };
    FillImage(image, [&](float u, float v) {
        float edge;
        std::uint32_t id;
        block(u, v, edge, id);
        const float tint = (id >> 8) * (1.0f / 16777216.0f);
        const float n = TileFbm(u, v, 8, 5, 0.55f, 63);
        const float wobble = 0.006f * (TileFbm(u, v, 16, 2, 0.5f, 64) - 0.5f);
        const float e = edge + wobble;
        Rgba c = Mix(stone, Mix(FromBytes(126, 120, 112), FromBytes(160, 156, 150), tint), 0.6f);
        c = Scale(c, 0.8f + 0.35f * n);
        c = Scale(c, 0.8f + 0.2f * Smoothstep(0.0f, 0.02f, e));  // bevel
        const float joint = Smoothstep(0.006f, 0.002f, e);
        c = Mix(c, mortar, joint);
        const float moss = Smoothstep(0.68f, 0.8f, TileFbm(u, v, 4, 4, 0.5f, 65));
        c = Mix(c, dark, moss * 0.3f);
        return c;
    });
    return image;
}

Image PaintSky(int width, int height) {
    Image image(width, height);
    // v = 0 at the zenith, v = 1 at the horizon, where the sky meets the fog colour.
    const Rgba zenith = FromBytes(112, 124, 142), middle = FromBytes(150, 152, 154), horizon = FromBytes(166, 162, 154);
    const Rgba cloudLight = FromBytes(196, 192, 188), cloudDark = FromBytes(126, 128, 134);
    FillImage(image, [&](float u, float v) {
        Rgba c = v < 0.6f ? Mix(zenith, middle, Smoothstep(0.0f, 0.6f, v)) : Mix(middle, horizon, Smoothstep(0.6f, 1.0f, v));
        // Soft stratus streaks, stretched along the horizon.
        const float clouds = TileFbm(u, v, 3, 10, 4, 0.5f, 71);
        const float band = Smoothstep(0.05f, 0.4f, v) * Smoothstep(1.0f, 0.7f, v);
        const float amount = Smoothstep(0.42f, 0.75f, clouds) * band;
        const float lit = TileFbm(u, v - 0.015f, 3, 10, 4, 0.5f, 71) - clouds;
        c = Mix(c, Mix(cloudDark, cloudLight, Smoothstep(-0.03f, 0.03f, lit) * 0.6f + 0.4f), amount * 0.45f);
        return c;
    });
    return image;
}

Image PaintIce(int size) {
    Image image(size, size);
    const Rgba deep = FromBytes(120, 142, 160), pale = FromBytes(176, 194, 208), snow = FromBytes(232, 238, 246);
    FillImage(image, [&](float u, float v) {
        const float cloud = TileFbm(u, v, 3, 5, 0.55f, 101);
        Rgba c = Mix(deep, pale, Smoothstep(0.3f, 0.75f, cloud));
        // Cracks along cell borders, with fine white lines where they catch the light.
        const CellDistances cells = TileCells(u, v, 5, 102);
        const float crack = Smoothstep(0.04f, 0.0f, cells.second - cells.first);
        c = Mix(c, FromBytes(222, 232, 240), crack * 0.6f * Smoothstep(0.4f, 0.6f, TileFbm(u, v, 8, 2, 0.5f, 103)));
        // Thin drifts of snow blown over the ice.
        const float drift = Smoothstep(0.58f, 0.72f, TileFbm(u, v, 2, 6, 4, 0.5f, 104));
        return Mix(c, snow, drift * 0.85f);
    });
    return image;
}

Image PaintPlanks(int size) {
    Image image(size, size);
    const int planks = 6;
    const Rgba wood = FromBytes(128, 94, 64), grey = FromBytes(104, 92, 80), gap = FromBytes(34, 26, 20);
    FillImage(image, [&](float u, float v) {
        const float column = u * planks;
        const int index = static_cast<int>(column);
        const float s = Fract(column);
        const float tint = HashUnit(index, 0, 0, 111);
        const float grain = TileFbm(u, v + tint, planks * 4, 2, 4, 0.5f, 112);
        Rgba c = Mix(wood, grey, 0.3f + 0.5f * tint);
        c = Scale(c, 0.75f + 0.45f * grain);
        c = Scale(c, 0.85f + 0.15f * std::sin(kPi * s));
        const float seam = Smoothstep(0.05f, 0.0f, s) + Smoothstep(0.95f, 1.0f, s);
        return Mix(c, gap, std::min(seam, 1.0f));
    });
    return image;
}

Image PaintHillsBackdrop(int width, int height) {
    Image image(width, height, Rgba{0, 0, 0, 0});
    const Rgba fog = FromBytes(156, 153, 146);
    struct Ridge {
        float base, amplitude, haze;
        int period;
        std::uint32_t seed;
    };
    // Far ridges first; each nearer one is less hazed and covers the one behind it.
    const Ridge ridges[] = {{0.4f, 0.3f, 0.75f, 3, 121}, {0.58f, 0.22f, 0.55f, 5, 122}, {0.74f, 0.14f, 0.35f, 8, 123}};
    for (const Ridge& r : ridges) {
        for (int x = 0; x < width; ++x) {
            const float u = (x + 0.5f) / width;
            const float top = r.base - r.amplitude * 2.0f * (TileFbm(u, 0.5f, r.period, 1, 4, 0.5f, r.seed) - 0.5f);
            for (int y = 0; y < height; ++y) {
                const float v = (y + 0.5f) / height;
                const float cover = Smoothstep(top - 0.5f / height, top + 0.5f / height, v);
                if (cover <= 0) continue;
                // Woods: patches of upright strokes, like ranks of firs seen from afar.
                const float patches = Smoothstep(0.48f, 0.6f, TileFbm(u, v, r.period * 3, 3, 3, 0.5f, r.seed + 7));
                const float trees = Smoothstep(0.45f, 0.65f, TileFbm(u, v, 128, 24, 2, 0.5f, r.seed + 8));
                const float woods = patches * trees * Smoothstep(0.0f, 0.06f, v - top);
                Rgba c = Mix(FromBytes(236, 238, 244), FromBytes(190, 198, 212), TileFbm(u, v, r.period * 2, 4, 2, 0.5f, r.seed + 9));
                c = Mix(c, FromBytes(44, 60, 56), woods * 0.75f);
                c = Mix(c, fog, r.haze);
                image.Blend(x, y, c, cover);
            }
        }
    }
    // The foot of the backdrop fades into the fog, so the ground meets it without an edge.
    for (int y = 0; y < height; ++y) {
        const float fade = Smoothstep(0.8f, 1.0f, (y + 0.5f) / height);
        for (int x = 0; x < width; ++x) image.At(x, y) = Mix(image.At(x, y), Rgba{fog.r, fog.g, fog.b, image.At(x, y).a}, fade);
    }
    return image;
}

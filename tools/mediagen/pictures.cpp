#include "tools/mediagen/pictures.h"

#include "tools/mediagen/canvas.h"
#include "tools/mediagen/noise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

const Rgba kFog = FromBytes(186, 182, 174);
const Rgba kSnowLit = FromBytes(242, 244, 250), kSnowShade = FromBytes(184, 196, 218);
const Rgba kWindow = FromBytes(255, 204, 112), kWarmGlow = FromBytes(255, 170, 80);

// Scene frame: y runs 0 (top) … 1 (bottom) over the picture's height; x is centred and in
// the same unit, so wider pictures show more of the valley's sides.
struct Frame {
    float width, height;
    float X(float x) const { return width * 0.5f + x * height; }
    float Y(float y) const { return y * height; }
    float S(float s) const { return s * height; }
    float SceneX(float px) const { return (px - width * 0.5f) / height; }
};

Rgba Hazed(const Rgba& colour, float distance) { return Mix(colour, kFog, std::clamp(distance, 0.0f, 1.0f)); }

void PaintSky(Canvas& canvas, const Frame& f) {
    const Rgba zenith = FromBytes(104, 116, 138), horizon = FromBytes(200, 192, 180);
    canvas.Paint([&](float x, float y) {
        const float t = std::clamp(y / f.Y(0.56f), 0.0f, 1.0f);
        Rgba c = Mix(zenith, horizon, std::pow(t, 1.4f));
        const float clouds = TileFbm(x / f.width * 0.8f, y / f.height * 2.5f, 4, 4, 0.55f, 301);
        c = Mix(c, FromBytes(214, 206, 196), Smoothstep(0.5f, 0.75f, clouds) * 0.35f * (1 - t * 0.5f));
        return c;
    });
    // The low winter sun behind the haze.
    canvas.Glow(f.X(-0.32f), f.Y(0.43f), f.S(0.09f), FromBytes(255, 220, 170), 0.35f);
    canvas.Glow(f.X(-0.32f), f.Y(0.43f), f.S(0.02f), FromBytes(255, 236, 200), 0.45f);
}

void PaintHills(Canvas& canvas, const Frame& f) {
    struct Ridge {
        float base, amplitude, frequency, haze;
        std::uint32_t seed;
    };
    const Ridge ridges[] = {{0.47f, 0.07f, 1.3f, 0.75f, 311}, {0.52f, 0.06f, 2.1f, 0.55f, 312}, {0.57f, 0.035f, 3.0f, 0.35f, 313}};
    for (const Ridge& r : ridges) {
        auto top = [&](float x) {
            const float sx = f.SceneX(x);
            return f.Y(r.base - r.amplitude * TileFbm(sx * r.frequency * 0.25f + 0.5f, 0.3f, 8, 3, 0.5f, r.seed));
        };
        canvas.FillBelow(top, [&](float x, float y) {
            const float sx = f.SceneX(x), depth = (y - top(x)) / f.S(0.05f);
            // Snowy slopes with dark woods speckled over their lower parts.
            const float woods = Smoothstep(0.55f, 0.62f, TileFbm(sx * 3 + 0.5f, y / f.height * 9, 16, 3, 0.5f, r.seed + 5)) *
                                Smoothstep(0.1f, 0.6f, depth);
            Rgba c = Mix(kSnowLit, kSnowShade, 0.3f + 0.4f * TileFbm(sx + 0.5f, y / f.height, 8, 2, 0.5f, r.seed + 7));
            c = Mix(c, FromBytes(40, 58, 52), woods * 0.8f);
            return Hazed(c, r.haze);
        });
    }
}

void PaintGround(Canvas& canvas, const Frame& f) {
    auto top = [&](float x) { return f.Y(0.6f + 0.012f * std::sin(f.SceneX(x) * 5.0f)); };
    canvas.FillBelow(top, [&](float x, float y) {
        const float sx = f.SceneX(x), sy = y / f.height;
        const float drift = TileFbm(sx * 0.5f + 0.5f, sy, 4, 4, 0.5f, 321);
        Rgba c = Mix(kSnowShade, kSnowLit, 0.45f + 0.5f * Smoothstep(0.35f, 0.65f, drift));
        return Hazed(c, 0.35f * Smoothstep(0.8f, 0.6f, sy));
    });
    // The frozen pond.
    canvas.Ellipse(f.X(0.3f), f.Y(0.78f), f.S(0.21f), f.S(0.045f), FromBytes(222, 230, 240));
    canvas.Ellipse(f.X(0.3f), f.Y(0.782f), f.S(0.2f), f.S(0.04f), FromBytes(150, 170, 188));
    canvas.Ellipse(f.X(0.26f), f.Y(0.775f), f.S(0.12f), f.S(0.012f), FromBytes(196, 210, 222, 200));
}

void PaintFir(Canvas& canvas, const Frame& f, float x, float base, float height, float haze) {
    const Rgba needles = Hazed(FromBytes(26, 48, 38), haze), snow = Hazed(kSnowLit, haze * 0.8f);
    const Rgba snowShade = Hazed(kSnowShade, haze * 0.8f);
    canvas.Rect(f.X(x - 0.012f * height), f.Y(base - 0.1f * height), f.X(x + 0.012f * height), f.Y(base), Hazed(FromBytes(60, 40, 30), haze));
    const int tiers = 5;
    for (int i = 0; i < tiers; ++i) {
        const float t = static_cast<float>(i) / tiers;
        const float tierTop = base - height * (1.0f - t * 0.78f);
        const float tierBottom = base - height * (0.08f + (tiers - 1 - i) * 0.16f);
        const float half = height * (0.16f + 0.2f * t);
        std::vector<Point> shape = {{f.X(x), f.Y(tierTop)}};
        const int teeth = 6;
        for (int k = 0; k <= teeth; ++k) {
            const float s = static_cast<float>(k) / teeth;
            shape.push_back({f.X(x + half * (1 - 2 * s)), f.Y(tierBottom + (k % 2 ? -0.02f : 0.0f) * height)});
        }
        canvas.Polygon(shape, needles);
        // Snow on the upper face of the tier, thicker on the lit left side.
        const float snowDepth = 0.045f * height;
        canvas.Polygon({{f.X(x), f.Y(tierTop)},
                        {f.X(x - half * 0.95f), f.Y(tierBottom - 0.01f * height)},
                        {f.X(x - half * 0.7f), f.Y(tierBottom - snowDepth * 0.6f)},
                        {f.X(x), f.Y(tierTop + snowDepth)}},
                       snow);
        canvas.Polygon({{f.X(x), f.Y(tierTop)},
                        {f.X(x + half * 0.9f), f.Y(tierBottom - 0.015f * height)},
                        {f.X(x + half * 0.6f), f.Y(tierBottom - snowDepth * 0.8f)},
                        {f.X(x), f.Y(tierTop + snowDepth)}},
                       snowShade);
    }
}

void PaintHouse(Canvas& canvas, const Frame& f, float x, float base, float width, float haze, bool chimneySmoke) {
    const float wallHeight = width * 0.5f, roofHeight = width * 0.42f;
    const Rgba logs = Hazed(FromBytes(96, 62, 40), haze), logsDark = Hazed(FromBytes(62, 40, 28), haze);
    const float left = x - width / 2, right = x + width / 2, eaves = base - wallHeight;
    canvas.Rect(f.X(left), f.Y(eaves), f.X(right), f.Y(base), logs);
    for (int i = 1; i < 6; ++i) {
        const float y = eaves + wallHeight * i / 6.0f;
        canvas.Rect(f.X(left), f.Y(y - 0.0015f), f.X(right), f.Y(y + 0.0015f), logsDark);
    }
    // Windows and their glow on the snow.
    for (int i = 0; i < 2; ++i) {
        const float wx = x + (i == 0 ? -0.25f : 0.25f) * width;
        const float ww = width * 0.12f, wy = eaves + wallHeight * 0.3f;
        canvas.Rect(f.X(wx - ww / 2 - 0.003f), f.Y(wy - 0.003f), f.X(wx + ww / 2 + 0.003f), f.Y(wy + ww * 1.1f + 0.003f), Hazed(FromBytes(50, 32, 22), haze));
        canvas.Rect(f.X(wx - ww / 2), f.Y(wy), f.X(wx + ww / 2), f.Y(wy + ww * 1.1f), Hazed(kWindow, haze * 0.4f));
        canvas.Glow(f.X(wx), f.Y(wy + ww * 0.5f), f.S(ww * 1.4f), kWarmGlow, 0.3f * (1 - haze));
        canvas.Glow(f.X(wx), f.Y(base + 0.01f), f.S(ww * 1.2f), kWarmGlow, 0.12f * (1 - haze));
    }
    // Chimney, then the roof under a thick, rounded blanket of snow.
    const float cx = x + width * 0.22f;
    canvas.Rect(f.X(cx - 0.012f), f.Y(eaves - roofHeight * 0.95f), f.X(cx + 0.012f), f.Y(eaves - roofHeight * 0.3f), Hazed(FromBytes(110, 100, 96), haze));
    canvas.Polygon({{f.X(left - 0.02f), f.Y(eaves + 0.004f)}, {f.X(x), f.Y(eaves - roofHeight)}, {f.X(right + 0.02f), f.Y(eaves + 0.004f)}},
                   Hazed(FromBytes(70, 52, 44), haze));
    std::vector<Point> blanket = {{f.X(left - 0.03f), f.Y(eaves - 0.002f)}, {f.X(x), f.Y(eaves - roofHeight - 0.018f)}};
    const int lumps = 8;
    for (int k = 0; k <= lumps; ++k) {
        const float s = static_cast<float>(k) / lumps;
        blanket.push_back({f.X(right + 0.03f - s * (width + 0.06f)), f.Y(eaves - 0.002f + 0.006f * std::sin(s * kPi * 3) + 0.004f)});
    }
    canvas.Polygon(blanket, Hazed(kSnowLit, haze * 0.7f));
    canvas.Polygon({{f.X(x), f.Y(eaves - roofHeight - 0.018f)}, {f.X(right + 0.03f), f.Y(eaves - 0.002f)}, {f.X(x + width * 0.1f), f.Y(eaves + 0.004f)}},
                   Hazed(kSnowShade, haze * 0.7f));
    canvas.Ellipse(f.X(cx), f.Y(eaves - roofHeight * 0.95f), f.S(0.016f), f.S(0.007f), Hazed(kSnowLit, haze * 0.7f));
    if (chimneySmoke) {
        for (int i = 0; i < 7; ++i) {
            const float t = i / 6.0f;
            canvas.Ellipse(f.X(cx + 0.03f * t * t + 0.004f * std::sin(t * 9)), f.Y(eaves - roofHeight - 0.02f - 0.12f * t),
                           f.S(0.01f + 0.02f * t), f.S(0.008f + 0.014f * t), FromBytes(196, 194, 192, static_cast<int>(90 * (1 - t) + 20)));
        }
    }
}

void PaintChurch(Canvas& canvas, const Frame& f, float x, float base, float haze) {
    const Rgba wall = Hazed(FromBytes(178, 172, 160), haze), shade = Hazed(FromBytes(140, 134, 126), haze);
    const Rgba snow = Hazed(kSnowLit, haze * 0.7f);
    const float width = 0.16f, wallHeight = 0.075f, roofHeight = 0.05f;
    canvas.Rect(f.X(x - width / 2), f.Y(base - wallHeight), f.X(x + width / 2), f.Y(base), wall);
    canvas.Polygon({{f.X(x - width / 2 - 0.01f), f.Y(base - wallHeight)}, {f.X(x), f.Y(base - wallHeight - roofHeight)}, {f.X(x + width / 2 + 0.01f), f.Y(base - wallHeight)}}, snow);
    // Tower with a pointed spire and a lit belfry.
    const float tx = x - width * 0.36f, tw = 0.05f, towerTop = base - 0.17f;
    canvas.Rect(f.X(tx - tw / 2), f.Y(towerTop), f.X(tx + tw / 2), f.Y(base), wall);
    canvas.Rect(f.X(tx + tw * 0.1f), f.Y(towerTop), f.X(tx + tw / 2), f.Y(base), shade);
    canvas.Polygon({{f.X(tx - tw / 2 - 0.006f), f.Y(towerTop)}, {f.X(tx), f.Y(towerTop - 0.11f)}, {f.X(tx + tw / 2 + 0.006f), f.Y(towerTop)}}, Hazed(FromBytes(64, 70, 78), haze));
    canvas.Polygon({{f.X(tx - tw / 2 - 0.006f), f.Y(towerTop)}, {f.X(tx - 0.004f), f.Y(towerTop - 0.1f)}, {f.X(tx), f.Y(towerTop - 0.06f)}, {f.X(tx - 0.01f), f.Y(towerTop)}}, snow);
    canvas.Rect(f.X(tx - 0.0015f), f.Y(towerTop - 0.14f), f.X(tx + 0.0015f), f.Y(towerTop - 0.105f), Hazed(FromBytes(60, 60, 60), haze));
    canvas.Rect(f.X(tx - 0.008f), f.Y(towerTop - 0.128f), f.X(tx + 0.008f), f.Y(towerTop - 0.124f), Hazed(FromBytes(60, 60, 60), haze));
    canvas.Ellipse(f.X(tx), f.Y(towerTop + 0.03f), f.S(0.009f), f.S(0.013f), Hazed(kWindow, haze * 0.4f));
    canvas.Glow(f.X(tx), f.Y(towerTop + 0.03f), f.S(0.02f), kWarmGlow, 0.25f);
    for (int i = 0; i < 3; ++i) {
        const float wx = x - 0.02f + i * 0.04f;
        canvas.Ellipse(f.X(wx), f.Y(base - 0.04f), f.S(0.007f), f.S(0.015f), Hazed(kWindow, haze * 0.4f));
        canvas.Glow(f.X(wx), f.Y(base - 0.04f), f.S(0.018f), kWarmGlow, 0.2f);
    }
}

void PaintSnowman(Canvas& canvas, const Frame& f, float x, float base, float size) {
    const float r1 = 0.05f * size, r2 = 0.037f * size, r3 = 0.027f * size;
    const float y1 = base - r1, y2 = y1 - r1 - r2 * 0.75f, y3 = y2 - r2 - r3 * 0.75f;
    canvas.Ellipse(f.X(x + 0.01f * size), f.Y(base), f.S(r1 * 1.3f), f.S(r1 * 0.25f), FromBytes(160, 174, 200, 160));
    for (const auto& [cy, r] : {std::pair{y1, r1}, std::pair{y2, r2}, std::pair{y3, r3}}) {
        canvas.Ellipse(f.X(x), f.Y(cy), f.S(r), f.S(r), kSnowShade);
        canvas.Ellipse(f.X(x - r * 0.15f), f.Y(cy - r * 0.12f), f.S(r * 0.85f), f.S(r * 0.85f), kSnowLit);
    }
    // Scarf, coal eyes and buttons, carrot nose, a dark hat.
    const Rgba red = FromBytes(186, 34, 38), coal = FromBytes(30, 30, 34);
    canvas.Ellipse(f.X(x), f.Y(y3 + r3 * 0.85f), f.S(r3 * 0.95f), f.S(r3 * 0.28f), red);
    canvas.Polygon({{f.X(x + r3 * 0.5f), f.Y(y3 + r3)}, {f.X(x + r3 * 0.85f), f.Y(y3 + r3 * 2.0f)}, {f.X(x + r3 * 0.35f), f.Y(y3 + r3 * 1.9f)}}, red);
    canvas.Ellipse(f.X(x - r3 * 0.35f), f.Y(y3 - r3 * 0.2f), f.S(r3 * 0.1f), f.S(r3 * 0.1f), coal);
    canvas.Ellipse(f.X(x + r3 * 0.25f), f.Y(y3 - r3 * 0.2f), f.S(r3 * 0.1f), f.S(r3 * 0.1f), coal);
    canvas.Polygon({{f.X(x), f.Y(y3 + r3 * 0.05f)}, {f.X(x + r3 * 1.1f), f.Y(y3 + r3 * 0.2f)}, {f.X(x), f.Y(y3 + r3 * 0.3f)}}, FromBytes(236, 120, 30));
    for (int i = 0; i < 3; ++i) canvas.Ellipse(f.X(x), f.Y(y2 - r2 * 0.4f + i * r2 * 0.4f), f.S(r3 * 0.11f), f.S(r3 * 0.11f), coal);
    canvas.Rect(f.X(x - r3 * 1.05f), f.Y(y3 - r3 * 0.85f), f.X(x + r3 * 1.05f), f.Y(y3 - r3 * 0.7f), coal);
    canvas.Rect(f.X(x - r3 * 0.65f), f.Y(y3 - r3 * 1.8f), f.X(x + r3 * 0.65f), f.Y(y3 - r3 * 0.75f), coal);
}

void PaintFallingSnow(Canvas& canvas, const Frame& f, int count, std::uint32_t seed) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float x = rng.Range(0, f.width), y = rng.Range(0, f.height);
        const float near = rng.Unit();
        const float r = f.S(0.0015f + 0.004f * near * near);
        canvas.Ellipse(x, y, r, r, Rgba{1, 1, 1, 0.55f + 0.4f * near});
    }
}

void Vignette(Canvas& canvas, const Frame& f) {
    canvas.Filter([&](float x, float y, Rgba& c) {
        const float dx = (x / f.width - 0.5f) * 2, dy = (y / f.height - 0.5f) * 2;
        const float v = 1.0f - 0.22f * Smoothstep(0.5f, 1.6f, dx * dx + dy * dy);
        c = Scale(c, v);
    });
}

}  // namespace

Image PaintVillage(int width, int height, bool withTitle) {
    const int supersample = width * height > 100000 ? 2 : 4;
    Canvas canvas(width, height, supersample);
    const Frame f{static_cast<float>(width), static_cast<float>(height)};
    PaintSky(canvas, f);
    PaintHills(canvas, f);
    for (int i = 0; i < 26; ++i) {
        const float x = -0.75f + i * 0.06f + 0.02f * std::sin(i * 2.7f);
        PaintFir(canvas, f, x, 0.575f + 0.01f * std::sin(i * 1.3f), 0.06f + 0.02f * std::fabs(std::sin(i * 3.1f)), 0.55f);
    }
    PaintGround(canvas, f);
    PaintChurch(canvas, f, 0.02f, 0.615f, 0.3f);
    PaintHouse(canvas, f, 0.3f, 0.63f, 0.13f, 0.3f, true);
    PaintHouse(canvas, f, -0.45f, 0.655f, 0.15f, 0.22f, false);
    PaintHouse(canvas, f, 0.55f, 0.675f, 0.16f, 0.15f, true);
    PaintHouse(canvas, f, -0.22f, 0.71f, 0.19f, 0.08f, true);
    PaintFir(canvas, f, 0.12f, 0.66f, 0.12f, 0.2f);
    PaintFir(canvas, f, -0.5f, 0.99f, 0.46f, 0.0f);
    PaintFir(canvas, f, 0.56f, 0.95f, 0.36f, 0.0f);
    PaintFir(canvas, f, 0.42f, 0.85f, 0.18f, 0.05f);
    PaintSnowman(canvas, f, -0.16f, 0.9f, 1.1f);
    PaintFallingSnow(canvas, f, width * height / 700, 331);
    if (withTitle) {
        GlyphFace title, subtitle;
        if (title.Open("DejaVuSerif.ttf", static_cast<int>(f.S(0.1f) * supersample)) &&
            subtitle.Open("DejaVuSans.ttf", static_cast<int>(f.S(0.032f) * supersample))) {
            const std::string name = "Frostvale", tagline = "a winter village";
            const float w = Canvas::TextWidth(title, name, supersample), w2 = Canvas::TextWidth(subtitle, tagline, supersample);
            for (int i = 0; i < 4; ++i)
                canvas.Text(title, name, f.width / 2 - w / 2 + 1 + i * 0.5f, f.Y(0.2f) + 1 + i * 0.5f, FromBytes(60, 64, 80, 60));
            canvas.Text(title, name, f.width / 2 - w / 2, f.Y(0.2f), FromBytes(250, 250, 255));
            canvas.Text(subtitle, tagline, f.width / 2 - w2 / 2, f.Y(0.26f), FromBytes(240, 240, 248, 220));
        }
    }
    Vignette(canvas, f);
    return canvas.Finish();
}

Image PaintCornerBadge(int width, int height) {
    const int supersample = 3;
    Canvas canvas(width, height, supersample);
    canvas.Paint([](float, float) { return Rgba{1, 1, 1, 0}; });
    GlyphFace face, small;
    if (face.Open("DejaVuSerif.ttf", 34 * supersample) && small.Open("DejaVuSans.ttf", 13 * supersample)) {
        const std::string name = "Frostvale", line = "3D screensaver";
        const float w = Canvas::TextWidth(face, name, supersample);
        const float x = width - 16 - w, baseline = height - 40.0f;
        // A soft dark shadow for contrast over bright snow, then the white letters.
        for (int dy = -2; dy <= 3; ++dy)
            for (int dx = -2; dx <= 3; ++dx) canvas.Text(face, name, x + dx, baseline + dy, FromBytes(20, 28, 44, 26));
        canvas.Text(face, name, x, baseline, FromBytes(250, 251, 255));
        const float w2 = Canvas::TextWidth(small, line, supersample);
        for (int dy = -1; dy <= 2; ++dy)
            for (int dx = -1; dx <= 2; ++dx) canvas.Text(small, line, width - 18 - w2 + dx, height - 18.0f + dy, FromBytes(20, 28, 44, 30));
        canvas.Text(small, line, width - 18 - w2, height - 18.0f, FromBytes(236, 240, 250));
    }
    // A six-armed snow crystal to the left of the name.
    const float cx = 40, cy = height - 52.0f, r = 26;
    for (int arm = 0; arm < 6; ++arm) {
        const float a = arm * kPi / 3, ca = std::cos(a), sa = std::sin(a);
        auto line = [&](float x0, float y0, float x1, float y1, float w) {
            const float nx = -(y1 - y0), ny = x1 - x0, len = std::sqrt(nx * nx + ny * ny);
            const float ox = nx / len * w, oy = ny / len * w;
            canvas.Polygon({{x0 + ox, y0 + oy}, {x1 + ox, y1 + oy}, {x1 - ox, y1 - oy}, {x0 - ox, y0 - oy}}, FromBytes(246, 250, 255));
        };
        line(cx, cy, cx + ca * r, cy + sa * r, 1.6f);
        for (float t : {0.45f, 0.72f}) {
            const float bx = cx + ca * r * t, by = cy + sa * r * t, len = r * (0.9f - t) * 0.9f;
            for (float side : {-1.0f, 1.0f}) {
                const float b = a + side * kPi / 3;
                line(bx, by, bx + std::cos(b) * len, by + std::sin(b) * len, 1.2f);
            }
        }
    }
    return canvas.Finish();
}

Image PaintSnowmanPortrait(int width, int height) {
    Canvas canvas(width, height, 4);
    const Frame f{static_cast<float>(width), static_cast<float>(height)};
    const Rgba top = FromBytes(112, 124, 146), bottom = FromBytes(196, 190, 180);
    canvas.Paint([&](float, float y) { return Mix(top, bottom, y / f.height); });
    canvas.FillBelow([&](float x) { return f.Y(0.78f + 0.03f * std::sin(x * 0.1f)); },
                     [&](float, float y) { return Mix(kSnowLit, kSnowShade, (y / f.height - 0.78f) * 2); });
    PaintFir(canvas, f, -0.33f, 0.8f, 0.5f, 0.35f);
    PaintSnowman(canvas, f, 0.05f, 0.93f, 3.5f);
    PaintFallingSnow(canvas, f, 40, 341);
    return canvas.Finish();
}

bool WritePictures(const std::string& resourceDir) {
    const std::string d = resourceDir + "/";
    bool ok = WriteJpeg(PaintVillage(512, 512, true), d + "loading.jpg", 90);
    ok = WriteTga(PaintCornerBadge(256, 128), d + "corner.tga", 32) && ok;
    const Image pixel(1, 1, Rgba{0, 0, 0, 0});
    for (const char* name : {"corner_176.tga", "corner_177.tga", "corner_178.tga"}) ok = WriteTga(pixel, d + name, 32) && ok;
    ok = WriteBmp(PaintVillage(155, 115, false), d + "preview.bmp") && ok;
    ok = WriteBmp(PaintVillage(258, 185, false), d + "dialog.bmp") && ok;
    ok = WriteBmp(PaintSnowmanPortrait(80, 88), d + "about.bmp") && ok;
    ok = WritePng(PaintSnowmanPortrait(128, 128), d + "icon.png", false) && ok;
    return ok;
}

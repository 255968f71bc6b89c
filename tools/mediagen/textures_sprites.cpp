// Window panes, sprites and the snow flake, and the file list of the scene textures.

#include "tools/mediagen/noise.h"
#include "tools/mediagen/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Premultiplied sprite pixel: colour × alpha, alpha.
Rgba Premultiplied(const Rgba& colour, float alpha) {
    alpha = std::clamp(alpha, 0.0f, 1.0f);
    return {colour.r * alpha, colour.g * alpha, colour.b * alpha, alpha};
}

struct Point2 {
    float x, y;
};

float Radius(float u, float v) {
    const float dx = u * 2 - 1, dy = v * 2 - 1;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

Image PaintWindow(int size, bool lit) {
    Image image(size, size);
    const Rgba frame = FromBytes(64, 44, 30), frameLight = FromBytes(104, 76, 52);
    const Rgba warmCentre = FromBytes(255, 214, 130), warmEdge = FromBytes(214, 128, 52);
    const Rgba darkTop = FromBytes(70, 84, 104), darkBottom = FromBytes(30, 36, 48);
    const Rgba snow = FromBytes(238, 242, 248);
    FillImage(image, [&](float u, float v) {
        const float border = 0.1f, bar = 0.035f;
        const bool inFrame = u < border || u > 1 - border || v < border || v > 1 - border;
        const bool inBar = std::fabs(u - 0.5f) < bar || std::fabs(v - 0.47f) < bar;
        const float grain = TileFbm(u, v, 2, 16, 3, 0.5f, 81);
        if (inFrame || inBar) {
            Rgba c = Mix(frame, frameLight, grain);
            // Snow on the sill and a little on the lintel.
            const float sill = Smoothstep(0.93f, 0.97f, v) + Smoothstep(0.05f, 0.02f, v) * 0.7f;
            return Mix(c, snow, std::min(sill, 1.0f) * (0.7f + 0.3f * grain));
        }
        const float r = Radius(u, v);
        if (lit) {
            Rgba c = Mix(warmCentre, warmEdge, Smoothstep(0.1f, 1.1f, r));
            // Curtains at both sides, glowing through.
            const float curtain = Smoothstep(0.25f, 0.18f, u) + Smoothstep(0.75f, 0.82f, u);
            const float folds = 0.8f + 0.2f * std::sin(u * 60.0f);
            c = Mix(c, Scale(FromBytes(180, 60, 40), folds), std::min(curtain, 1.0f) * 0.75f);
            return Scale(c, 0.92f + 0.1f * grain);
        }
        Rgba c = Mix(darkTop, darkBottom, v);
        const float reflection = Smoothstep(0.06f, 0.0f, std::fabs(u + v - 0.8f)) + Smoothstep(0.03f, 0.0f, std::fabs(u + v - 0.95f));
        return Mix(c, FromBytes(150, 166, 186), std::min(reflection, 1.0f) * 0.35f);
    });
    return image;
}

Image PaintGlow(int size) {
    Image image(size, size);
    const Rgba warm = FromBytes(255, 206, 132);
    FillImage(image, [&](float u, float v) {
        const float r = Radius(u, v);
        const float core = std::exp(-r * r * 18.0f);
        const float halo = std::exp(-r * r * 4.0f) * 0.55f;
        const float fade = Smoothstep(1.0f, 0.85f, r);
        return Premultiplied(Mix(warm, Rgba{1, 1, 0.92f, 1}, core), (core + halo) * fade);
    });
    return image;
}

Image PaintDust(int size) {
    Image image(size, size);
    const Rgba snow = FromBytes(246, 248, 252);
    FillImage(image, [&](float u, float v) {
        const float r = Radius(u, v);
        const float clumps = TileFbm(u, v, 4, 4, 0.55f, 91);
        const float fine = TileFbm(u, v, 16, 2, 0.5f, 92);
        const float body = Smoothstep(1.0f, 0.2f, r + 0.35f * (clumps - 0.5f));
        const float alpha = body * (0.45f + 0.55f * clumps) * (0.8f + 0.2f * fine) * 0.8f * Smoothstep(1.0f, 0.85f, r);
        return Premultiplied(snow, alpha);
    });
    return image;
}

Image PaintSparkle(int size) {
    Image image(size, size);
    const Rgba ice = FromBytes(226, 240, 255);
    FillImage(image, [&](float u, float v) {
        const float x = u * 2 - 1, y = v * 2 - 1, r = std::sqrt(x * x + y * y);
        const float core = std::exp(-r * r * 60.0f);
        auto ray = [&](float along, float across, float width) {
            return std::exp(-across * across / (width * width)) * std::pow(std::max(0.0f, 1.0f - std::fabs(along)), 3.0f);
        };
        const float d1 = (x + y) * 0.7071f, d2 = (x - y) * 0.7071f;
        const float star = ray(x, y, 0.025f) + ray(y, x, 0.025f) + 0.45f * (ray(d1 * 1.6f, d2, 0.02f) + ray(d2 * 1.6f, d1, 0.02f));
        const float halo = std::exp(-r * r * 10.0f) * 0.25f;
        const float alpha = std::min(1.0f, core + star + halo) * Smoothstep(1.0f, 0.9f, r);
        return Premultiplied(Mix(ice, Rgba{1, 1, 1, 1}, core), alpha);
    });
    return image;
}

Image PaintSnowFlake(int size) {
    Image image(size, size);
    FillImage(image, [&](float u, float v) {
        const float x = u * 2 - 1, y = v * 2 - 1, r = std::sqrt(x * x + y * y);
        const float angle = std::atan2(y, x);
        // A soft round flake with a faint six-armed crystal in it.
        const float arms = std::pow(std::fabs(std::cos(3.0f * angle)), 12.0f) * Smoothstep(0.75f, 0.2f, r);
        const float body = std::exp(-r * r * 5.0f);
        const float alpha = std::min(1.0f, body * 0.85f + arms * 0.35f) * Smoothstep(1.0f, 0.8f, r);
        return Rgba{1, 1, 1, alpha};
    });
    return image;
}

Image PaintFirBranch(int size) {
    Image image(size, size, Rgba{0.1f, 0.2f, 0.15f, 0});
    Rng rng(151);
    const float scale = size / 256.0f;
    // A bough growing from the middle of the left edge to the right, with side twigs fanning
    // out from it; needles slant forwards along every twig.
    struct Twig {
        float x0, y0, x1, y1;
    };
    std::vector<Twig> twigs;
    const float mainY0 = size * 0.5f, mainY1 = size * 0.58f;
    twigs.push_back({0, mainY0, size * 0.97f, mainY1});
    for (int i = 0; i < 10; ++i) {
        const float t = (i + 0.5f) / 10.0f, x = t * size * 0.9f, y = mainY0 + (mainY1 - mainY0) * t;
        const float length = size * (0.5f - 0.38f * t);
        for (float side : {-1.0f, 1.0f}) {
            const float angle = 0.08f + side * rng.Range(0.55f, 0.75f);
            twigs.push_back({x, y, x + std::cos(angle) * length, y + std::sin(angle) * length * 0.8f});
        }
    }
    const Rgba bark = FromBytes(70, 50, 36);
    std::vector<Point2> snowSpots;
    for (const Twig& twig : twigs) {
        const float dx = twig.x1 - twig.x0, dy = twig.y1 - twig.y0, length = std::sqrt(dx * dx + dy * dy);
        const float direction = std::atan2(dy, dx);
        const int steps = static_cast<int>(length);
        for (int s = 0; s <= steps; ++s) {
            const float t = static_cast<float>(s) / std::max(steps, 1);
            const float x = twig.x0 + dx * t, y = twig.y0 + dy * t;
            image.Blend(static_cast<int>(x), static_cast<int>(y), bark, 1.0f);
            if (s % 16 == 8) snowSpots.push_back({x, y});
            if (s % 2) continue;
            for (float side : {-1.0f, 1.0f}) {
                const float angle = direction + side * rng.Range(0.6f, 1.1f);
                const float needle = rng.Range(8.0f, 13.0f) * scale * (1.0f - 0.35f * t);
                const Rgba colour = Mix(FromBytes(16, 40, 26), FromBytes(62, 100, 60), rng.Unit());
                for (int k = 1; k <= static_cast<int>(needle); ++k)
                    image.Blend(static_cast<int>(x + std::cos(angle) * k), static_cast<int>(y + std::sin(angle) * k), colour, 1.0f);
            }
        }
    }
    // Clumps of snow lying on the twigs: soft-edged, lit on top, blue underneath.
    const Rgba snow = FromBytes(244, 247, 252), snowShade = FromBytes(180, 196, 220);
    for (const Point2& spot : snowSpots) {
        if (rng.Unit() < 0.45f) continue;
        const float radius = rng.Range(3.0f, 5.5f) * scale, cx = spot.x, cy = spot.y - radius * 0.6f;
        for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y) {
            for (int x = static_cast<int>(cx - radius * 2.4f) - 1; x <= static_cast<int>(cx + radius * 2.4f) + 1; ++x) {
                const float ex = (x + 0.5f - cx) / (radius * 2.4f), ey = (y + 0.5f - cy) / (radius * 0.8f);
                const float d = ex * ex + ey * ey;
                if (d >= 1.0f || x < 0 || y < 0 || x >= size || y >= size) continue;
                image.Blend(x, y, Mix(snow, snowShade, Smoothstep(-0.6f, 1.0f, ey)), Smoothstep(1.0f, 0.8f, d));
            }
        }
    }
    return image;
}

std::string WindowAtlasDescription(const std::string& imageName, int size) {
    char text[1024];
    std::snprintf(text, sizeof text,
                  "// Window panes: the lit pane on the left, the unlit one on the right.\r\n"
                  "FileName  = \"%s\";\r\n"
                  "Format    = \"D3DFMT_X8R8G8B8\";\r\n"
                  "Filter    = \"D3DX_FILTER_BOX\";\r\n"
                  "MipFilter = \"D3DX_FILTER_BOX\";\r\n"
                  "Levels    = 0;\r\n"
                  "\r\n"
                  "Subs[0].Id = \"WindowLit\";\r\n"
                  "Subs[0].x1 = 0;\r\n"
                  "Subs[0].y1 = 0;\r\n"
                  "Subs[0].w  = %d;\r\n"
                  "Subs[0].h  = %d;\r\n"
                  "\r\n"
                  "Subs[1].Id = \"WindowDark\";\r\n"
                  "Subs[1].x1 = %d;\r\n"
                  "Subs[1].y1 = 0;\r\n"
                  "Subs[1].w  = %d;\r\n"
                  "Subs[1].h  = %d;\r\n",
                  imageName.c_str(), size, size, size, size, size);
    return text;
}

bool WriteTextures(const std::string& mediaDir) {
    const std::string d = mediaDir + "/";
    bool ok = WriteTga(PaintSnowFlake(64), d + "snowA_01.tga", 32);
    ok = WriteJpeg(PaintSnow(512), d + "snow.jpg", 90) && ok;
    ok = WriteJpeg(PaintBark(256), d + "bark.jpg", 88) && ok;
    ok = WriteJpeg(PaintNeedles(256), d + "needles.jpg", 88) && ok;
    ok = WriteJpeg(PaintLogs(256), d + "logs.jpg", 88) && ok;
    ok = WriteJpeg(PaintShingles(256), d + "shingles.jpg", 88) && ok;
    ok = WriteJpeg(PaintStone(256), d + "stone.jpg", 88) && ok;
    ok = WriteJpeg(PaintSky(512, 256), d + "sky.jpg", 90) && ok;
    ok = WriteJpeg(PaintIce(256), d + "ice.jpg", 88) && ok;
    ok = WriteJpeg(PaintPlanks(256), d + "planks.jpg", 88) && ok;
    ok = WritePng(PaintHillsBackdrop(512, 128), d + "hills.png", true) && ok;
    const Image lit = PaintWindow(128, true), dark = PaintWindow(128, false);
    ok = WritePng(lit, d + "window_lit.png", false) && ok;
    ok = WritePng(dark, d + "window_dark.png", false) && ok;
    Image atlas(256, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            atlas.At(x, y) = lit.At(x, y);
            atlas.At(x + 128, y) = dark.At(x, y);
        }
    }
    ok = WritePng(atlas, d + "windows.png", false) && ok;
    ok = WriteTextFile(d + "windows.ts", WindowAtlasDescription("windows.png", 128)) && ok;
    ok = WritePng(PaintFirBranch(256), d + "firbranch.png", true) && ok;
    ok = WritePng(PaintGlow(128), d + "glow.png", true) && ok;
    ok = WritePng(PaintDust(128), d + "dust.png", true) && ok;
    ok = WriteTga(PaintSparkle(128), d + "sparkle.tga", 32) && ok;
    return ok;
}

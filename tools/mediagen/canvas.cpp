#include "tools/mediagen/canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, int supersample)
    : width_(width), height_(height), scale_(supersample), image_(width * supersample, height * supersample) {}

void Canvas::Paint(const std::function<Rgba(float x, float y)>& shader) {
    const float inv = 1.0f / scale_;
    for (int y = 0; y < image_.Height(); ++y)
        for (int x = 0; x < image_.Width(); ++x) image_.At(x, y) = shader((x + 0.5f) * inv, (y + 0.5f) * inv);
}

void Canvas::Filter(const std::function<void(float x, float y, Rgba& colour)>& filter) {
    const float inv = 1.0f / scale_;
    for (int y = 0; y < image_.Height(); ++y)
        for (int x = 0; x < image_.Width(); ++x) filter((x + 0.5f) * inv, (y + 0.5f) * inv, image_.At(x, y));
}

void Canvas::FillBelow(const std::function<float(float x)>& top, const std::function<Rgba(float x, float y)>& colour) {
    const float inv = 1.0f / scale_;
    for (int x = 0; x < image_.Width(); ++x) {
        const float fx = (x + 0.5f) * inv;
        const int first = std::max(0, static_cast<int>(std::ceil(top(fx) * scale_ - 0.5f)));
        for (int y = first; y < image_.Height(); ++y) image_.Blend(x, y, colour(fx, (y + 0.5f) * inv), 1.0f);
    }
}

void Canvas::Polygon(const std::vector<Point>& points, const Rgba& colour) {
    if (points.size() < 3) return;
    float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, static_cast<int>(minX * scale_)), x1 = std::min(image_.Width() - 1, static_cast<int>(maxX * scale_) + 1);
    const int y0 = std::max(0, static_cast<int>(minY * scale_)), y1 = std::min(image_.Height() - 1, static_cast<int>(maxY * scale_) + 1);
    const float inv = 1.0f / scale_;
    std::vector<float> crossings;
    for (int y = y0; y <= y1; ++y) {
        const float fy = (y + 0.5f) * inv;
        crossings.clear();
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.y > fy) != (b.y > fy)) crossings.push_back(a.x + (fy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const int from = std::max(x0, static_cast<int>(std::ceil(crossings[k] * scale_ - 0.5f)));
            const int to = std::min(x1, static_cast<int>(std::floor(crossings[k + 1] * scale_ - 0.5f)));
            for (int x = from; x <= to; ++x) image_.Blend(x, y, colour, 1.0f);
        }
    }
}

void Canvas::Ellipse(float cx, float cy, float rx, float ry, const Rgba& colour) {
    const int x0 = std::max(0, static_cast<int>((cx - rx) * scale_)), x1 = std::min(image_.Width() - 1, static_cast<int>((cx + rx) * scale_) + 1);
    const int y0 = std::max(0, static_cast<int>((cy - ry) * scale_)), y1 = std::min(image_.Height() - 1, static_cast<int>((cy + ry) * scale_) + 1);
    const float inv = 1.0f / scale_;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = ((x + 0.5f) * inv - cx) / rx, dy = ((y + 0.5f) * inv - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) image_.Blend(x, y, colour, 1.0f);
        }
    }
}

void Canvas::Rect(float x0, float y0, float x1, float y1, const Rgba& colour) {
    Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, colour);
}

void Canvas::Glow(float cx, float cy, float radius, const Rgba& colour, float strength) {
    const float reach = radius * 3.0f;
    const int x0 = std::max(0, static_cast<int>((cx - reach) * scale_)), x1 = std::min(image_.Width() - 1, static_cast<int>((cx + reach) * scale_));
    const int y0 = std::max(0, static_cast<int>((cy - reach) * scale_)), y1 = std::min(image_.Height() - 1, static_cast<int>((cy + reach) * scale_));
    const float inv = 1.0f / scale_;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = ((x + 0.5f) * inv - cx) / radius, dy = ((y + 0.5f) * inv - cy) / radius;
            image_.Add(x, y, colour, strength * std::exp(-(dx * dx + dy * dy)));
        }
    }
}

float Canvas::Text(const GlyphFace& face, const std::string& text, float x, float baseline, const Rgba& colour) {
    float pen = x * scale_;
    const int base = static_cast<int>(std::lround(baseline * scale_));
    for (unsigned char c : text) {
        Glyph glyph;
        if (!face.Render(Windows1252ToUnicode(c), glyph)) continue;
        const int left = static_cast<int>(std::lround(pen)) + glyph.left, top = base - glyph.top;
        for (int gy = 0; gy < glyph.height; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx)
                image_.Blend(left + gx, top + gy, colour, glyph.coverage[static_cast<size_t>(gy) * glyph.width + gx] / 255.0f);
        pen += glyph.advance;
    }
    return pen / scale_ - x;
}

float Canvas::TextWidth(const GlyphFace& face, const std::string& text, int supersample) {
    float width = 0;
    for (unsigned char c : text) {
        Glyph glyph;
        if (face.Render(Windows1252ToUnicode(c), glyph)) width += glyph.advance;
    }
    return width / supersample;
}

Image Canvas::Finish() const { return Downsample(image_, scale_); }

#pragma once
// A supersampled painting surface for the resource pictures. Coordinates are output pixels
// (floats); shapes are filled per sample, so edges come out antialiased after Finish.

#include "tools/mediagen/glyphs.h"
#include "tools/mediagen/image.h"

#include <functional>
#include <string>
#include <vector>

struct Point {
    float x, y;
};

class Canvas {
public:
    Canvas(int width, int height, int supersample);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Sets every sample from a function of its position.
    void Paint(const std::function<Rgba(float x, float y)>& shader);
    // Changes every sample through a function of its position and colour.
    void Filter(const std::function<void(float x, float y, Rgba& colour)>& filter);
    // Fills the area below the curve y = top(x) with a colour that may vary per sample.
    void FillBelow(const std::function<float(float x)>& top, const std::function<Rgba(float x, float y)>& colour);
    void Polygon(const std::vector<Point>& points, const Rgba& colour);
    void Ellipse(float cx, float cy, float rx, float ry, const Rgba& colour);
    void Rect(float x0, float y0, float x1, float y1, const Rgba& colour);
    // Adds a soft round glow: colour × strength × exp(−(r / radius)²).
    void Glow(float cx, float cy, float radius, const Rgba& colour, float strength);
    // Draws text with its pen at (x, baseline); returns the advance in pixels.
    float Text(const GlyphFace& face, const std::string& text, float x, float baseline, const Rgba& colour);
    // Advance of a text in output pixels for a face opened at supersampled size.
    static float TextWidth(const GlyphFace& face, const std::string& text, int supersample);

    int Supersample() const { return scale_; }
    Image Finish() const;

private:
    int width_, height_, scale_;
    Image image_;
};

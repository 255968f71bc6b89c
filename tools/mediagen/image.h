#pragma once
// Float RGBA images that the generators paint into, and the encoders that write them out as
// PNG (libpng), JPEG (libjpeg), TGA (uncompressed, bottom-up) and BMP (24-bit, bottom-up).
// Channels are 0 … 1; the encoders clamp and round. Every encoder returns false on failure.

#include <string>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Scale(const Rgba& c, float factor);  // colour only; alpha kept
Rgba FromBytes(int r, int g, int b, int a = 255);

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Wraps coordinates around, for tileable filters.
    const Rgba& Wrapped(int x, int y) const;
    // Alpha-blends colour over the pixel with the given coverage (0 … 1); ignores pixels outside.
    void Blend(int x, int y, const Rgba& colour, float coverage);
    // Adds colour × amount to the pixel (glows); ignores pixels outside.
    void Add(int x, int y, const Rgba& colour, float amount);

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgba> pixels_;
};

// Box-filters an image down by an integer factor (supersampled painting).
Image Downsample(const Image& source, int factor);
// Area-resamples an image to any smaller size.
Image Resize(const Image& source, int width, int height);

// 8-bit channel value of a float channel.
unsigned char ToByte(float value);

bool WritePng(const Image& image, const std::string& path, bool withAlpha);
bool WriteJpeg(const Image& image, const std::string& path, int quality);
bool WriteTga(const Image& image, const std::string& path, int bitsPerPixel);  // 24 or 32
bool WriteBmp(const Image& image, const std::string& path);                   // 24-bit

// Writes bytes or text to a file, replacing it; false on failure.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool WriteTextFile(const std::string& path, const std::string& text);

#pragma once
// From a decoded image to texture texels: the steps of the D3DX texture and surface loaders,
// without Direct3D objects. The order is: crop to the source rectangle, colour key, resample
// to the destination size, convert to the destination format; mip levels are made from the
// keyed, resampled level 0 with a 2x2 box.
//
// Colour key: a 32-bit ARGB value, 0 for none. Texels equal to it, alpha included, become
// transparent black (0x00000000). Sources without alpha have alpha 0xFF, so a key for them
// must carry alpha 0xFF, as D3DX expects.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/image/image.h"
#include "platform/image/image_resize.h"
#include "platform/image/pixel_format.h"

namespace image {

// A locked surface (or part of one): `bits` points at the top-left texel of the area.
struct SurfaceBits {
    void* bits = nullptr;
    int pitch = 0;  // bytes from one row to the next
    int width = 0;
    int height = 0;
    DWORD format = kFormatUnknown;
};

// The part {left, top, right, bottom} (right and bottom exclusive, as in RECT) of `whole`.
// False when the rectangle is empty or not inside `whole`.
bool SubSurface(const SurfaceBits& whole, int left, int top, int right, int bottom, SurfaceBits& part);

// `out` becomes the part {left, top, right, bottom} (exclusive) of `source`; false when empty or outside.
bool CropImage(const Image& source, int left, int top, int right, int bottom, Image& out);

void ApplyColorKey(Image& image, DWORD colorKey);

// Converts `source` (of the surface's size) into the surface. False for a size mismatch or
// a format that cannot be written.
bool WriteImageToSurface(const Image& source, const SurfaceBits& surface);

// Colour key, resample with `filter` to the surface's size, write. `source` is not changed.
bool LoadImageIntoSurface(const Image& source, const SurfaceBits& surface, DWORD filter, DWORD colorKey);

// The D3DXLoadSurfaceFromFileInMemory steps: decode, crop to `sourceRect` ({left, top,
// right, bottom}, exclusive; null for the whole image), then LoadImageIntoSurface.
bool LoadFileIntoSurface(const void* bytes, std::size_t length, const SurfaceBits& surface,
                         const int* sourceRect, DWORD filter, DWORD colorKey, ImageInfo* info = nullptr);

// Texture size for one side: 0, D3DX_DEFAULT and D3DX_FROM_FILE give the image's side (rounded
// up to a power of two when `powerOfTwo`, as a device without non-power-of-two textures needs);
// D3DX_DEFAULT_NONPOW2 gives the image's side. 0 when the result is above kMaxImageSide.
int ResolveTextureSide(UINT requested, int imageSide, bool powerOfTwo);

// 0 and D3DX_DEFAULT give a full chain; D3DX_FROM_FILE one level; others are clamped to the chain.
int ResolveLevelCount(UINT requested, int width, int height);

// D3DFMT_UNKNOWN, or a format this layer cannot write, gives A8R8G8B8 for a source with
// alpha and X8R8G8B8 for one without.
DWORD ResolveTextureFormat(DWORD requested, const ImageInfo& info);

struct TextureLevel {
    int width = 0;
    int height = 0;
    int pitch = 0;  // width * bytes per texel
    std::vector<std::uint8_t> bytes;
};

struct TextureParams {
    UINT width = kD3dxDefault;
    UINT height = kD3dxDefault;
    UINT levels = kD3dxDefault;
    DWORD format = kFormatUnknown;
    DWORD filter = kD3dxDefault;     // image filter: default TRIANGLE
    DWORD mipFilter = kD3dxDefault;  // default BOX
    DWORD colorKey = 0;
    bool powerOfTwo = false;
};

struct TextureImage {
    DWORD format = kFormatUnknown;
    ImageInfo source;
    std::vector<TextureLevel> levels;
};

// The D3DXCreateTextureFromFileInMemoryEx steps: decode, size, format and level count as
// above, then every level's texels. False (and `out` empty) when the file does not decode.
bool BuildTextureImage(const void* bytes, std::size_t length, const TextureParams& params, TextureImage& out);

// The same from an already decoded image (`info` describes its source).
bool BuildTextureFromImage(const Image& decoded, const ImageInfo& info, const TextureParams& params,
                           TextureImage& out);

}  // namespace image

#include "platform/image/texture_image.h"

#include <algorithm>
#include <utility>

namespace image {

bool SubSurface(const SurfaceBits& whole, int left, int top, int right, int bottom, SurfaceBits& part) {
    if (left < 0 || top < 0 || right > whole.width || bottom > whole.height || left >= right ||
        top >= bottom) {
        return false;
    }
    const int size = BytesPerTexel(whole.format);
    if (size == 0 || whole.bits == nullptr) return false;
    part = whole;
    part.bits = static_cast<std::uint8_t*>(whole.bits) + static_cast<std::ptrdiff_t>(top) * whole.pitch +
                static_cast<std::ptrdiff_t>(left) * size;
    part.width = right - left;
    part.height = bottom - top;
    return true;
}

bool CropImage(const Image& source, int left, int top, int right, int bottom, Image& out) {
    if (&source == &out || left < 0 || top < 0 || right > source.width || bottom > source.height ||
        left >= right || top >= bottom) {
        return false;
    }
    if (!out.Allocate(right - left, bottom - top)) return false;
    for (int y = top; y < bottom; ++y) {
        std::copy_n(source.pixels.data() + static_cast<std::size_t>(y) * source.width + left, out.width,
                    out.pixels.data() + static_cast<std::size_t>(y - top) * out.width);
    }
    return true;
}

void ApplyColorKey(Image& image, DWORD colorKey) {
    if (colorKey == 0) return;
    for (std::uint32_t& pixel : image.pixels) {
        if (pixel == colorKey) pixel = 0;
    }
}

bool WriteImageToSurface(const Image& source, const SurfaceBits& surface) {
    if (source.Empty() || source.width != surface.width || source.height != surface.height) return false;
    const int size = BytesPerTexel(surface.format);
    if (size == 0 || surface.bits == nullptr || surface.pitch < surface.width * size) return false;
    auto* row = static_cast<std::uint8_t*>(surface.bits);
    for (int y = 0; y < source.height; ++y, row += surface.pitch) {
        EncodeTexels(source.pixels.data() + static_cast<std::size_t>(y) * source.width, source.width,
                     surface.format, row);
    }
    return true;
}

bool LoadImageIntoSurface(const Image& source, const SurfaceBits& surface, DWORD filter, DWORD colorKey) {
    if (source.Empty() || !CanConvertTo(surface.format)) return false;
    Image keyed = source;
    ApplyColorKey(keyed, colorKey);
    if (keyed.width == surface.width && keyed.height == surface.height)
        return WriteImageToSurface(keyed, surface);
    Image sized;
    return ResizeImage(keyed, surface.width, surface.height, filter, sized) &&
           WriteImageToSurface(sized, surface);
}

bool LoadFileIntoSurface(const void* bytes, std::size_t length, const SurfaceBits& surface,
                         const int* sourceRect, DWORD filter, DWORD colorKey, ImageInfo* info) {
    Image decoded;
    if (!DecodeImage(bytes, length, decoded, info)) return false;
    if (sourceRect == nullptr) return LoadImageIntoSurface(decoded, surface, filter, colorKey);
    Image cropped;
    return CropImage(decoded, sourceRect[0], sourceRect[1], sourceRect[2], sourceRect[3], cropped) &&
           LoadImageIntoSurface(cropped, surface, filter, colorKey);
}

int ResolveTextureSide(UINT requested, int imageSide, bool powerOfTwo) {
    std::int64_t side = requested;
    if (requested == 0 || requested == kD3dxDefault || requested == kD3dxFromFile) {
        side = imageSide;
        if (powerOfTwo) {
            std::int64_t p = 1;
            while (p < side) p *= 2;
            side = p;
        }
    } else if (requested == kD3dxDefaultNonPow2) {
        side = imageSide;
    }
    return side >= 1 && side <= kMaxImageSide ? static_cast<int>(side) : 0;
}

int ResolveLevelCount(UINT requested, int width, int height) {
    const int full = FullMipCount(width, height);
    if (requested == 0 || requested == kD3dxDefault) return full;
    if (requested == kD3dxFromFile) return 1;
    return static_cast<int>(std::min<UINT>(requested, static_cast<UINT>(full)));
}

DWORD ResolveTextureFormat(DWORD requested, const ImageInfo& info) {
    if (requested != kFormatUnknown && CanConvertTo(requested)) return requested;
    return info.hasAlpha ? kFormatA8R8G8B8 : kFormatX8R8G8B8;
}

namespace {

bool AddLevel(const Image& level, DWORD format, TextureImage& out) {
    TextureLevel texels;
    texels.width = level.width;
    texels.height = level.height;
    texels.pitch = level.width * BytesPerTexel(format);
    texels.bytes.resize(static_cast<std::size_t>(texels.pitch) * level.height);
    SurfaceBits surface{texels.bytes.data(), texels.pitch, level.width, level.height, format};
    if (!WriteImageToSurface(level, surface)) return false;
    out.levels.push_back(std::move(texels));
    return true;
}

}  // namespace

bool BuildTextureFromImage(const Image& decoded, const ImageInfo& info, const TextureParams& params,
                           TextureImage& out) {
    out = TextureImage{};
    if (decoded.Empty()) return false;
    const int width = ResolveTextureSide(params.width, decoded.width, params.powerOfTwo);
    const int height = ResolveTextureSide(params.height, decoded.height, params.powerOfTwo);
    if (width == 0 || height == 0) return false;
    out.source = info;
    out.format = ResolveTextureFormat(params.format, info);
    const int levels = ResolveLevelCount(params.levels, width, height);

    // Level 0 is the decoded image itself unless a key or a new size changes it.
    const Image* level = &decoded;
    Image current;
    if (params.colorKey != 0) {
        current = decoded;
        ApplyColorKey(current, params.colorKey);
        level = &current;
    }
    if (width != level->width || height != level->height) {
        Image sized;
        if (!ResizeImage(*level, width, height, params.filter, sized)) return false;
        current = std::move(sized);
        level = &current;
    }
    const DWORD mipFilter = params.mipFilter == kD3dxDefault ? kFilterBox : params.mipFilter;
    out.levels.reserve(levels);
    for (int i = 0; i < levels; ++i) {
        if (!AddLevel(*level, out.format, out)) {
            out = TextureImage{};
            return false;
        }
        if (i + 1 < levels) {
            Image next;
            if (!NextMipLevel(*level, mipFilter, next)) {
                out = TextureImage{};
                return false;
            }
            current = std::move(next);
            level = &current;
        }
    }
    return true;
}

bool BuildTextureImage(const void* bytes, std::size_t length, const TextureParams& params,
                       TextureImage& out) {
    out = TextureImage{};
    Image decoded;
    ImageInfo info;
    if (!DecodeImage(bytes, length, decoded, &info)) return false;
    return BuildTextureFromImage(decoded, info, params, out);
}

}  // namespace image

// D3DX texture creation and surface loads over the image layer.

#include "platform/d3dx/d3dx_texture.h"

#include "platform/image/texture_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr long kMaxFileBytes = 256L * 1024 * 1024;

void FillInfo(const image::ImageInfo& source, D3DXIMAGE_INFO* info) {
    if (!info) return;
    info->Width = UINT(source.width);
    info->Height = UINT(source.height);
    info->Depth = 1;
    info->MipLevels = 1;
    info->Format = D3DFORMAT(source.sourceFormat);
    info->ResourceType = D3DRTYPE_TEXTURE;
    info->ImageFileFormat = D3DXIMAGE_FILEFORMAT(static_cast<int>(source.fileFormat));
}

// Copies one level's texels into the locked level, row by row at the device's pitch.
HRESULT UploadLevel(IDirect3DTexture9* texture, UINT level, const image::TextureLevel& texels) {
    D3DLOCKED_RECT locked{};
    HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    if (!locked.pBits || locked.Pitch < texels.pitch) {
        texture->UnlockRect(level);
        return D3DERR_INVALIDCALL;
    }
    auto* out = static_cast<unsigned char*>(locked.pBits);
    for (int y = 0; y < texels.height; ++y)
        std::memcpy(out + std::size_t(y) * locked.Pitch, texels.bytes.data() + std::size_t(y) * texels.pitch,
                    std::size_t(texels.pitch));
    return texture->UnlockRect(level);
}

}  // namespace

bool D3DXReadWholeFile(const char* file, std::vector<unsigned char>& bytes) {
    bytes.clear();
    if (!file) return false;
    std::FILE* in = std::fopen(file, "rb");
    if (!in) return false;
    bool ok = std::fseek(in, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(in) : -1;
    ok = ok && length >= 0 && length <= kMaxFileBytes && std::fseek(in, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(std::size_t(length));
        ok = length == 0 || std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    }
    std::fclose(in);
    if (!ok) bytes.clear();
    return ok;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    if (width == 0 || width >= D3DX_FROM_FILE) width = 256;
    if (height == 0 || height >= D3DX_FROM_FILE) height = 256;
    if (width > UINT(image::kMaxImageSide) || height > UINT(image::kMaxImageSide)) return D3DERR_INVALIDCALL;
    const UINT count = UINT(image::ResolveLevelCount(levels, int(width), int(height)));
    if (format == D3DFMT_UNKNOWN) format = D3DFMT_A8R8G8B8;
    IDirect3DTexture9* made = nullptr;
    const HRESULT hr = device->CreateTexture(width, height, count, usage, format, pool, &made, nullptr);
    if (FAILED(hr) || !made) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
    *texture = made;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            void* palette, IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !data || size == 0 || palette) return D3DERR_INVALIDCALL;
    image::TextureParams params;
    params.width = width;
    params.height = height;
    params.levels = levels;
    params.format = DWORD(format);
    params.filter = filter;
    params.mipFilter = mipFilter;
    params.colorKey = colorKey;
    image::TextureImage texels;
    if (!image::BuildTextureImage(data, size, params, texels) || texels.levels.empty()) return D3DXERR_INVALIDDATA;
    const image::TextureLevel& top = texels.levels.front();
    IDirect3DTexture9* made = nullptr;
    HRESULT hr = device->CreateTexture(UINT(top.width), UINT(top.height), UINT(texels.levels.size()), usage,
                                       D3DFORMAT(texels.format), pool, &made, nullptr);
    if (FAILED(hr) || !made) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
    // A device may give fewer levels than asked; fill those it has.
    const UINT count = std::min<UINT>(made->GetLevelCount(), UINT(texels.levels.size()));
    for (UINT level = 0; level < count && SUCCEEDED(hr); ++level) hr = UploadLevel(made, level, texels.levels[level]);
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    FillInfo(texels.source, info);
    *texture = made;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info, void* palette,
                                     IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    std::vector<unsigned char> bytes;
    if (!D3DXReadWholeFile(file, bytes)) return D3DERR_INVALIDCALL;
    if (bytes.empty()) return D3DXERR_INVALIDDATA;
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, levels, usage,
                                               format, pool, filter, mipFilter, colorKey, info, palette, texture);
}

HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* surface, const void* destPalette, const RECT* destRect,
                                        const void* data, UINT size, const RECT* sourceRect, DWORD filter,
                                        D3DCOLOR colorKey, D3DXIMAGE_INFO* info) {
    (void)destPalette;
    if (!surface || !data || size == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc))) return D3DERR_INVALIDCALL;
    if (!image::CanConvertTo(DWORD(desc.Format))) return D3DERR_INVALIDCALL;
    const RECT whole{0, 0, LONG(desc.Width), LONG(desc.Height)};
    const RECT& area = destRect ? *destRect : whole;
    // The whole surface is locked and the area addressed from its pitch, so a device that
    // offsets a locked rectangle differently cannot shift the image.
    D3DLOCKED_RECT locked{};
    HRESULT hr = surface->LockRect(&locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    image::SurfaceBits bits;
    bits.bits = locked.pBits;
    bits.pitch = locked.Pitch;
    bits.width = int(desc.Width);
    bits.height = int(desc.Height);
    bits.format = DWORD(desc.Format);
    image::SurfaceBits part;
    int source[4] = {0, 0, 0, 0};
    if (sourceRect) {
        source[0] = int(sourceRect->left);
        source[1] = int(sourceRect->top);
        source[2] = int(sourceRect->right);
        source[3] = int(sourceRect->bottom);
    }
    image::ImageInfo read;
    bool ok = locked.pBits &&
              image::SubSurface(bits, int(area.left), int(area.top), int(area.right), int(area.bottom), part);
    if (!ok) {
        surface->UnlockRect();
        return D3DERR_INVALIDCALL;
    }
    ok = image::LoadFileIntoSurface(data, size, part, sourceRect ? source : nullptr, filter, colorKey, &read);
    hr = surface->UnlockRect();
    if (!ok) return D3DXERR_INVALIDDATA;
    FillInfo(read, info);
    return hr;
}

HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface9* surface, const void* destPalette, const RECT* destRect,
                                 const char* file, const RECT* sourceRect, DWORD filter, D3DCOLOR colorKey,
                                 D3DXIMAGE_INFO* info) {
    std::vector<unsigned char> bytes;
    if (!D3DXReadWholeFile(file, bytes)) return D3DERR_INVALIDCALL;
    if (bytes.empty()) return D3DXERR_INVALIDDATA;
    return D3DXLoadSurfaceFromFileInMemory(surface, destPalette, destRect, bytes.data(), UINT(bytes.size()),
                                           sourceRect, filter, colorKey, info);
}

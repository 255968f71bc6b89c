#pragma once
// The D3DX texture and surface loaders over the image layer (platform/image) and the
// device interface: textures of the requested size (D3DX_DEFAULT: the image's own), format
// (D3DFMT_UNKNOWN: from the image), level count (0 or D3DX_DEFAULT: a full chain made with
// the mip filter), pool and usage, with the colour key turning matching texels into
// transparent black. Failures are D3DERR_INVALIDCALL (bad arguments), D3DXERR_INVALIDDATA
// (bytes that do not decode) or the device's own result; no texture is handed out then.

#include "platform/d3d9/d3d9.h"

#include <vector>

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr UINT D3DX_FROM_FILE = 0xFFFFFFFDu;

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_DITHER = 0x80000;

constexpr HRESULT D3DXERR_INVALIDDATA = HRESULT(0x88760B59u);

enum D3DXIMAGE_FILEFORMAT : int {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_FORCE_DWORD = 0x7fffffff,
};

// What the source file holds (not what the texture became).
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Width or height 0 / D3DX_DEFAULT: 256; levels 0 / D3DX_DEFAULT: a full chain; format
// D3DFMT_UNKNOWN: A8R8G8B8. The texels are whatever the device gives (zero on ours).
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

// `palette` is not supported and must be null.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            void* palette, IDirect3DTexture9** texture);

// The same from a file of the file system, read whole at every call.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info, void* palette,
                                     IDirect3DTexture9** texture);

// Decodes the file, crops it to `sourceRect` (null: whole image), keys it, resamples it with
// `filter` to `destRect` (null: the whole surface; RECT corners exclusive on the right and
// bottom) and writes it there in the surface's format. Texels outside destRect are kept.
HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* surface, const void* destPalette, const RECT* destRect,
                                        const void* data, UINT size, const RECT* sourceRect, DWORD filter,
                                        D3DCOLOR colorKey, D3DXIMAGE_INFO* info);

HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface9* surface, const void* destPalette, const RECT* destRect,
                                 const char* file, const RECT* sourceRect, DWORD filter, D3DCOLOR colorKey,
                                 D3DXIMAGE_INFO* info);

// The whole of a file of the file system; false when it cannot be read or is larger than
// the largest image the decoders take (256 MiB).
bool D3DXReadWholeFile(const char* file, std::vector<unsigned char>& bytes);

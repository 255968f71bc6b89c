#pragma once
// What a client asks the texture cache for. Each field counts only when its presence bit is
// set; a field left out takes the default below when a texture is made, and does not take
// part in matching an existing texture.

#include "core/byte_string.h"
#include "platform/d3d9/d3d9.h"
#include "render/texture_atlas.h"

#include <cstddef>

namespace texture_mode {
constexpr DWORD kArchiveFile = 0x1;  // read through the media archive, bytes kept
constexpr DWORD kNamedFile = 0x2;    // read from the file system at every creation
constexpr DWORD kMemory = 0x4;       // the caller's bytes, not owned
constexpr DWORD kEmpty = 0x8;        // no image
constexpr DWORD kDeferred = 0x10;    // created at first use
}  // namespace texture_mode

struct TextureRequest {
    enum : DWORD {
        kFileName = 0x1,
        kFormat = 0x2,
        kColorKey = 0x4,
        kSize = 0x8,
        kUsage = 0x10,
        kMode = 0x20,
        kPool = 0x40,
        kFilter = 0x80,
        kLevels = 0x100,
        kSubId = 0x200,
        kSubRect = 0x400,
        kBytes = 0x800,
    };

    DWORD present = 0;
    String fileName;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DCOLOR colorKey = 0;
    UINT width = 0;
    UINT height = 0;
    DWORD usage = 0;
    DWORD mode = texture_mode::kEmpty;  // kArchiveFile when a file name or bytes are given
    D3DPOOL pool = D3DPOOL_MANAGED;
    DWORD filter = 5;     // D3DX_FILTER_BOX
    DWORD mipFilter = 5;  // D3DX_FILTER_BOX
    UINT levels = 0;
    String subId;
    TextureRect subRect;
    const void* bytes = nullptr;
    std::size_t length = 0;

    bool findOnly = false;      // never create
    bool skipCacheLookup = false;
    bool deferred = false;      // create at first use

    bool Has(DWORD bit) const { return (present & bit) != 0; }
    bool HasSub() const { return Has(kSubId) || Has(kSubRect); }

    TextureRequest& FileName(const String& name) { fileName = name; present |= kFileName; return *this; }
    TextureRequest& Format(D3DFORMAT value) { format = value; present |= kFormat; return *this; }
    TextureRequest& ColorKey(D3DCOLOR value) { colorKey = value; present |= kColorKey; return *this; }
    TextureRequest& Size(UINT w, UINT h) { width = w; height = h; present |= kSize; return *this; }
    TextureRequest& Usage(DWORD value) { usage = value; present |= kUsage; return *this; }
    TextureRequest& Mode(DWORD value) { mode = value; present |= kMode; return *this; }
    TextureRequest& Pool(D3DPOOL value) { pool = value; present |= kPool; return *this; }
    TextureRequest& Filters(DWORD f, DWORD mip) { filter = f; mipFilter = mip; present |= kFilter; return *this; }
    TextureRequest& Levels(UINT value) { levels = value; present |= kLevels; return *this; }
    TextureRequest& SubId(const String& id) { subId = id; present |= kSubId; return *this; }
    TextureRequest& SubRect(const TextureRect& rect) { subRect = rect; present |= kSubRect; return *this; }
    TextureRequest& Bytes(const void* data, std::size_t size) {
        bytes = data;
        length = size;
        present |= kBytes;
        return *this;
    }

    // The creation mode the request stands for: its own, or the default.
    DWORD EffectiveMode() const;
};

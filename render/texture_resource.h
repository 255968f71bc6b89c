#pragma once
// A texture resource: one Direct3D texture, or a rectangle of another texture (a
// sub-texture in an atlas, which shares its parent's Direct3D texture and identity).
// Top-level textures are device objects: Invalidate releases the Direct3D
// texture before a device reset, Restore makes it again with its pixels (from the kept file
// bytes, the named file, or the caller's bytes) and reloads every sub-texture's image.
// Failures are false, and leave no Direct3D texture.

#include "core/byte_string.h"
#include "platform/d3d9/d3d9.h"
#include "render/device_object.h"
#include "render/device_globals.h"
#include "render/render_texture.h"
#include "render/texture_atlas.h"
#include "render/texture_request.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TextureParameters {
    DWORD mode = texture_mode::kEmpty;
    UINT width = 0;
    UINT height = 0;
    UINT levels = 0;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_MANAGED;
    DWORD filter = 5;
    DWORD mipFilter = 5;
    D3DCOLOR colorKey = 0;
};

class TextureResource : public DeviceObject, public RenderTexture {
public:
    TextureResource();
    ~TextureResource() override;
    TextureResource(const TextureResource&) = delete;
    TextureResource& operator=(const TextureResource&) = delete;

    bool CreateEmpty(DWORD mode, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    bool CreateFromFile(const String& name, const TextureParameters& parameters);
    // Mode 4 keeps the caller's pointer (the bytes must outlive the texture); other modes copy.
    bool CreateFromMemory(const void* bytes, std::size_t length, const TextureParameters& parameters);
    // Reads a ".ts" description through the media archive and creates what it says.
    bool LoadDescription(const String& name);
    // From a cache request, with its defaults.
    bool CreateFromRequest(const TextureRequest& request);

    // The Direct3D texture, creating a deferred texture first (null when there is none).
    IDirect3DTexture9* GetTexture();
    // The Direct3D texture as it is now (a sub-texture's is its parent's).
    IDirect3DTexture9* Direct3DTexture() const override;
    // Whether the texture's pixel format carries alpha.
    bool HasAlpha() const;
    // The texture that batching compares: a sub-texture counts as its parent.
    const TextureResource* Identity() const override { return parent_ ? parent_ : this; }

    bool RestoreTexture();
    bool InvalidateTexture();
    bool Restore() override { return RestoreTexture(); }
    bool Invalidate() override { return InvalidateTexture(); }

    // A sub-texture by Id (when the request has one) or by rectangle; null when none.
    TextureResource* FindSub(const TextureRequest& request) const;
    // A new sub-texture of the rectangle (clipped to this texture), without an image.
    TextureResource* AddSub(const TextureRect& rect, const String& id);

    // True when every field present in the request equals this texture's parameter
    // (either the one asked for or the one the device gave).
    bool Matches(const TextureRequest& request) const;

    const D3DSURFACE_DESC& Description() const { return desc_; }
    UINT LevelCount() const { return levels_; }
    DWORD Mode() const { return params_.mode; }
    const TextureParameters& Parameters() const { return params_; }
    const String& FileName() const { return fileName_; }
    const String& Id() const { return id_; }
    void SetId(const String& id) { id_ = id; }
    TextureResource* Parent() const { return parent_; }
    const TextureRect& Rect() const { return rect_; }
    bool HasExplicitRect() const { return explicitRect_; }
    const std::vector<std::unique_ptr<TextureResource>>& Subs() const { return subs_; }
    bool KeepsFileBytes() const { return !ownedBytes_.empty(); }

private:
    friend class TextureDescriptionLoader;

    // Releases the Direct3D texture, the kept bytes and the sub-textures.
    void ReleaseAll();
    void ReleaseTexture();
    // Creation proper with the stored parameters.
    bool Create();
    bool CreateTopLevel();
    bool LoadSubImage();
    // Takes `sub` into the list; it stops being a device resource of its own.
    TextureResource* Adopt(std::unique_ptr<TextureResource> sub);
    void TakeParentDescription();
    void StoreParameters(const TextureParameters& parameters);
    const std::uint8_t* ImageBytes() const;

    TextureParameters params_;
    D3DSURFACE_DESC desc_{};
    UINT levels_ = 0;
    IDirect3DTexture9* texture_ = nullptr;
    std::vector<std::uint8_t> ownedBytes_;  // mode 1 (and copied caller bytes)
    const std::uint8_t* callerBytes_ = nullptr;  // mode 4
    std::size_t length_ = 0;
    String fileName_;
    String id_;
    TextureResource* parent_ = nullptr;
    TextureRect rect_;
    bool explicitRect_ = false;
    std::vector<std::unique_ptr<TextureResource>> subs_;
};

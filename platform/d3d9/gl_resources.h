#pragma once
// Vertex and index buffers, textures and surfaces of the OpenGL device. Lock returns a CPU
// copy of the contents and Unlock uploads the range that was locked (DISCARD orphans the GL
// buffer first, NOOVERWRITE writes unsynchronised). The copy lives only as long as it is
// needed: a static buffer or a texture level drops it after its first Unlock (most are
// written once at load), and a later Lock reads the contents back from GL and keeps the copy
// from then on, since a resource locked twice is likely to be locked again. Dynamic buffers
// keep theirs throughout. The GL objects survive a device Reset (the context stays), so no
// copy is needed to restore them.
// Resources hold a reference to their device and tell it when they are created and destroyed.

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ref_counted.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

class GlDevice;

// The reference count and device link every resource shares.
template <class Interface>
class GlResource : public RefCounted<Interface> {
public:
    HRESULT GetDevice(IDirect3DDevice9** device) override;

protected:
    explicit GlResource(GlDevice* device, D3DPOOL pool);
    ~GlResource() override;
    GlDevice* device_;
    D3DPOOL pool_;
};

// The storage shared by vertex and index buffers.
class GlBufferStore {
public:
    bool Create(UINT length, DWORD usage);
    void Destroy();
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();
    GLuint Name() const { return name_; }
    UINT Length() const { return length_; }
    // Whether the CPU copy exists now (tests and memory accounting).
    bool HasCopy() const { return !data_.empty(); }

private:
    GLuint name_ = 0;
    GLenum hint_ = GL_STATIC_DRAW;
    UINT length_ = 0;
    std::vector<std::uint8_t> data_;
    bool keepCopy_ = false;  // dynamic, or locked again after the copy was dropped
    bool written_ = false;   // GL holds more than the zeros it was made with
    int locks_ = 0;
    UINT dirtyBegin_ = 0, dirtyEnd_ = 0;
    bool discard_ = false, noOverwrite_ = false;
};

class GlVertexBuffer final : public GlResource<IDirect3DVertexBuffer9> {
public:
    GlVertexBuffer(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~GlVertexBuffer() override;
    bool Valid() const { return store_.Name() != 0; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    GLuint Name() const { return store_.Name(); }
    UINT Length() const { return store_.Length(); }
    bool HasCopy() const { return store_.HasCopy(); }

private:
    GlBufferStore store_;
    DWORD usage_, fvf_;
};

class GlIndexBuffer final : public GlResource<IDirect3DIndexBuffer9> {
public:
    GlIndexBuffer(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~GlIndexBuffer() override;
    bool Valid() const { return store_.Name() != 0; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    GLuint Name() const { return store_.Name(); }
    UINT Length() const { return store_.Length(); }
    bool HasCopy() const { return store_.HasCopy(); }
    D3DFORMAT Format() const { return format_; }

private:
    GlBufferStore store_;
    DWORD usage_;
    D3DFORMAT format_;
};

class GlTexture final : public GlResource<IDirect3DTexture9> {
public:
    GlTexture(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
              D3DPOOL pool);
    ~GlTexture() override;
    bool Valid() const { return name_ != 0; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return DWORD(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    GLuint Name() const { return name_; }
    // Whether the level holds a CPU copy now (tests and memory accounting).
    bool HasCopy(UINT level) const { return level < levels_.size() && !levels_[level].bytes.empty(); }

private:
    struct Level {
        UINT width, height, pitch;
        std::vector<std::uint8_t> bytes;  // empty while the contents live only in GL
        bool locked = false, readOnly = false;
        bool keepCopy = false;  // locked again after the copy was dropped
        bool written = false;   // GL holds more than the zeros it was made with
        RECT rect{};
    };
    void Upload(UINT level);
    void ReadBack(UINT level);
    GLuint name_ = 0;
    DWORD usage_;
    D3DFORMAT format_;
    int bytesPerPixel_ = 0;
    std::vector<Level> levels_;
};

// A level of a texture, or the back buffer (which describes itself but cannot be locked).
class GlSurface final : public GlResource<IDirect3DSurface9> {
public:
    GlSurface(GlDevice* device, GlTexture* container, UINT level, const D3DSURFACE_DESC& desc);
    ~GlSurface() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

private:
    GlTexture* container_;
    UINT level_;
    D3DSURFACE_DESC desc_;
};

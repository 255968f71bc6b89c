#include "platform/d3d9/gl_resources.h"

#include "platform/d3d9/gl_device.h"
#include "platform/d3d9/gl_formats.h"

#include <algorithm>
#include <cstring>

template <class Interface>
GlResource<Interface>::GlResource(GlDevice* device, D3DPOOL pool) : device_(device), pool_(pool) {
    device_->AddRef();
    device_->ResourceCreated(pool_);
}

template <class Interface>
GlResource<Interface>::~GlResource() {
    device_->ResourceDestroyed(static_cast<const void*>(this), pool_);
    device_->Release();
}

template <class Interface>
HRESULT GlResource<Interface>::GetDevice(IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

template class GlResource<IDirect3DVertexBuffer9>;
template class GlResource<IDirect3DIndexBuffer9>;
template class GlResource<IDirect3DTexture9>;
template class GlResource<IDirect3DSurface9>;

// Buffers.

namespace {
// Forgets errors raised before, so the check after a call sees only that call's.
void ClearGlErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}
}  // namespace

bool GlBufferStore::Create(UINT length, DWORD usage) {
    ClearGlErrors();
    length_ = length;
    keepCopy_ = (usage & D3DUSAGE_DYNAMIC) != 0;
    hint_ = keepCopy_ ? GL_STREAM_DRAW : GL_STATIC_DRAW;
    // A new buffer reads as zeros; the zeros a static buffer is made with are not kept.
    data_.assign(length, 0);
    glGenBuffers(1, &name_);
    glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
    glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(length), data_.data(), hint_);
    if (!keepCopy_) std::vector<std::uint8_t>().swap(data_);
    return name_ != 0 && glGetError() == GL_NO_ERROR;
}

void GlBufferStore::Destroy() {
    if (name_) glDeleteBuffers(1, &name_);
    name_ = 0;
}

HRESULT GlBufferStore::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (!data) return D3DERR_INVALIDCALL;
    const UINT length = Length();
    if (size == 0 && offset == 0) size = length;
    if (offset > length || size > length - offset) return D3DERR_INVALIDCALL;
    if (data_.empty() && length > 0) {
        // No copy: a buffer never written holds zeros. One written before and locked again
        // reads its contents back from GL (a DISCARD lock leaves them undefined) and keeps
        // its copy from now on.
        data_.assign(length, 0);
        if (written_) {
            if (!(flags & D3DLOCK_DISCARD)) {
                glBindBuffer(GL_COPY_READ_BUFFER, name_);
                glGetBufferSubData(GL_COPY_READ_BUFFER, 0, GLsizeiptr(length), data_.data());
            }
            keepCopy_ = true;
        }
    }
    *data = data_.data() + offset;
    if (flags & D3DLOCK_READONLY) {
        ++locks_;
        return D3D_OK;
    }
    if (dirtyEnd_ <= dirtyBegin_) {
        dirtyBegin_ = offset;
        dirtyEnd_ = offset + size;
    } else {
        dirtyBegin_ = std::min(dirtyBegin_, offset);
        dirtyEnd_ = std::max(dirtyEnd_, offset + size);
    }
    if (flags & D3DLOCK_DISCARD) discard_ = true;
    if (flags & D3DLOCK_NOOVERWRITE) noOverwrite_ = true;
    ++locks_;
    return D3D_OK;
}

HRESULT GlBufferStore::Unlock() {
    if (locks_ == 0) return D3DERR_INVALIDCALL;
    if (--locks_ > 0) return D3D_OK;
    if (dirtyEnd_ > dirtyBegin_) {
        written_ = true;
        glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
        const GLintptr offset = GLintptr(dirtyBegin_);
        const GLsizeiptr size = GLsizeiptr(dirtyEnd_ - dirtyBegin_);
        if (discard_) {
            // Orphan the storage so pending draws keep the old contents.
            glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(data_.size()), nullptr, hint_);
            glBufferSubData(GL_COPY_WRITE_BUFFER, offset, size, data_.data() + dirtyBegin_);
        } else if (noOverwrite_) {
            void* mapped = glMapBufferRange(GL_COPY_WRITE_BUFFER, offset, size,
                                            GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
            if (mapped) {
                std::memcpy(mapped, data_.data() + dirtyBegin_, std::size_t(size));
                glUnmapBuffer(GL_COPY_WRITE_BUFFER);
            } else {
                glBufferSubData(GL_COPY_WRITE_BUFFER, offset, size, data_.data() + dirtyBegin_);
            }
        } else {
            glBufferSubData(GL_COPY_WRITE_BUFFER, offset, size, data_.data() + dirtyBegin_);
        }
    }
    dirtyBegin_ = dirtyEnd_ = 0;
    discard_ = noOverwrite_ = false;
    if (!keepCopy_) std::vector<std::uint8_t>().swap(data_);
    return D3D_OK;
}

GlVertexBuffer::GlVertexBuffer(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : GlResource(device, pool), usage_(usage), fvf_(fvf) {
    store_.Create(length, usage);
}

GlVertexBuffer::~GlVertexBuffer() {
    device_->MakeCurrent();
    device_->ForgetBuffer(store_.Name());
    store_.Destroy();
}

HRESULT GlVertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    device_->MakeCurrent();
    return store_.Lock(offset, size, data, flags);
}

HRESULT GlVertexBuffer::Unlock() {
    device_->MakeCurrent();
    return store_.Unlock();
}

HRESULT GlVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, store_.Length(), fvf_};
    return D3D_OK;
}

GlIndexBuffer::GlIndexBuffer(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : GlResource(device, pool), usage_(usage), format_(format) {
    store_.Create(length, usage);
}

GlIndexBuffer::~GlIndexBuffer() {
    device_->MakeCurrent();
    device_->ForgetBuffer(store_.Name());
    store_.Destroy();
}

HRESULT GlIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    device_->MakeCurrent();
    return store_.Lock(offset, size, data, flags);
}

HRESULT GlIndexBuffer::Unlock() {
    device_->MakeCurrent();
    return store_.Unlock();
}

HRESULT GlIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = D3DINDEXBUFFER_DESC{format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, store_.Length()};
    return D3D_OK;
}

// Textures.

namespace {
constexpr int kUploadUnit = GlStateMirror::kUnits - 3;  // a unit no stage samples from

UINT FullChain(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}
}  // namespace

GlTexture::GlTexture(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : GlResource(device, pool), usage_(usage), format_(format) {
    GlFormat gl;
    if (!TextureFormatOf(format, gl)) return;
    bytesPerPixel_ = gl.bytesPerPixel;
    const UINT full = FullChain(width, height);
    if (levels == 0 || levels > full) levels = full;
    if (usage & D3DUSAGE_AUTOGENMIPMAP) levels = full;
    ClearGlErrors();
    glGenTextures(1, &name_);
    device_->Mirror().BindTexture(kUploadUnit, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    // Every level starts as zeros, uploaded from one buffer the size of the top level and
    // then freed: the levels keep no copy until they are locked.
    const std::vector<std::uint8_t> zeros(std::size_t(width) * height * UINT(bytesPerPixel_), 0);
    UINT w = width, h = height;
    for (UINT i = 0; i < levels; ++i) {
        Level level;
        level.width = w;
        level.height = h;
        level.pitch = w * UINT(bytesPerPixel_);
        glTexImage2D(GL_TEXTURE_2D, GLint(i), GLint(gl.internalFormat), GLsizei(w), GLsizei(h), 0, gl.format, gl.type,
                     zeros.data());
        levels_.push_back(std::move(level));
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
    // Without this a chain shorter than the full one would sample as incomplete (black).
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels - 1));
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, gl.swizzle);
    if (glGetError() != GL_NO_ERROR) {
        device_->ForgetTexture(name_);
        glDeleteTextures(1, &name_);
        name_ = 0;
    }
}

GlTexture::~GlTexture() {
    if (name_) {
        device_->MakeCurrent();
        device_->ForgetTexture(name_);
        glDeleteTextures(1, &name_);
    }
}

HRESULT GlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{format_, D3DRTYPE_SURFACE, usage_, pool_, D3DMULTISAMPLE_NONE, 0,
                            levels_[level].width, levels_[level].height};
    return D3D_OK;
}

HRESULT GlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (!surface || level >= levels_.size()) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    GetLevelDesc(level, &desc);
    *surface = new GlSurface(device_, this, level, desc);
    return D3D_OK;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked || level >= levels_.size()) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    if (l.locked) return D3DERR_INVALIDCALL;
    RECT r{0, 0, LONG(l.width), LONG(l.height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > LONG(l.width) || rect->bottom > LONG(l.height) ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        r = *rect;
    }
    if (l.bytes.empty()) {
        // No copy: a level never written holds zeros. One written before (or made by GL
        // from the top level) reads its contents back and keeps its copy from now on.
        l.bytes.assign(std::size_t(l.pitch) * l.height, 0);
        if (l.written) {
            if (!(flags & D3DLOCK_DISCARD)) ReadBack(level);
            l.keepCopy = true;
        }
    }
    l.locked = true;
    l.readOnly = (flags & D3DLOCK_READONLY) != 0;
    l.rect = r;
    locked->Pitch = INT(l.pitch);
    locked->pBits = l.bytes.data() + std::size_t(r.top) * l.pitch + std::size_t(r.left) * UINT(bytesPerPixel_);
    return D3D_OK;
}

HRESULT GlTexture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    l.locked = false;
    if (!l.readOnly) Upload(level);
    if (!l.keepCopy) std::vector<std::uint8_t>().swap(l.bytes);
    return D3D_OK;
}

void GlTexture::Upload(UINT level) {
    Level& l = levels_[level];
    l.written = true;
    GlFormat gl;
    TextureFormatOf(format_, gl);
    device_->MakeCurrent();
    device_->Mirror().BindTexture(kUploadUnit, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(l.width));
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    const std::uint8_t* first = l.bytes.data() + std::size_t(l.rect.top) * l.pitch + std::size_t(l.rect.left) * UINT(bytesPerPixel_);
    glTexSubImage2D(GL_TEXTURE_2D, GLint(level), l.rect.left, l.rect.top, l.rect.right - l.rect.left,
                    l.rect.bottom - l.rect.top, gl.format, gl.type, first);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (level == 0 && (usage_ & D3DUSAGE_AUTOGENMIPMAP) && levels_.size() > 1) {
        glGenerateMipmap(GL_TEXTURE_2D);
        for (Level& made : levels_) made.written = true;
    }
}

void GlTexture::ReadBack(UINT level) {
    Level& l = levels_[level];
    GlFormat gl;
    TextureFormatOf(format_, gl);
    device_->MakeCurrent();
    device_->Mirror().BindTexture(kUploadUnit, name_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glGetTexImage(GL_TEXTURE_2D, GLint(level), gl.format, gl.type, l.bytes.data());
}

GlSurface::GlSurface(GlDevice* device, GlTexture* container, UINT level, const D3DSURFACE_DESC& desc)
    : GlResource(device, D3DPOOL_MANAGED), container_(container), level_(level),
      desc_(desc) {
    if (container_) container_->AddRef();
}

GlSurface::~GlSurface() {
    if (container_) container_->Release();
}

HRESULT GlSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

HRESULT GlSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!container_) return D3DERR_INVALIDCALL;  // the back buffer is not lockable
    return container_->LockRect(level_, locked, rect, flags);
}

HRESULT GlSurface::UnlockRect() {
    if (!container_) return D3DERR_INVALIDCALL;
    return container_->UnlockRect(level_);
}

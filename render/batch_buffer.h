#pragma once
// BatchBuffer: one Direct3D vertex or index buffer shared by many clients, each holding a
// block of it. The blocks form a list in offset order that covers [0, size) without gaps;
// the used span is the smallest range covering every used block. Blocks outlive the
// Direct3D buffer: after it is recreated every client is told to rewrite its block.

#include "core/object.h"
#include "render/buffer_description.h"
#include "render/device_object.h"

class BatchBuffer;
struct BufferBlock;

// The owner of a block; told when its block moves or must be written again.
class BufferClient : public virtual Object {
public:
    // The block has its new offset; the client writes its data there. False on failure.
    virtual bool Relocate(BufferBlock* block) = 0;
};

struct BufferBlock {
    UINT offset = 0;
    UINT length = 0;
    bool free = true;
    BufferClient* client = nullptr;
    const void* clientValue = nullptr;
    BatchBuffer* owner = nullptr;
    BufferBlock* previous = nullptr;
    BufferBlock* next = nullptr;
};

class BatchBuffer : public Interface, public DeviceObject {
public:
    BatchBuffer() = default;
    ~BatchBuffer() override;

    bool QueryInterface(const String& name, Interface** out) override;

    // Drop every block, store the settings, make one free block of the whole size and,
    // when a device exists, create the Direct3D buffer.
    bool ConfigureVertices(UINT size, DWORD usage, DWORD fvf, UINT stride, D3DPOOL pool);
    bool ConfigureIndices(UINT size, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    void EnableCompaction(UINT holeBytes, float holeFraction);

    // Creates the Direct3D buffer (size 0: nothing, true), then renumbers every block.
    bool Restore() override;
    bool Invalidate() override;

    bool Lock(UINT offset, UINT length, DWORD flags, void** data);
    bool Unlock();

    // Best fit among free blocks; null when none is large enough.
    virtual BufferBlock* Allocate(UINT length, const void* clientValue, BufferClient* client);
    // With clear, the bytes are zeroed first. A free block is left alone.
    void Free(BufferBlock* block, bool clear);
    bool Resize(UINT newSize, bool recreate);
    // Moves used blocks to the front; tells the clients whose block moved (all, when forced).
    bool Compact(bool forced);
    bool CompactIfWasteful();
    void GetUsedRange(UINT* start, UINT* length) const;
    // Axis-aligned box of the positions in the used span (readable vertex buffers only).
    bool ComputeBounds(D3DVECTOR* minimum, D3DVECTOR* maximum);

    DWORD Kind() const { return kind_; }
    DWORD Fvf() const { return fvf_; }
    UINT Stride() const { return stride_; }
    D3DFORMAT IndexFormat() const { return indexFormat_; }
    D3DPOOL Pool() const { return pool_; }
    UINT Size() const { return size_; }
    DWORD Usage() const { return usage_; }
    UINT FreeBytes() const { return freeBytes_; }
    const BufferBlock* FirstBlock() const { return first_; }
    int BlockCount() const;
    IDirect3DVertexBuffer9* VertexBuffer() const { return vertexBuffer_; }
    IDirect3DIndexBuffer9* IndexBuffer() const { return indexBuffer_; }
    bool HasBuffer() const { return vertexBuffer_ != nullptr || indexBuffer_ != nullptr; }

protected:
    bool CreateBuffer();
    void ReleaseBuffer();
    void ClearBlocks();
    BufferBlock* LastBlock() const;

    DWORD kind_ = kVertexBufferKind;
    DWORD fvf_ = 0;
    UINT stride_ = 0;
    D3DFORMAT indexFormat_ = D3DFMT_INDEX16;
    D3DPOOL pool_ = D3DPOOL_DEFAULT;
    UINT size_ = 0;
    UINT minimumSize_ = 0;
    UINT growthStep_ = 4096;
    DWORD usage_ = 0;
    UINT freeBytes_ = 0;
    UINT spanStart_ = 0;
    UINT spanLength_ = 0;
    bool compaction_ = false;
    UINT holeBytes_ = 0;
    float holeFraction_ = 0.3f;

private:
    bool Configure(UINT size);

    IDirect3DVertexBuffer9* vertexBuffer_ = nullptr;
    IDirect3DIndexBuffer9* indexBuffer_ = nullptr;
    BufferBlock* first_ = nullptr;
};

#include "render/dynamic_batch_buffer.h"

#include "render/device_globals.h"

bool DynamicBatchBuffer::QueryInterface(const String& name, Interface** out) {
    if (name.Equals("DynamicBatchBuffer") || name.Equals("DBB")) {
        *out = this;
        return true;
    }
    return BatchBuffer::QueryInterface(name, out);
}

bool DynamicBatchBuffer::Configure(const BufferDescription& description) {
    minimumSize_ = description.minimumSize;
    growthStep_ = description.growthStep;
    compaction_ = false;
    if (description.flags & kBufferCompactionGiven)
        EnableCompaction(description.holeBytes, description.holeFraction);
    UINT size = description.size;
    if (description.kind == kIndexBufferKind)
        return ConfigureIndices(size, description.usage, description.indexFormat, description.pool);
    return ConfigureVertices(size, description.usage, description.fvf, description.stride, description.pool);
}

BufferBlock* DynamicBatchBuffer::Allocate(UINT length, const void* clientValue, BufferClient* client) {
    if (BufferBlock* block = BatchBuffer::Allocate(length, clientValue, client)) return block;
    UINT step = length > growthStep_ ? length : growthStep_;
    if (step == 0 || size_ + step < size_) return nullptr;  // nothing to grow by, or beyond 4 GB
    if (CurrentDevice() == nullptr) {
        // No device: only the blocks grow; the buffer is made at the next Restore.
        Resize(size_ + step, false);
        return BatchBuffer::Allocate(length, clientValue, client);
    }
    ReleaseBuffer();
    Resize(size_ + step, false);
    if (!CreateBuffer()) {
        Resize(size_ - step, false);
        if (!CreateBuffer()) return nullptr;
        if (!Compact(true)) return nullptr;
        return BatchBuffer::Allocate(length, clientValue, client);
    }
    if (!Compact(true)) return nullptr;
    return BatchBuffer::Allocate(length, clientValue, client);
}

bool DynamicBatchBuffer::Restore() {
    UINT used = size_ - freeBytes_;
    UINT wanted = used + growthStep_;
    if (minimumSize_ > wanted) wanted = minimumSize_;
    Resize(wanted, false);
    return BatchBuffer::Restore();
}

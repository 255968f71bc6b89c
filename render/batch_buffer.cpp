#include "render/batch_buffer.h"

#include "render/device_globals.h"

#include <cstring>
#include <vector>

BatchBuffer::~BatchBuffer() {
    ReleaseBuffer();
    ClearBlocks();
}

bool BatchBuffer::QueryInterface(const String& name, Interface** out) {
    if (name.Equals("BatchBuffer")) {
        *out = this;
        return true;
    }
    return Interface::QueryInterface(name, out);
}

void BatchBuffer::ClearBlocks() {
    BufferBlock* block = first_;
    while (block != nullptr) {
        BufferBlock* next = block->next;
        delete block;
        block = next;
    }
    first_ = nullptr;
}

BufferBlock* BatchBuffer::LastBlock() const {
    BufferBlock* block = first_;
    while (block != nullptr && block->next != nullptr) block = block->next;
    return block;
}

int BatchBuffer::BlockCount() const {
    int count = 0;
    for (const BufferBlock* block = first_; block != nullptr; block = block->next) ++count;
    return count;
}

bool BatchBuffer::Configure(UINT size) {
    ReleaseBuffer();
    ClearBlocks();
    size_ = size;
    freeBytes_ = size;
    spanStart_ = spanLength_ = 0;
    if (size != 0) first_ = new BufferBlock{0, size, true, nullptr, nullptr, this, nullptr, nullptr};
    if (CurrentDevice() == nullptr) return true;
    return CreateBuffer();
}

bool BatchBuffer::ConfigureVertices(UINT size, DWORD usage, DWORD fvf, UINT stride, D3DPOOL pool) {
    kind_ = kVertexBufferKind;
    usage_ = usage;
    fvf_ = fvf;
    stride_ = stride;
    pool_ = pool;
    return Configure(size);
}

bool BatchBuffer::ConfigureIndices(UINT size, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    kind_ = kIndexBufferKind;
    usage_ = usage;
    indexFormat_ = format;
    pool_ = pool;
    return Configure(size);
}

void BatchBuffer::EnableCompaction(UINT holeBytes, float holeFraction) {
    compaction_ = true;
    holeBytes_ = holeBytes;
    holeFraction_ = holeFraction;
}

bool BatchBuffer::CreateBuffer() {
    ReleaseBuffer();
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) return false;
    if (size_ == 0) return true;
    HRESULT hr = kind_ == kVertexBufferKind
                     ? device->CreateVertexBuffer(size_, usage_, fvf_, pool_, &vertexBuffer_, nullptr)
                     : device->CreateIndexBuffer(size_, usage_, indexFormat_, pool_, &indexBuffer_, nullptr);
    if (FAILED(hr)) {
        vertexBuffer_ = nullptr;
        indexBuffer_ = nullptr;
        return false;
    }
    return true;
}

void BatchBuffer::ReleaseBuffer() {
    if (vertexBuffer_ != nullptr) vertexBuffer_->Release();
    if (indexBuffer_ != nullptr) indexBuffer_->Release();
    vertexBuffer_ = nullptr;
    indexBuffer_ = nullptr;
}

bool BatchBuffer::Restore() {
    if (!CreateBuffer()) return false;
    if (size_ == 0) return true;
    // The contents of the new buffer are undefined: every client writes its block again.
    return Compact(true);
}

bool BatchBuffer::Invalidate() {
    ReleaseBuffer();
    return true;
}

bool BatchBuffer::Lock(UINT offset, UINT length, DWORD flags, void** data) {
    HRESULT hr = E_FAIL;
    if (vertexBuffer_ != nullptr) hr = vertexBuffer_->Lock(offset, length, data, flags);
    else if (indexBuffer_ != nullptr) hr = indexBuffer_->Lock(offset, length, data, flags);
    return SUCCEEDED(hr);
}

bool BatchBuffer::Unlock() {
    HRESULT hr = E_FAIL;
    if (vertexBuffer_ != nullptr) hr = vertexBuffer_->Unlock();
    else if (indexBuffer_ != nullptr) hr = indexBuffer_->Unlock();
    return SUCCEEDED(hr);
}

BufferBlock* BatchBuffer::Allocate(UINT length, const void* clientValue, BufferClient* client) {
    if (length == 0) return nullptr;
    BufferBlock* best = nullptr;
    for (BufferBlock* block = first_; block != nullptr; block = block->next) {
        if (!block->free || block->length < length) continue;
        if (best == nullptr || block->length - length < best->length - length) best = block;
    }
    if (best == nullptr) return nullptr;
    if (best->length > length) {
        auto* rest = new BufferBlock{best->offset + length, best->length - length, true, nullptr, nullptr,
                                     this, best, best->next};
        if (best->next != nullptr) best->next->previous = rest;
        best->next = rest;
        best->length = length;
    }
    best->free = false;
    best->client = client;
    best->clientValue = clientValue;
    best->owner = this;
    freeBytes_ -= best->length;
    if (spanLength_ == 0) {
        spanStart_ = best->offset;
        spanLength_ = best->length;
    } else {
        UINT start = spanStart_ < best->offset ? spanStart_ : best->offset;
        UINT end = spanStart_ + spanLength_;
        if (best->offset + best->length > end) end = best->offset + best->length;
        spanStart_ = start;
        spanLength_ = end - start;
    }
    return best;
}

void BatchBuffer::Free(BufferBlock* block, bool clear) {
    if (block == nullptr || block->free || block->owner != this) return;
    UINT spanEnd = spanStart_ + spanLength_;
    bool atStart = block->offset == spanStart_;
    bool atEnd = block->offset + block->length == spanEnd;
    if (atStart || atEnd) {
        const BufferBlock* low = nullptr;
        const BufferBlock* high = nullptr;
        if (atStart) {
            for (low = block->next; low != nullptr && low->free; low = low->next) {}
        }
        if (atEnd) {
            for (high = block->previous; high != nullptr && high->free; high = high->previous) {}
        }
        UINT start = atStart ? (low ? low->offset : 0) : spanStart_;
        UINT end = atEnd ? (high ? high->offset + high->length : 0) : spanEnd;
        if ((atStart && low == nullptr) || (atEnd && high == nullptr) || end <= start) {
            spanStart_ = spanLength_ = 0;
        } else {
            spanStart_ = start;
            spanLength_ = end - start;
        }
    }
    if (clear && block->length != 0) {
        void* data = nullptr;
        DWORD flags = (usage_ & D3DUSAGE_DYNAMIC) ? D3DLOCK_NOOVERWRITE : 0;
        if (Lock(block->offset, block->length, flags, &data) && data != nullptr) {
            std::memset(data, 0, block->length);
            Unlock();
        }
    }
    block->free = true;
    block->client = nullptr;
    block->clientValue = nullptr;
    freeBytes_ += block->length;
    if (block->next != nullptr && block->next->free) {
        BufferBlock* next = block->next;
        block->length += next->length;
        block->next = next->next;
        if (next->next != nullptr) next->next->previous = block;
        delete next;
    }
    if (block->previous != nullptr && block->previous->free) {
        BufferBlock* previous = block->previous;
        previous->length += block->length;
        previous->next = block->next;
        if (block->next != nullptr) block->next->previous = previous;
        delete block;
    }
}

bool BatchBuffer::Resize(UINT newSize, bool recreate) {
    if (recreate) {
        size_ = newSize;
        return Restore();
    }
    if (newSize < size_) {
        UINT cut = size_ - newSize;
        // The trailing free block shrinks with the buffer so no block reaches past the end;
        // used blocks beyond it are put in place by the next compaction.
        BufferBlock* last = LastBlock();
        if (last != nullptr && last->free) {
            UINT trim = cut < last->length ? cut : last->length;
            last->length -= trim;
            freeBytes_ -= trim;
            if (last->length == 0) {
                if (last->previous != nullptr) last->previous->next = nullptr;
                else first_ = nullptr;
                delete last;
            }
        }
        size_ = newSize;
        return true;
    }
    if (newSize > size_) {
        UINT growth = newSize - size_;
        BufferBlock* last = LastBlock();
        if (last != nullptr && last->free) {
            last->length += growth;
        } else {
            auto* block = new BufferBlock{size_, growth, true, nullptr, nullptr, this, last, nullptr};
            if (last != nullptr) last->next = block;
            else first_ = block;
        }
        freeBytes_ += growth;
        size_ = newSize;
    }
    return true;
}

bool BatchBuffer::Compact(bool forced) {
    std::vector<BufferBlock*> toTell;
    UINT running = 0;
    BufferBlock* previous = nullptr;
    BufferBlock* block = first_;
    first_ = nullptr;
    while (block != nullptr) {
        BufferBlock* next = block->next;
        if (block->free) {
            delete block;
        } else {
            block->previous = previous;
            block->next = nullptr;
            if (previous != nullptr) previous->next = block;
            else first_ = block;
            previous = block;
            if (forced || block->offset != running) toTell.push_back(block);
            block->offset = running;
            running += block->length;
        }
        block = next;
    }
    if (running < size_) {
        auto* tail = new BufferBlock{running, size_ - running, true, nullptr, nullptr, this, previous, nullptr};
        if (previous != nullptr) previous->next = tail;
        else first_ = tail;
    }
    freeBytes_ = size_ > running ? size_ - running : 0;
    spanStart_ = 0;
    spanLength_ = running;
    // Clients are told once the list is whole again, each block at its final offset.
    bool ok = true;
    for (BufferBlock* moved : toTell) {
        if (moved->client != nullptr && !moved->client->Relocate(moved)) ok = false;
    }
    return ok;
}

bool BatchBuffer::CompactIfWasteful() {
    if (!compaction_ || spanLength_ == 0) return false;
    // Free bytes inside the used span.
    long long holes = (long long)freeBytes_ + spanLength_ - size_;
    if (holes <= 0) return false;
    bool wasteful = (holeBytes_ > 0 && holes > (long long)holeBytes_) ||
                    (holeFraction_ > 0 && double(holes) / spanLength_ > holeFraction_);
    return wasteful && Compact(false);
}

void BatchBuffer::GetUsedRange(UINT* start, UINT* length) const {
    if (start != nullptr) *start = spanStart_;
    if (length != nullptr) *length = spanLength_;
}

bool BatchBuffer::ComputeBounds(D3DVECTOR* minimum, D3DVECTOR* maximum) {
    if (kind_ != kVertexBufferKind || (usage_ & D3DUSAGE_WRITEONLY) || stride_ < 12 || spanLength_ == 0)
        return false;
    void* data = nullptr;
    if (!Lock(spanStart_, spanLength_, D3DLOCK_READONLY, &data) || data == nullptr) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    D3DVECTOR low{0, 0, 0}, high{0, 0, 0};
    for (UINT at = 0; at + 12 <= spanLength_; at += stride_) {
        float p[3];
        std::memcpy(p, bytes + at, sizeof p);
        if (at == 0) {
            low = high = D3DVECTOR{p[0], p[1], p[2]};
            continue;
        }
        low.x = p[0] < low.x ? p[0] : low.x;
        low.y = p[1] < low.y ? p[1] : low.y;
        low.z = p[2] < low.z ? p[2] : low.z;
        high.x = p[0] > high.x ? p[0] : high.x;
        high.y = p[1] > high.y ? p[1] : high.y;
        high.z = p[2] > high.z ? p[2] : high.z;
    }
    Unlock();
    if (minimum != nullptr) *minimum = low;
    if (maximum != nullptr) *maximum = high;
    return true;
}

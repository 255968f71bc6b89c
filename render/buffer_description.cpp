#include "render/buffer_description.h"

bool BufferDescription::Matches(const BufferDescription& other) const {
    if (kind != other.kind) return false;
    if (kind == kVertexBufferKind && fvf != other.fvf) return false;
    if (kind == kIndexBufferKind && (flags & kBufferIndexFormatGiven) && indexFormat != other.indexFormat)
        return false;
    if ((flags & kBufferPoolGiven) && pool != other.pool) return false;
    if ((flags & kBufferUsageGiven) && usage != other.usage) return false;
    return true;
}

BufferDescription VertexDescription(DWORD fvf, UINT stride, UINT size) {
    BufferDescription description;
    description.kind = kVertexBufferKind;
    description.fvf = fvf;
    description.stride = stride;
    description.size = size;
    if (size != 0) description.flags |= kBufferSizeGiven;
    return description;
}

BufferDescription IndexDescription(UINT size, D3DFORMAT format) {
    BufferDescription description;
    description.kind = kIndexBufferKind;
    description.indexFormat = format;
    description.size = size;
    description.flags = kBufferIndexFormatGiven | (size != 0 ? kBufferSizeGiven : 0);
    return description;
}

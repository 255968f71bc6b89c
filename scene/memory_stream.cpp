#include "scene/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

MemoryStream::MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

MemoryStream::MemoryStream(const void* data, std::size_t size) {
    if (data != nullptr && size > 0) {
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes_.assign(first, first + size);
    }
}

std::size_t MemoryStream::Read(void* out, std::size_t count) {
    const std::size_t left = bytes_.size() - position_;
    const std::size_t n = std::min(count, left);
    if (n > 0) std::memcpy(out, bytes_.data() + position_, n);
    position_ += n;
    if (n < count) endOfData_ = true;
    return n;
}

bool MemoryStream::Seek(std::int64_t offset, Origin origin) {
    std::int64_t base = 0;
    if (origin == Origin::Current) base = static_cast<std::int64_t>(position_);
    if (origin == Origin::End) base = static_cast<std::int64_t>(bytes_.size());
    // Both terms are far from the int64 limits: sizes are those of buffers in memory.
    if (offset > 0 && base > INT64_MAX - offset) return false;
    const std::int64_t target = base + offset;
    if (target < 0 || target > static_cast<std::int64_t>(bytes_.size())) return false;
    position_ = static_cast<std::size_t>(target);
    endOfData_ = false;
    return true;
}

void MemoryStream::Close() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
    endOfData_ = false;
}

void MemoryStream::Write(const void* data, std::size_t count) {
    const auto* from = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        const std::size_t used = written_ % kSegmentSize;
        if (used == 0 && written_ / kSegmentSize == segments_.size())
            segments_.push_back(std::make_unique<std::uint8_t[]>(kSegmentSize));
        const std::size_t n = std::min(count, kSegmentSize - used);
        std::memcpy(segments_.back().get() + used, from, n);
        from += n;
        count -= n;
        written_ += n;
    }
}

std::vector<std::uint8_t> MemoryStream::WrittenBytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(written_);
    std::size_t left = written_;
    for (const auto& segment : segments_) {
        const std::size_t n = std::min(left, kSegmentSize);
        out.insert(out.end(), segment.get(), segment.get() + n);
        left -= n;
    }
    return out;
}

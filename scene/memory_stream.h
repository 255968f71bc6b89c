#pragma once
// MemoryStream: a byte buffer with a read position, and a separate write side that
// collects bytes in a list of 16 KiB segments.
//
// Reading never goes outside the buffer: Read copies at most the bytes left and sets the
// end-of-data mark when it delivers fewer bytes than asked. Seek moves only to positions
// inside [0, Size()] and clears the mark.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class MemoryStream {
public:
    enum class Origin { Start, Current, End };
    static constexpr std::size_t kSegmentSize = 0x4000;

    MemoryStream() = default;
    // Reads from bytes, which the stream takes over without copying.
    explicit MemoryStream(std::vector<std::uint8_t> bytes);
    // Reads from a copy of size bytes at data.
    MemoryStream(const void* data, std::size_t size);

    MemoryStream(MemoryStream&&) noexcept = default;
    MemoryStream& operator=(MemoryStream&&) noexcept = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Copies min(count, bytes left) bytes to out and returns that count.
    std::size_t Read(void* out, std::size_t count);
    std::size_t Tell() const { return position_; }
    // False, with the position unchanged, when the target lies outside [0, Size()].
    bool Seek(std::int64_t offset, Origin origin = Origin::Start);
    bool AtEnd() const { return endOfData_; }
    // Drops the read buffer; the stream then reads as empty.
    void Close();

    // The whole read buffer, for readers that parse in place.
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }

    // Appends to the write side.
    void Write(const void* data, std::size_t count);
    std::size_t WrittenSize() const { return written_; }
    // The written bytes, segments joined in order.
    std::vector<std::uint8_t> WrittenBytes() const;

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool endOfData_ = false;

    std::vector<std::unique_ptr<std::uint8_t[]>> segments_;
    std::size_t written_ = 0;
};

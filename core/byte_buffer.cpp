#include "core/byte_buffer.h"

#include <cstring>

ByteBuffer::ByteBuffer() : data_(new std::uint8_t[10]) {}

ByteBuffer::~ByteBuffer() { delete[] data_; }

void ByteBuffer::SetLength(int length) {
    if (length < 0) length = 0;
    if (length == 0 && step_ == 0) {
        delete[] data_;
        data_ = nullptr;
        length_ = 0;
        capacity_ = 0;
        return;
    }
    if (capacity_ >= length && capacity_ - length <= step_) {
        length_ = length;
        return;
    }
    const int capacity = length + step_;
    auto* data = new std::uint8_t[static_cast<unsigned>(capacity)];
    const int kept = length_ < length ? length_ : length;
    if (kept > 0) std::memcpy(data, data_, static_cast<unsigned>(kept));
    delete[] data_;
    data_ = data;
    capacity_ = capacity;
    length_ = length;
}

void ByteBuffer::Append(std::uint8_t byte) {
    SetLength(length_ + 1);
    data_[length_ - 1] = byte;
}

#pragma once
// ByteBuffer: a growable byte buffer used while text is read byte by byte.
//
// Setting the length keeps the storage while it is large enough and not more than one
// step too large; otherwise it reallocates to exactly length + step bytes.

#include <cstdint>

class ByteBuffer {
public:
    ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    void SetLength(int length);
    void SetStep(int step) { step_ = step < 0 ? 0 : step; }
    void Append(std::uint8_t byte);

    int Length() const { return length_; }
    int Capacity() const { return capacity_; }
    int Step() const { return step_; }
    std::uint8_t* Data() { return data_; }
    const std::uint8_t* Data() const { return data_; }

private:
    int length_ = 0;
    int capacity_ = 10;
    int step_ = 10;
    std::uint8_t* data_;
};

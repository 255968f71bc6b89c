#pragma once
// A counted shared handle: the object and a separately allocated counter. The last
// reset or destruction destroys the object through its virtual destructor.

#include <cstdint>
#include <utility>

template <typename T>
class SharedRef {
public:
    SharedRef() = default;
    // Takes a fresh object; a null object gets no counter.
    explicit SharedRef(T* object) : object_(object), count_(object ? new std::int32_t(1) : nullptr) {}
    SharedRef(const SharedRef& other) : object_(other.object_), count_(other.count_) {
        if (count_ != nullptr) ++*count_;
    }
    SharedRef(SharedRef&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)), count_(std::exchange(other.count_, nullptr)) {}
    SharedRef& operator=(SharedRef other) noexcept {
        std::swap(object_, other.object_);
        std::swap(count_, other.count_);
        return *this;
    }
    ~SharedRef() { Reset(); }

    // Fields are cleared before the object is destroyed, so a destructor that reaches this
    // handle again finds it empty.
    void Reset() {
        T* object = std::exchange(object_, nullptr);
        std::int32_t* count = std::exchange(count_, nullptr);
        if (count != nullptr && --*count == 0) {
            delete object;
            delete count;
        }
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    std::int32_t Count() const { return count_ ? *count_ : 0; }

private:
    T* object_ = nullptr;
    std::int32_t* count_ = nullptr;
};

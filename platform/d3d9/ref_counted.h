#pragma once
// RefCounted: the reference count of our Direct3D objects. The count starts at 1 (the
// creator's reference); the Release that brings it to 0 deletes the object.

#include "platform/d3d9/d3d9.h"

template <class Interface>
class RefCounted : public Interface {
public:
    DWORD AddRef() override { return ++refs_; }
    DWORD Release() override {
        const DWORD left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    DWORD refs_ = 1;
};

#pragma once
// The engine's object model: the root class Object and the interface base Interface.
//
// Every engine class derives from Object as a virtual base. Containers that keep lists
// of objects delete, when cleared, the elements whose keep flag is false and only unlink
// the ones whose flag is true.

#include "core/byte_string.h"

#include <cstdint>

class Object {
public:
    Object() = default;
    virtual ~Object() = default;

    // Every object reports the class name "Object".
    const String& ClassName(String& out) const;
    Object* Self() { return this; }

    bool Keep() const { return keep_; }
    void SetKeep(bool keep) { keep_ = keep; }

private:
    bool keep_ = true;
};

// Root of the renderer-facing classes: a use count, an owner told when the count falls to
// zero, a listener told when the object is destroyed, and queries by interface name.
class Interface : public virtual Object {
public:
    Interface() = default;
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;
    ~Interface() override;

    // Called on the owner when an object it owns is released to a use count of zero.
    virtual void OnReleased(Interface* released) {}
    // Called on the listener when an object it listens to is destroyed.
    virtual void OnDestroyed(Interface* destroyed) {}

    // Answers true and writes the interface pointer when this object implements the named
    // interface (names compare exactly). The base implements none.
    virtual bool QueryInterface(const String& name, Interface** out) { return false; }

    void AddUse() { ++useCount_; }
    // Lowers the use count when above zero; at zero the owner is told, again on every call.
    void Release();

    std::int32_t UseCount() const { return useCount_; }
    Interface* Owner() const { return owner_; }
    void SetOwner(Interface* owner) { owner_ = owner; }
    Interface* Listener() const { return listener_; }
    void SetListener(Interface* listener) { listener_ = listener; }

private:
    std::int32_t useCount_ = 0;
    Interface* owner_ = nullptr;
    Interface* listener_ = nullptr;
};

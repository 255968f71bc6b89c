#pragma once
// Device objects: anything that owns Direct3D resources (buffers, textures, the input
// devices) registers here when it is made and unregisters when destroyed. The device
// window calls Restore() on every registered object after the device was created or reset,
// and Invalidate() on every one before a reset or release; a group call is true only when
// every object answered true. Contents of D3DPOOL_DEFAULT resources are rebuilt, never
// preserved.

#include "core/object.h"

#include <vector>

class DeviceObject : public virtual Object {
public:
    // Registers; DeviceExistedAtRegistration() tells whether a device existed then.
    DeviceObject();
    ~DeviceObject() override;
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;

    virtual bool Restore() { return true; }
    virtual bool Invalidate() { return true; }

    bool DeviceExistedAtRegistration() const { return deviceAtRegistration_; }

protected:
    // Leaves the registry early (an object whose resources another object now manages).
    void Unregister();

private:
    bool deviceAtRegistration_ = false;
};

// The registered objects in registration order (a snapshot).
std::vector<DeviceObject*> RegisteredDeviceObjects();
// Group calls: true only when every object answered true (every object is called).
bool RestoreDeviceObjects();
bool InvalidateDeviceObjects();

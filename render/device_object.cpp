#include "render/device_object.h"

#include "render/device_globals.h"

#include <algorithm>

namespace {
std::vector<DeviceObject*>& Registry() {
    static std::vector<DeviceObject*>* registry = new std::vector<DeviceObject*>();
    return *registry;
}
}  // namespace

DeviceObject::DeviceObject() {
    Registry().push_back(this);
    deviceAtRegistration_ = CurrentDevice() != nullptr;
}

DeviceObject::~DeviceObject() { Unregister(); }

void DeviceObject::Unregister() {
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

std::vector<DeviceObject*> RegisteredDeviceObjects() { return Registry(); }

bool RestoreDeviceObjects() {
    bool ok = true;
    for (DeviceObject* object : RegisteredDeviceObjects()) ok = object->Restore() && ok;
    return ok;
}

bool InvalidateDeviceObjects() {
    bool ok = true;
    for (DeviceObject* object : RegisteredDeviceObjects()) ok = object->Invalidate() && ok;
    return ok;
}

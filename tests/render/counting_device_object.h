#pragma once
// A device resource that counts the registry's calls; Restore answers restoreResult.

#include "render/device_object.h"

struct CountingObject : DeviceObject {
    int restores = 0;
    int invalidates = 0;
    bool restoreResult = true;
    bool Restore() override {
        ++restores;
        return restoreResult;
    }
    bool Invalidate() override {
        ++invalidates;
        return true;
    }
};

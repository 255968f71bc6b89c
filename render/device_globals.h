#pragma once
// The process-wide device and its capabilities. The device session publishes both after
// creating the device and clears the device when it is released; the render-state cache,
// the batch buffers and the textures read them here.

#include "platform/d3d9/d3d9.h"

// The device in use, or null when none exists. Not counted: the publisher keeps it alive.
IDirect3DDevice9* CurrentDevice();
void PublishDevice(IDirect3DDevice9* device);

// The capabilities read from the device after its creation (zeros before).
const D3DCAPS9& CurrentDeviceCaps();
void PublishDeviceCaps(const D3DCAPS9& caps);

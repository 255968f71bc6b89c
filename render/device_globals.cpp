#include "render/device_globals.h"

namespace {
IDirect3DDevice9* gDevice = nullptr;
D3DCAPS9 gCaps{};
}  // namespace

IDirect3DDevice9* CurrentDevice() { return gDevice; }
void PublishDevice(IDirect3DDevice9* device) { gDevice = device; }
const D3DCAPS9& CurrentDeviceCaps() { return gCaps; }
void PublishDeviceCaps(const D3DCAPS9& caps) { gCaps = caps; }

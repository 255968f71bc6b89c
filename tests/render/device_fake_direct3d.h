#pragma once
// A Direct3D object with made-up adapters, for the enumeration and device-session tests.
// Back buffers must have the bits per pixel of the adapter format; depth formats are
// checked against the adapter's list; only D3DMULTISAMPLE_NONE (one level) is offered.
// CreateDevice hands out a recording device.

#include "platform/d3d9/recording_device.h"
#include "render/device_settings.h"

#include <algorithm>
#include <vector>

struct FakeAdapter {
    std::vector<D3DDISPLAYMODE> modes;
    D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDEVTYPE> types{D3DDEVTYPE_HAL};
    DWORD devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    DWORD presentIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    std::vector<D3DFORMAT> backBuffers{D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    std::vector<D3DFORMAT> depths{D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32};
};

inline std::vector<D3DDISPLAYMODE> StandardModes(D3DFORMAT format) {
    return {{640, 480, 60, format}, {800, 600, 60, format}, {1024, 768, 60, format}, {1024, 768, 75, format},
            {1280, 1024, 60, format}};
}

class FakeDirect3D final : public IDirect3D9 {
public:
    std::vector<FakeAdapter> adapters;
    RecordingDevice* lastDevice = nullptr;  // owned by whoever created it
    D3DPRESENT_PARAMETERS lastParameters{};
    DWORD lastBehaviour = 0;
    D3DDEVTYPE lastType = D3DDEVTYPE_HAL;
    HRESULT createResult = D3D_OK;
    int* destroyed = nullptr;

    DWORD AddRef() override { return ++refs_; }
    DWORD Release() override {
        if (--refs_ == 0) {
            if (destroyed) ++*destroyed;
            delete this;
            return 0;
        }
        return refs_;
    }
    UINT GetAdapterCount() override { return UINT(adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT a, DWORD, D3DADAPTER_IDENTIFIER9* id) override {
        if (a >= adapters.size() || !id) return D3DERR_INVALIDCALL;
        *id = D3DADAPTER_IDENTIFIER9{};
        return D3D_OK;
    }
    UINT GetAdapterModeCount(UINT a, D3DFORMAT format) override {
        if (a >= adapters.size()) return 0;
        return UINT(std::count_if(adapters[a].modes.begin(), adapters[a].modes.end(),
                                  [&](const D3DDISPLAYMODE& m) { return m.Format == format; }));
    }
    HRESULT EnumAdapterModes(UINT a, D3DFORMAT format, UINT index, D3DDISPLAYMODE* out) override {
        if (a >= adapters.size()) return D3DERR_INVALIDCALL;
        for (const D3DDISPLAYMODE& m : adapters[a].modes) {
            if (m.Format != format) continue;
            if (index-- == 0) {
                *out = m;
                return D3D_OK;
            }
        }
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
        if (a >= adapters.size()) return D3DERR_INVALIDCALL;
        *mode = adapters[a].desktop;
        return D3D_OK;
    }
    HRESULT CheckDeviceType(UINT a, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBuffer, BOOL) override {
        if (!HasType(a, type)) return D3DERR_NOTAVAILABLE;
        const auto& list = adapters[a].backBuffers;
        bool ok = std::find(list.begin(), list.end(), backBuffer) != list.end() &&
                  FormatBitsPerPixel(backBuffer) == FormatBitsPerPixel(adapterFormat);
        return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceFormat(UINT a, D3DDEVTYPE type, D3DFORMAT, DWORD usage, D3DRESOURCETYPE,
                              D3DFORMAT format) override {
        if (!HasType(a, type)) return D3DERR_NOTAVAILABLE;
        const auto& list = adapters[a].depths;
        return std::find(list.begin(), list.end(), format) != list.end() ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceMultiSampleType(UINT a, D3DDEVTYPE type, D3DFORMAT, BOOL, D3DMULTISAMPLE_TYPE ms,
                                       DWORD* levels) override {
        if (!HasType(a, type) || ms != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
        if (levels) *levels = 1;
        return D3D_OK;
    }
    HRESULT CheckDepthStencilMatch(UINT a, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT, D3DFORMAT) override {
        return HasType(a, type) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE type, D3DCAPS9* caps) override {
        if (!HasType(a, type)) return D3DERR_NOTAVAILABLE;
        *caps = D3DCAPS9{};
        caps->DeviceType = type;
        caps->DevCaps = adapters[a].devCaps;
        caps->PresentationIntervals = adapters[a].presentIntervals;
        return D3D_OK;
    }
    HRESULT CreateDevice(UINT a, D3DDEVTYPE type, HWND, DWORD behaviour, D3DPRESENT_PARAMETERS* parameters,
                         IDirect3DDevice9** device) override {
        lastParameters = *parameters;
        lastBehaviour = behaviour;
        lastType = type;
        if (FAILED(createResult)) return createResult;
        lastDevice = RecordingDevice::Create();
        *device = lastDevice;
        return D3D_OK;
    }

private:
    bool HasType(UINT a, D3DDEVTYPE type) const {
        if (a >= adapters.size()) return false;
        const auto& types = adapters[a].types;
        return std::find(types.begin(), types.end(), type) != types.end();
    }
    DWORD refs_ = 1;
};

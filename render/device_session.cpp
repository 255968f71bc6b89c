#include "render/device_session.h"

#include <cstdint>

#include "render/device_globals.h"
#include "render/device_object.h"
#include "render/render_state_cache.h"

DeviceSession::~DeviceSession() {
    ReleaseDevice();
    if (d3d_ != nullptr) d3d_->Release();
    d3d_ = nullptr;
}

bool DeviceSession::Create(IDirect3D9* d3d) {
    if (d3d_ != nullptr && d3d_ != d3d) {
        ReleaseDevice();
        d3d_->Release();
    }
    d3d_ = d3d != nullptr ? d3d : Direct3DCreate9(D3D_SDK_VERSION);
    enumeration_.SetDirect3D(d3d_);
    bool ok = d3d_ != nullptr;
    if (ok) {
        d3d_->GetAdapterDisplayMode(0, &desktop_);
        ok = enumeration_.Enumerate() && enumeration_.FindBestFullscreenSettings(fullscreen_) &&
             enumeration_.FindBestWindowedSettings(windowed_);
    }
    if (!ok && d3d_ != nullptr) {
        enumeration_.Adapters().Clear();
        enumeration_.SetDirect3D(nullptr);
        d3d_->Release();
        d3d_ = nullptr;
    }
    return ok;
}

bool DeviceSession::FindSettingsForMode(DeviceSettings& settings, UINT width, UINT height, int bitsPerPixel) {
    return enumeration_.FindSettingsForMode(settings, width, height, bitsPerPixel);
}

void DeviceSession::BuildParameters(UINT clientWidth, UINT clientHeight) {
    parameters_ = BuildPresentParameters(current_, window_, clientWidth, clientHeight);
    if (backBufferOverride_ != D3DFMT_UNKNOWN) parameters_.BackBufferFormat = backBufferOverride_;
}

void DeviceSession::ReadBackBuffer() {
    backBuffer_ = D3DSURFACE_DESC{};
    IDirect3DSurface9* surface = nullptr;
    if (device_ != nullptr && SUCCEEDED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface)) &&
        surface != nullptr) {
        surface->GetDesc(&backBuffer_);
        surface->Release();
    }
}

bool DeviceSession::SelectSettings(bool fullscreen, HWND window, UINT clientWidth, UINT clientHeight) {
    ReleaseDevice();
    if (d3d_ == nullptr) return false;
    current_ = fullscreen ? fullscreen_ : windowed_;
    backBufferOverride_ = D3DFMT_UNKNOWN;
    window_ = window;
    LogDeviceReport(current_);
    if (current_.adapter == nullptr || current_.device == nullptr || current_.combo == nullptr) return false;
    BuildParameters(clientWidth, clientHeight);
    const DWORD behaviour = BehaviourFlags(current_.vertexProcessing);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d_->CreateDevice(current_.adapter->ordinal, current_.device->type, window, behaviour, &parameters_,
                                  &device)) ||
        device == nullptr)
        return false;
    if (filter_) {
        IDirect3DDevice9* used = filter_(device);
        device->Release();
        if (used == nullptr) return false;
        device = used;
    }
    device_ = device;
    PublishDevice(device_);
    ResetStateCache();
    D3DCAPS9 caps{};
    device_->GetDeviceCaps(&caps);
    PublishDeviceCaps(caps);
    behaviour_ = behaviour;
    ReadBackBuffer();
    if (RestoreAll()) restored_ = true;
    else InvalidateAll();
    return true;
}

bool DeviceSession::Reset(UINT clientWidth, UINT clientHeight) {
    if (device_ == nullptr) return false;
    if (restored_) {
        InvalidateAll();
        restored_ = false;
    }
    BuildParameters(clientWidth, clientHeight);
    if (FAILED(device_->Reset(&parameters_))) return false;
    ResetStateCache();
    ReadBackBuffer();
    if (RestoreAll()) {
        restored_ = true;
        return true;
    }
    InvalidateAll();
    return false;
}

bool DeviceSession::CheckDevice() {
    if (device_ == nullptr) return false;
    const HRESULT hr = device_->TestCooperativeLevel();
    if (hr != D3DERR_DEVICENOTRESET) return true;  // lost: presenting fails until a reset can run
    if (current_.windowed && current_.adapter != nullptr && d3d_ != nullptr) {
        D3DDISPLAYMODE mode{};
        if (SUCCEEDED(d3d_->GetAdapterDisplayMode(current_.adapter->ordinal, &mode))) {
            current_.width = mode.Width;
            current_.height = mode.Height;
            current_.refreshRate = mode.RefreshRate;
            current_.displayFormat = mode.Format;
            backBufferOverride_ = mode.Format;
        }
    }
    return Reset(parameters_.BackBufferWidth, parameters_.BackBufferHeight);
}

void DeviceSession::ReleaseDevice() {
    if (restored_) {
        InvalidateAll();
        restored_ = false;
    }
    if (device_ != nullptr) {
        if (CurrentDevice() == device_) PublishDevice(nullptr);
        device_->Release();
        device_ = nullptr;
    }
}

D3DGAMMARAMP GammaRamp(int gamma) {
    D3DGAMMARAMP ramp{};
    for (int k = 0; k < 256; ++k) {
        // 64-bit: the stored offset comes from a hand-editable file and may be any int.
        std::int64_t value = std::int64_t{gamma} * 200 + 256 * k;
        value = value < 0 ? 0 : (value > 65535 ? 65535 : value);
        ramp.red[k] = ramp.green[k] = ramp.blue[k] = WORD(value);
    }
    return ramp;
}

bool DeviceSession::ApplyGammaRamp() {
    if (device_ == nullptr) return false;
    const D3DGAMMARAMP ramp = GammaRamp(gamma_);
    device_->SetGammaRamp(0, D3DSGR_CALIBRATE, &ramp);
    return true;
}

bool DeviceSession::RestoreAll() {
    if (gammaSet_) ApplyGammaRamp();
    return restoreAll_ ? restoreAll_() : RestoreDeviceObjects();
}

bool DeviceSession::InvalidateAll() { return invalidateAll_ ? invalidateAll_() : InvalidateDeviceObjects(); }

#pragma once
// DeviceSession: the Direct3D side of the device window. It owns the Direct3D object, the
// enumeration, the full-screen, windowed and current settings and the device; creates the
// device from the chosen settings, resets it after a size change or a lost device, and
// tells the registered device objects to free (Invalidate) and rebuild (Restore) their
// Direct3D resources around every creation, reset and release. The device and its
// capabilities are published process-wide while it exists.

#include "render/device_enumeration.h"

#include <functional>

class DeviceSession {
public:
    DeviceSession() = default;
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Takes d3d (released with the session); null makes one with Direct3DCreate9. Reads the
    // desktop mode of adapter 0, enumerates and fills both default settings. On failure the
    // Direct3D object is released and the answer is false.
    bool Create(IDirect3D9* d3d = nullptr);

    bool FindSettingsForMode(DeviceSettings& settings, UINT width, UINT height, int bitsPerPixel);
    void SetFullscreenSettings(const DeviceSettings& settings) { fullscreen_ = settings; }
    // Releases any device, makes the full-screen or windowed record current, logs the device
    // report and creates the device (clientWidth/Height: the back buffer of a windowed one).
    bool SelectSettings(bool fullscreen, HWND window, UINT clientWidth, UINT clientHeight);
    // After a size change or a lost device; false when the device or a device object failed.
    bool Reset(UINT clientWidth, UINT clientHeight);
    // Once a frame before drawing: false only without a device or when a needed reset failed.
    bool CheckDevice();
    void ReleaseDevice();

    // The gamma setting (-100 ... 100) applied as the device's ramp before every Restore.
    void SetGamma(int gamma) {
        gamma_ = gamma;
        gammaSet_ = true;
    }
    bool ApplyGammaRamp();
    // The group calls around creation, reset and release: the gamma ramp (when set), then
    // the registered device objects, or the owner's own group calls when it gives them.
    bool RestoreAll();
    bool InvalidateAll();
    void SetGroupCalls(std::function<bool()> restoreAll, std::function<bool()> invalidateAll) {
        restoreAll_ = std::move(restoreAll);
        invalidateAll_ = std::move(invalidateAll);
    }

    // Tools put a device of their own between the engine and each device the session makes
    // (a recording device forwarding to it): the filter gets the made device and answers the
    // one to use, holding its own reference (null: the creation fails).
    using DeviceFilter = std::function<IDirect3DDevice9*(IDirect3DDevice9* made)>;
    void SetDeviceFilter(DeviceFilter filter) { filter_ = std::move(filter); }

    IDirect3D9* Direct3D() const { return d3d_; }
    IDirect3DDevice9* Device() const { return device_; }
    DeviceEnumeration& Enumeration() { return enumeration_; }
    const DeviceSettings& FullscreenSettings() const { return fullscreen_; }
    const DeviceSettings& WindowedSettings() const { return windowed_; }
    const DeviceSettings& CurrentSettings() const { return current_; }
    const D3DDISPLAYMODE& DesktopMode() const { return desktop_; }
    const D3DSURFACE_DESC& BackBufferDesc() const { return backBuffer_; }
    const D3DPRESENT_PARAMETERS& PresentParameters() const { return parameters_; }
    DWORD BehaviourFlagsInUse() const { return behaviour_; }
    bool ObjectsRestored() const { return restored_; }

private:
    void BuildParameters(UINT clientWidth, UINT clientHeight);
    void ReadBackBuffer();

    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    DeviceEnumeration enumeration_;
    DeviceSettings fullscreen_, windowed_, current_;
    D3DDISPLAYMODE desktop_{};
    D3DPRESENT_PARAMETERS parameters_{};
    D3DSURFACE_DESC backBuffer_{};
    D3DFORMAT backBufferOverride_ = D3DFMT_UNKNOWN;
    HWND window_ = nullptr;
    DWORD behaviour_ = 0;
    std::function<bool()> restoreAll_, invalidateAll_;
    DeviceFilter filter_;
    bool restored_ = false;
    bool gammaSet_ = false;
    int gamma_ = 0;
};

// The ramp for a gamma setting: entry k is gamma * 200 + 256 * k, clamped to 0 ... 65535.
D3DGAMMARAMP GammaRamp(int gamma);

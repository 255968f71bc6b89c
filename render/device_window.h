#pragma once
// The device window: the one window of the program with its message handling, the
// registries of device resources and message listeners, and (from the Direct3D side)
// the device. Exactly one instance exists at a time; the static window procedure forwards
// every message to its HandleMessage.
//
// The device side lives in a DeviceSession: SelectSettings, ReleaseDevice, CheckDevice,
// Present and SwitchToFullscreen call into it, and it calls RestoreAll / InvalidateAll
// (virtual, so the application can add to them) around every creation, reset and release:
// the registered device objects of device_object.h.

#include "core/object.h"
#include "platform/win/messages.h"
#include "render/device_session.h"

#include <vector>

// Any object that hears the window's messages before the window handles them.
class MessageListener : public virtual Object {
public:
    virtual void OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

struct ClientArea {
    int x, y, width, height;
};

// The layout scale of the overlays: client width / 1024, set during start-up.
float ScreenScale();
void SetScreenScale(float scale);

struct DesktopMode {
    int width, height;
};

class DeviceWindow : public virtual Object {
public:
    DeviceWindow();
    ~DeviceWindow() override;
    DeviceWindow(const DeviceWindow&) = delete;
    DeviceWindow& operator=(const DeviceWindow&) = delete;

    // The live instance (null when none).
    static DeviceWindow* Instance();
    // The window procedure of every window class the program registers.
    static LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Stores both handles; with no window, registers "Vantor Class" and creates an
    // overlapped window for the default client size. Reads and keeps the style and the
    // rectangles, makes the Direct3D object, enumerates and fills both default settings;
    // no device yet (SelectSettings makes it). False when there is no window or no Direct3D.
    virtual bool Create(HINSTANCE instance, HWND window);

    bool RegisterListener(MessageListener* listener);
    void UnregisterListener(MessageListener* listener);

    // The message handler; derived classes pass what they do not consume to WindowProc.
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Listeners first, then the window's own handling (size, activation, close ...).
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool IsWindowed() const { return windowed_; }
    // Windowed: the client rectangle; full screen: {0, 0, full-screen width, height}.
    ClientArea GetClientArea() const;
    DesktopMode GetDesktopMode() const { return desktopMode_; }
    HWND GetWindow() const { return window_; }
    HINSTANCE GetInstance() const { return instance_; }
    bool IsActive() const { return active_; }
    bool IsSuspended() const { return suspended_; }
    bool IsMinimised() const { return minimised_; }
    bool IsMaximised() const { return maximised_; }
    bool IsClosing() const { return closing_; }
    void SetIgnoreSizeChanges(bool ignore) { ignoreSizeChanges_ = ignore; }

    // Device. SelectSettings releases any device, re-applies the style kept at creation and
    // makes the device from the full-screen or windowed settings; a windowed one then shows
    // the window at its rectangle, not topmost. Marks the window active and not suspended.
    virtual bool SelectSettings(bool fullscreen);
    virtual void ReleaseDevice();
    bool HasDevice() const { return hasDevice_; }
    // True when the device can draw now.
    virtual bool CheckDevice();
    // Shows the frame; the virtual clock moves on one step.
    virtual bool Present();
    // Makes the window cover the screen: the desktop's mode for width or height 0,
    // otherwise the closest mode to width x height; then SelectSettings(true) makes the
    // device in that mode (the desktop mode when no adapter offers width x height at
    // bitsPerPixel).
    virtual bool SwitchToFullscreen(int width, int height, int bitsPerPixel = 32);
    // Clears the back buffer and depth buffer (depth 1, stencil 0); false without a device.
    bool ClearFrame(D3DCOLOR colour);
    DeviceSession& Session() { return session_; }
    IDirect3DDevice9* Device() const { return session_.Device(); }
    // The group calls over every registered device object: true only when all answered true.
    virtual bool RestoreAll();
    virtual bool InvalidateAll();

protected:
    void SetActive(bool active) { active_ = active; }
    void SetWindowHandle(HWND window) { window_ = window; }
    void SetInstanceHandle(HINSTANCE instance) { instance_ = instance; }
    // Re-reads the rectangles; when the client size changed, the device is reset.
    void HandleSizeChange();
    void ReadWindowGeometry();

    const char* title_ = "Frostvale 3D ScreenSaver";
    int defaultWidth_ = 640;
    int defaultHeight_ = 480;

private:
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    DWORD style_ = 0;
    DWORD savedStyle_ = 0;  // the style at creation, re-applied by SelectSettings
    RECT windowRect_{};
    RECT clientRect_{};
    bool windowed_ = true;
    bool active_ = false;
    bool suspended_ = true;
    bool minimised_ = false;
    bool maximised_ = false;
    bool closing_ = false;
    bool ignoreSizeChanges_ = false;
    bool hasDevice_ = false;
    int fullscreenWidth_ = 0;
    int fullscreenHeight_ = 0;
    DesktopMode desktopMode_{0, 0};
    DeviceSession session_;
    std::vector<MessageListener*> listeners_;
};

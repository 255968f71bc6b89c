#include "render/device_window.h"

#include "core/clock.h"
#include "platform/win/cursor.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "render/device_object.h"

#include <algorithm>

namespace {

DeviceWindow* gInstance = nullptr;
float gScreenScale = 1.0f;

template <class T>
bool AddOnce(std::vector<T*>& list, T* item) {
    if (!item) return false;
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
    return true;
}

template <class T>
void Remove(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

float ScreenScale() { return gScreenScale; }
void SetScreenScale(float scale) { gScreenScale = scale; }

DeviceWindow::DeviceWindow() {
    gInstance = this;
    session_.SetGroupCalls([this] { return RestoreAll(); }, [this] { return InvalidateAll(); });
}

DeviceWindow::~DeviceWindow() {
    // The device goes before the window object: registered objects are told while the
    // derived parts still exist only through this base.
    session_.SetGroupCalls(nullptr, nullptr);
    session_.ReleaseDevice();
    if (gInstance == this) gInstance = nullptr;
}

DeviceWindow* DeviceWindow::Instance() { return gInstance; }

LRESULT DeviceWindow::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gInstance) return DefWindowProcA(window, message, wParam, lParam);
    // The device draws into this window: it goes while the window still exists, whatever
    // the handler makes of the message.
    if (message == WM_DESTROY && window == gInstance->window_) gInstance->ReleaseDevice();
    return gInstance->HandleMessage(window, message, wParam, lParam);
}

bool DeviceWindow::Create(HINSTANCE instance, HWND window) {
    instance_ = instance;
    window_ = window;
    if (!window_) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &DeviceWindow::StaticWindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetStockObject(BLACK_BRUSH);
        windowClass.lpszClassName = "Vantor Class";
        RegisterClassA(&windowClass);  // a second Create finds the class registered
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        RECT outer{0, 0, defaultWidth_, defaultHeight_};
        AdjustWindowRect(&outer, style, TRUE);
        window_ = CreateWindowExA(0, "Vantor Class", title_, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance,
                                  nullptr);
        if (!window_) return false;
    }
    ReadWindowGeometry();
    savedStyle_ = style_;
    desktopMode_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return session_.Create();
}

void DeviceWindow::ReadWindowGeometry() {
    style_ = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    GetWindowRect(window_, &windowRect_);
    GetClientRect(window_, &clientRect_);
}

bool DeviceWindow::RegisterListener(MessageListener* listener) { return AddOnce(listeners_, listener); }

void DeviceWindow::UnregisterListener(MessageListener* listener) { Remove(listeners_, listener); }

LRESULT DeviceWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(window, message, wParam, lParam);
}

LRESULT DeviceWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A listener may unregister itself (or others) while it hears the message.
    for (MessageListener* listener : std::vector<MessageListener*>(listeners_))
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->OnMessage(window, message, wParam, lParam);

    switch (message) {
        case WM_SIZE:
            if (windowed_) style_ = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
            if (wParam == SIZE_MINIMIZED) {
                suspended_ = true;
                minimised_ = true;
                maximised_ = false;
            } else if (wParam == SIZE_MAXIMIZED) {
                if (minimised_) suspended_ = false;
                minimised_ = false;
                maximised_ = true;
                HandleSizeChange();
            } else if (wParam == SIZE_RESTORED) {
                if (maximised_) {
                    maximised_ = false;
                    HandleSizeChange();
                } else if (minimised_) {
                    suspended_ = false;
                    minimised_ = false;
                    HandleSizeChange();
                }
            }
            break;
        case WM_ACTIVATE:
            active_ = LOWORD(wParam) != 0;
            break;
        case WM_CLOSE:
            ReleaseDevice();
            closing_ = true;
            PostQuitMessage(0);
            return 0;
        case WM_QUIT:
            ReleaseDevice();
            closing_ = true;
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_SIZE || wParam == SC_MOVE || wParam == SC_MAXIMIZE || wParam == SC_KEYMENU ||
                wParam == SC_MONITORPOWER) {
                if (!windowed_) return 1;
            }
            break;
        case WM_NCHITTEST:
            if (!windowed_) return HTCLIENT;
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) return 1;
            break;
        case WM_ENTERSIZEMOVE:
            suspended_ = true;
            break;
        case WM_EXITSIZEMOVE:
            suspended_ = false;
            HandleSizeChange();
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DeviceWindow::HandleSizeChange() {
    if (ignoreSizeChanges_ || !window_) return;
    const RECT old = clientRect_;
    ReadWindowGeometry();
    if (old.right - old.left == clientRect_.right - clientRect_.left &&
        old.bottom - old.top == clientRect_.bottom - clientRect_.top)
        return;
    if (hasDevice_ && windowed_) {
        const ClientArea area = GetClientArea();
        session_.Reset(UINT(area.width), UINT(area.height));
    }
}

ClientArea DeviceWindow::GetClientArea() const {
    if (windowed_)
        return {clientRect_.left, clientRect_.top, clientRect_.right - clientRect_.left,
                clientRect_.bottom - clientRect_.top};
    return {0, 0, fullscreenWidth_, fullscreenHeight_};
}

bool DeviceWindow::SelectSettings(bool fullscreen) {
    if (!window_) return false;
    ReleaseDevice();
    windowed_ = !fullscreen;
    SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(savedStyle_));
    const ClientArea area = GetClientArea();
    hasDevice_ = session_.SelectSettings(fullscreen, window_, UINT(area.width), UINT(area.height));
    if (!hasDevice_) return false;
    if (windowed_)
        SetWindowPos(window_, HWND_NOTOPMOST, windowRect_.left, windowRect_.top, windowRect_.right - windowRect_.left,
                     windowRect_.bottom - windowRect_.top, SWP_SHOWWINDOW);
    active_ = true;
    suspended_ = false;
    return true;
}

void DeviceWindow::ReleaseDevice() {
    if (!hasDevice_) return;
    session_.ReleaseDevice();
    hasDevice_ = false;
}

bool DeviceWindow::CheckDevice() { return hasDevice_ && !closing_ && IsWindow(window_) && session_.CheckDevice(); }

bool DeviceWindow::ClearFrame(D3DCOLOR colour) {
    IDirect3DDevice9* device = session_.Device();
    return device != nullptr &&
           SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0));
}

bool DeviceWindow::Present() {
    IDirect3DDevice9* device = session_.Device();
    if (!hasDevice_ || device == nullptr) return false;
    const bool shown = SUCCEEDED(device->Present(nullptr, nullptr, nullptr, nullptr));
    AdvanceVirtualClock();
    return shown;
}

bool DeviceWindow::SwitchToFullscreen(int width, int height, int bitsPerPixel) {
    if (!window_ || !SetWindowFullscreen(window_, width, height)) return false;
    // The size the display took is read back from the window.
    MSG msg;
    while (PeekMessageA(&msg, window_, WM_SIZE, WM_SIZE, PM_REMOVE)) DispatchMessageA(&msg);
    ReadWindowGeometry();
    windowed_ = false;
    fullscreenWidth_ = clientRect_.right - clientRect_.left;
    fullscreenHeight_ = clientRect_.bottom - clientRect_.top;
    DeviceSettings settings;
    if (width > 0 && height > 0 && session_.FindSettingsForMode(settings, UINT(width), UINT(height), bitsPerPixel))
        session_.SetFullscreenSettings(settings);
    return SelectSettings(true);
}

bool DeviceWindow::RestoreAll() { return RestoreDeviceObjects(); }

bool DeviceWindow::InvalidateAll() { return InvalidateDeviceObjects(); }

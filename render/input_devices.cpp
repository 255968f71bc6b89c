#include "render/input_devices.h"

#include "platform/dinput/dinput.h"
#include "platform/win/cursor.h"
#include "platform/win/sync.h"

#include <algorithm>

namespace {

constexpr DWORD kBufferRecords = 64;

template <class T>
void ReleaseInterface(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// Sets up one device; false on the first call that fails.
bool SetUpDevice(IDirectInput8A* input, REFGUID which, const DIDATAFORMAT* format, HWND window, DWORD flags,
                 IDirectInputDevice8A*& device, HANDLE& event) {
    if (FAILED(input->CreateDevice(which, &device, nullptr))) return false;
    if (FAILED(device->SetDataFormat(format))) return false;
    if (FAILED(device->SetCooperativeLevel(window, flags))) return false;
    DIPROPDWORD buffer{};
    buffer.diph.dwSize = sizeof(DIPROPDWORD);
    buffer.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    buffer.diph.dwObj = 0;
    buffer.diph.dwHow = DIPH_DEVICE;
    buffer.dwData = kBufferRecords;
    if (FAILED(device->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph))) return false;
    event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!event) return false;
    return SUCCEEDED(device->SetEventNotification(event));
}

// Reads the buffered records, re-acquiring once when the input was lost.
bool ReadRecords(IDirectInputDevice8A* device, DIDEVICEOBJECTDATA* records, DWORD& count) {
    count = kBufferRecords;
    HRESULT hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0);
    if (hr == DIERR_INPUTLOST) {
        device->Acquire();
        count = kBufferRecords;
        hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0);
    }
    return SUCCEEDED(hr);
}

}  // namespace

InputDevices::InputDevices(DeviceWindow* window)
    : deviceWindow_(window ? window : DeviceWindow::Instance()) {}

InputDevices::~InputDevices() { Stop(); }

bool InputDevices::Start(bool useSystemCursor, std::uint32_t keyboardFlags, std::uint32_t mouseFlags) {
    Stop();
    if (!deviceWindow_) return false;
    if (!deviceWindow_->HasDevice() || !deviceWindow_->RegisterListener(this)) return false;

    window_ = deviceWindow_->GetWindow();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    client_ = deviceWindow_->GetClientArea();
    useSystemCursor_ = useSystemCursor;

    if (!input_) {
        void* created = nullptr;
        if (FAILED(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr)))
            return false;
        input_ = static_cast<IDirectInput8A*>(created);
    }
    if (!SetUpDevice(input_, GUID_SysKeyboard, &c_dfDIKeyboard, window_, keyboardFlags, keyboard_, keyboardEvent_))
        return false;
    if (!SetUpDevice(input_, GUID_SysMouse, &c_dfDIMouse, window_, mouseFlags, mouse_, mouseEvent_)) return false;
    if (FAILED(keyboard_->Acquire())) return false;
    if (FAILED(mouse_->Acquire())) return false;
    return true;
}

void InputDevices::Stop() {
    for (IDirectInputDevice8A** device : {&keyboard_, &mouse_})
        if (*device) (*device)->Unacquire();
    ReleaseInterface(keyboard_);
    ReleaseInterface(mouse_);
    ReleaseInterface(input_);
    for (HANDLE* event : {&keyboardEvent_, &mouseEvent_}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
    if (deviceWindow_ && DeviceWindow::Instance() == deviceWindow_) deviceWindow_->UnregisterListener(this);
}

void InputDevices::Poll() {
    if (!keyboard_ || !mouse_) return;
    const HANDLE events[2] = {keyboardEvent_, mouseEvent_};
    const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, 0);
    if (signalled == WAIT_OBJECT_0)
        ReadKeyboard();
    else if (signalled == WAIT_OBJECT_0 + 1)
        ReadMouse();
}

void InputDevices::ReadKeyboard() {
    DIDEVICEOBJECTDATA records[kBufferRecords];
    DWORD count = 0;
    if (!ReadRecords(keyboard_, records, count)) return;
    for (DWORD i = 0; i < count; ++i) {
        const DWORD code = records[i].dwOfs;
        if (code >= 256) continue;
        const bool down = (records[i].dwData & 0x80) != 0;
        keys_[code] = down ? 0x80 : 0;
        Send(down ? kInputKeyDown : kInputKeyUp, x_, y_, 0, 0, static_cast<int>(code));
    }
}

void InputDevices::ReadMouse() {
    DIDEVICEOBJECTDATA records[kBufferRecords];
    DWORD count = 0;
    if (!ReadRecords(mouse_, records, count)) return;
    const float previousX = x_, previousY = y_;
    UpdateCursor();
    bool moveSent = false;
    for (DWORD i = 0; i < count; ++i) {
        const DIDEVICEOBJECTDATA& record = records[i];
        const bool pressed = (record.dwData & 0x80) != 0;
        switch (record.dwOfs) {
            case DIMOFS_X:
            case DIMOFS_Y:
                if (!useSystemCursor_ && !moveSent) {
                    Send(kInputMouseMove, previousX, previousY, static_cast<float>(mouseState_[0]),
                         static_cast<float>(mouseState_[1]));
                    moveSent = true;
                }
                break;
            case DIMOFS_BUTTON0:
                if (pressed)
                    Send(kInputLeftDown);
                else
                    Release(kInputLeftDown, left_, record.dwTimeStamp);
                break;
            case DIMOFS_BUTTON1:
                if (pressed)
                    Send(kInputRightDown);
                else
                    Release(kInputRightDown, right_, record.dwTimeStamp);
                break;
            default:
                break;
        }
    }
}

void InputDevices::Release(int pressedType, ClickTracker& clicks, std::uint32_t timeStamp) {
    Send(pressedType + 1);
    if (clicks.count == 0) {
        clicks.count = 1;
        clicks.firstRelease = timeStamp;
        return;
    }
    // Unsigned difference: correct across the 32-bit wrap of the time stamps.
    if (timeStamp - clicks.firstRelease < kDoubleClickMs) {
        Send(pressedType + 2);
        clicks.count = 0;
    } else {
        clicks.firstRelease = timeStamp;
    }
}

bool InputDevices::Windowed() const { return deviceWindow_ && deviceWindow_->IsWindowed(); }

void InputDevices::UpdateCursor() {
    if (Windowed() || useSystemCursor_) {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window_, &point);
        x_ = static_cast<float>(point.x);
        y_ = static_cast<float>(point.y);
    } else if (mouse_) {
        DIMOUSESTATE state{};
        HRESULT hr = mouse_->GetDeviceState(sizeof state, &state);
        if (hr == DIERR_INPUTLOST) {
            mouse_->Acquire();
            hr = mouse_->GetDeviceState(sizeof state, &state);
        }
        if (SUCCEEDED(hr)) {
            mouseState_[0] = state.lX;
            mouseState_[1] = state.lY;
            mouseState_[2] = state.lZ;
            std::copy(state.rgbButtons, state.rgbButtons + 4, mouseButtons_);
            x_ += static_cast<float>(state.lX) / sensitivity_;
            y_ += static_cast<float>(state.lY) / sensitivity_;
        }
    }
    ClampCursor();
}

void InputDevices::ClampCursor() {
    x_ = std::max(0.0f, std::min(x_, static_cast<float>(client_.width - 1)));
    y_ = std::max(0.0f, std::min(y_, static_cast<float>(client_.height - 1)));
}

void InputDevices::Update(std::int64_t intervalMs) {
    if (!pollStopwatch_.ElapsedAtLeast(intervalMs)) return;
    UpdateCursor();
    if (keyboard_) {
        HRESULT hr = keyboard_->GetDeviceState(sizeof keys_, keys_);
        if (hr == DIERR_INPUTLOST) {
            keyboard_->Acquire();
            keyboard_->GetDeviceState(sizeof keys_, keys_);
        }
    }
    pollStopwatch_.Restart();
}

bool InputDevices::IsLeftButtonDown() const {
    if (Windowed() || useSystemCursor_) return GetAsyncKeyState(VK_LBUTTON) < 0;
    return (mouseButtons_[0] & 0x80) != 0;
}

bool InputDevices::IsRightButtonDown() const {
    if (Windowed() || useSystemCursor_) return GetAsyncKeyState(VK_RBUTTON) < 0;
    return (mouseButtons_[1] & 0x80) != 0;
}

void InputDevices::AddListener(InputListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void InputDevices::RemoveListener(InputListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void InputDevices::OnMessage(HWND, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            if (keyboard_) keyboard_->Acquire();
            if (mouse_) mouse_->Acquire();
            focused_ = true;
            Send(kInputFocusGained);
            break;
        case WM_KILLFOCUS:
            focused_ = false;
            if (keyboard_) keyboard_->Unacquire();
            if (mouse_) mouse_->Unacquire();
            break;
        case WM_SETCURSOR:
            SetCursor((Windowed() || useSystemCursor_) ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
            break;
        case WM_MOUSEMOVE: {
            const float previousX = x_, previousY = y_;
            x_ = static_cast<float>(GET_X_LPARAM(lParam));
            y_ = static_cast<float>(GET_Y_LPARAM(lParam));
            ClampCursor();
            Send(kInputMouseMove, previousX, previousY, x_ - previousX, y_ - previousY);
            break;
        }
        default:
            break;
    }
}

bool InputDevices::Restore() {
    if (deviceWindow_) client_ = deviceWindow_->GetClientArea();
    return true;
}

void InputDevices::Send(int type, float previousX, float previousY, float dx, float dy, int extra) {
    for (InputListener* listener : std::vector<InputListener*>(listeners_))
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->OnInput(type, x_, y_, previousX, previousY, dx, dy, extra);
}

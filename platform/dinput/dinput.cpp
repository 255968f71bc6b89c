#include "platform/dinput/dinput.h"

#include "core/clock.h"
#include "platform/win/raw_input.h"
#include "platform/win/sync.h"
#include "platform/win/window.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID DIPROP_BUFFERSIZE = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {24, 16, 0x2, sizeof(DIMOUSESTATE), 7, nullptr};

namespace {

class Device;
std::vector<Device*> gDevices;
void Hear(const RawInput& input);

// More records than this are never kept, whatever the buffer size asked for.
constexpr DWORD kMaxBuffer = 1024;

class Device final : public IDirectInputDevice8A {
public:
    explicit Device(bool keyboard) : keyboard_(keyboard) {
        gDevices.push_back(this);
        SetRawInputSink(&Hear);
    }

    DWORD Release() override {
        if (--uses_ > 0) return static_cast<DWORD>(uses_);
        gDevices.erase(std::remove(gDevices.begin(), gDevices.end(), this), gDevices.end());
        if (gDevices.empty()) SetRawInputSink(nullptr);
        delete this;
        return 0;
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override {
        if (acquired_) return DIERR_ACQUIRED;
        if (format != (keyboard_ ? &c_dfDIKeyboard : &c_dfDIMouse)) return DIERR_INVALIDPARAM;
        format_ = format;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        const bool oneAccess = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
        const bool oneScope = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
        if (!oneAccess || !oneScope || !IsWindow(window)) return DIERR_INVALIDPARAM;
        if (acquired_) return DIERR_ACQUIRED;
        window_ = window;
        flags_ = flags;
        return DI_OK;
    }

    HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) override {
        if (!(property == DIPROP_BUFFERSIZE)) return DIERR_UNSUPPORTED;
        if (!header || header->dwSize != sizeof(DIPROPDWORD) || header->dwHeaderSize != sizeof(DIPROPHEADER) ||
            header->dwHow != DIPH_DEVICE || header->dwObj != 0)
            return DIERR_INVALIDPARAM;
        if (acquired_) return DIERR_ACQUIRED;
        DIPROPDWORD value;
        std::memcpy(&value, header, sizeof value);
        bufferSize_ = std::min(value.dwData, kMaxBuffer);
        while (buffer_.size() > bufferSize_) buffer_.pop_back();
        return DI_OK;
    }

    HRESULT SetEventNotification(HANDLE event) override {
        if (acquired_) return DIERR_ACQUIRED;
        event_ = event;
        return DI_OK;
    }

    HRESULT Acquire() override {
        if (!format_ || !window_) return DIERR_INVALIDPARAM;
        if (Foreground() && !Focused()) return DIERR_OTHERAPPHASPRIO;
        lost_ = false;
        if (acquired_) return DI_NOEFFECT;
        acquired_ = true;
        return DI_OK;
    }

    HRESULT Unacquire() override {
        if (!acquired_) return DI_NOEFFECT;
        acquired_ = false;
        return DI_OK;
    }

    HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count, DWORD flags) override {
        if (const HRESULT hr = ReadyToRead(); FAILED(hr)) return hr;
        if (!count || recordSize != sizeof(DIDEVICEOBJECTDATA)) return DIERR_INVALIDPARAM;
        const DWORD n = std::min<DWORD>(*count, static_cast<DWORD>(buffer_.size()));
        if (records) std::copy(buffer_.begin(), buffer_.begin() + n, records);
        if (!(flags & DIGDD_PEEK)) buffer_.erase(buffer_.begin(), buffer_.begin() + n);
        *count = n;
        const bool overflow = overflow_;
        if (!(flags & DIGDD_PEEK)) overflow_ = false;
        return overflow ? DI_BUFFEROVERFLOW : DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* state) override {
        if (const HRESULT hr = ReadyToRead(); FAILED(hr)) return hr;
        if (!state) return DIERR_INVALIDPARAM;
        if (keyboard_) {
            if (size != sizeof keys_) return DIERR_INVALIDPARAM;
            std::memcpy(state, keys_, sizeof keys_);
        } else {
            if (size != sizeof(DIMOUSESTATE)) return DIERR_INVALIDPARAM;
            std::memcpy(state, &mouse_, sizeof mouse_);
            // Axes are relative: each state read reports the motion since the last one.
            mouse_.lX = mouse_.lY = mouse_.lZ = 0;
        }
        return DI_OK;
    }

    void Take(const RawInput& input) {
        CheckFocus();
        if (!acquired_ || (Foreground() && !Focused())) return;
        if (keyboard_) {
            if (input.kind != RawInput::Key || input.code <= 0 || input.code > 255) return;
            // Only changes of state are recorded: a key pressed again while down adds nothing.
            if ((keys_[input.code] != 0) == input.down) return;
            keys_[input.code] = input.down ? 0x80 : 0;
            Add(static_cast<DWORD>(input.code), input.down ? 0x80 : 0);
            return;
        }
        switch (input.kind) {
            case RawInput::Motion:
                mouse_.lX += input.dx;
                mouse_.lY += input.dy;
                if (input.dx) Add(DIMOFS_X, static_cast<DWORD>(input.dx));
                if (input.dy) Add(DIMOFS_Y, static_cast<DWORD>(input.dy));
                break;
            case RawInput::Button:
                if (input.code < 0 || input.code > 3) break;
                if ((mouse_.rgbButtons[input.code] != 0) == input.down) break;
                mouse_.rgbButtons[input.code] = input.down ? 0x80 : 0;
                Add(DIMOFS_BUTTON0 + static_cast<DWORD>(input.code), input.down ? 0x80 : 0);
                break;
            case RawInput::Wheel:
                mouse_.lZ += input.dy;
                Add(DIMOFS_Z, static_cast<DWORD>(input.dy));
                break;
            default:
                break;
        }
    }

private:
    ~Device() override = default;

    bool Foreground() const { return (flags_ & DISCL_FOREGROUND) != 0; }
    bool Focused() const { return window_ && (GetFocus() == window_ || GetForegroundWindow() == window_); }

    // A foreground device loses its acquisition (and the held keys and buttons) with the focus.
    void CheckFocus() {
        if (!acquired_ || !Foreground() || Focused()) return;
        acquired_ = false;
        lost_ = true;
        std::memset(keys_, 0, sizeof keys_);
        std::memset(mouse_.rgbButtons, 0, sizeof mouse_.rgbButtons);
    }

    HRESULT ReadyToRead() {
        CheckFocus();
        if (lost_) {
            lost_ = false;
            return DIERR_INPUTLOST;
        }
        return acquired_ ? DI_OK : DIERR_NOTACQUIRED;
    }

    void Add(DWORD offset, DWORD data) {
        if (buffer_.size() >= bufferSize_) {
            if (bufferSize_) overflow_ = true;
            return;
        }
        buffer_.push_back({offset, data, static_cast<DWORD>(NowMilliseconds()), ++sequence_, 0});
        if (event_) SetEvent(event_);
    }

    bool keyboard_;
    int uses_ = 1;
    const DIDATAFORMAT* format_ = nullptr;
    HWND window_ = nullptr;
    DWORD flags_ = 0;
    DWORD bufferSize_ = 0;
    HANDLE event_ = nullptr;
    bool acquired_ = false;
    bool lost_ = false;
    bool overflow_ = false;
    DWORD sequence_ = 0;
    std::deque<DIDEVICEOBJECTDATA> buffer_;
    BYTE keys_[256] = {};
    DIMOUSESTATE mouse_ = {};
};

void Hear(const RawInput& input) {
    for (Device* device : std::vector<Device*>(gDevices)) device->Take(input);
}

class DirectInput final : public IDirectInput8A {
public:
    DWORD Release() override {
        if (--uses_ > 0) return static_cast<DWORD>(uses_);
        delete this;
        return 0;
    }

    HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** out, void* outer) override {
        if (!out || outer) return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (device == GUID_SysKeyboard)
            *out = new Device(true);
        else if (device == GUID_SysMouse)
            *out = new Device(false);
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
    int uses_ = 1;
};

}  // namespace

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, void** out, void* outer) {
    if (!out || outer) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (version != DIRECTINPUT_VERSION || !(iid == IID_IDirectInput8A)) return DIERR_INVALIDPARAM;
    *out = static_cast<IDirectInput8A*>(new DirectInput());
    return DI_OK;
}

int DirectInputDeviceCount() { return static_cast<int>(gDevices.size()); }

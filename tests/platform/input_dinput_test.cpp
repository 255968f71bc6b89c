// DirectInput devices filled from the window's input: records, state, notification,
// acquisition and its loss with the focus.

#include "core/clock.h"
#include "platform/dinput/dinput.h"
#include "platform/win/input_injection.h"
#include "platform/win/sync.h"
#include "platform/win/system.h"
#include "tests/platform/window_test_support.h"

#include <gtest/gtest.h>

namespace {

class DirectInputDevices : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(5000, 0.0);
        window_ = CreateWindowExA(0, RecordingClass(), "dinput", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(GetFocus(), window_);
        void* created = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr), DI_OK);
        input_ = static_cast<IDirectInput8A*>(created);
        keyboard_ = MakeDevice(GUID_SysKeyboard, &c_dfDIKeyboard, keyboardEvent_);
        mouse_ = MakeDevice(GUID_SysMouse, &c_dfDIMouse, mouseEvent_);
        PumpAll();
    }
    void TearDown() override {
        if (keyboard_) keyboard_->Release();
        if (mouse_) mouse_->Release();
        if (input_) input_->Release();
        CloseHandle(keyboardEvent_);
        CloseHandle(mouseEvent_);
        DestroyWindow(window_);
        ResetMessageQueue();
        UseMonotonicClock();
    }

    IDirectInputDevice8A* MakeDevice(REFGUID which, const DIDATAFORMAT* format, HANDLE& event) {
        IDirectInputDevice8A* device = nullptr;
        EXPECT_EQ(input_->CreateDevice(which, &device, nullptr), DI_OK);
        EXPECT_EQ(device->SetDataFormat(format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        DIPROPDWORD size{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 4};
        EXPECT_EQ(device->SetProperty(DIPROP_BUFFERSIZE, &size.diph), DI_OK);
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        EXPECT_EQ(device->SetEventNotification(event), DI_OK);
        EXPECT_EQ(device->Acquire(), DI_OK);
        return device;
    }

    std::vector<DIDEVICEOBJECTDATA> Read(IDirectInputDevice8A* device, HRESULT* result = nullptr) {
        DIDEVICEOBJECTDATA records[16];
        DWORD count = 16;
        const HRESULT hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0);
        if (result) *result = hr;
        if (FAILED(hr)) return {};
        return std::vector<DIDEVICEOBJECTDATA>(records, records + count);
    }

    HWND window_ = nullptr;
    IDirectInput8A* input_ = nullptr;
    IDirectInputDevice8A* keyboard_ = nullptr;
    IDirectInputDevice8A* mouse_ = nullptr;
    HANDLE keyboardEvent_ = nullptr;
    HANDLE mouseEvent_ = nullptr;
};

}  // namespace

TEST_F(DirectInputDevices, KeyRecordsCarryCodeStateAndTime) {
    SetVirtualTime(6000);
    InjectKey(window_, VK_ESCAPE, true);
    InjectKey(window_, VK_F3, true);
    PumpAll();
    SetVirtualTime(6250);
    InjectKey(window_, VK_ESCAPE, false);
    PumpAll();
    const HANDLE events[2] = {keyboardEvent_, mouseEvent_};
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);  // auto-reset
    const auto records = Read(keyboard_);
    ASSERT_EQ(records.size(), 3u);
    const DWORD expected[3][3] = {{DIK_ESCAPE, 0x80, 6000}, {DIK_F3, 0x80, 6000}, {DIK_ESCAPE, 0, 6250}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].dwOfs, expected[i][0]);
        EXPECT_EQ(records[i].dwData, expected[i][1]);
        EXPECT_EQ(records[i].dwTimeStamp, expected[i][2]);
    }
    BYTE state[256];
    ASSERT_EQ(keyboard_->GetDeviceState(sizeof state, state), DI_OK);
    EXPECT_EQ(state[DIK_F3], 0x80);
    EXPECT_EQ(state[DIK_ESCAPE], 0);
    EXPECT_TRUE(Read(mouse_).empty());
}

TEST_F(DirectInputDevices, SyntheticKeyInputReachesTheKeyboardAndTheWindow) {
    keybd_event(VK_F3, 0, 0, 0);
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F3;
    EXPECT_EQ(SendInput(1, &key, sizeof key), 1u);
    const auto messages = PumpAll();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(VK_F3));
    EXPECT_EQ((messages[1].lParam >> 30) & 1, 1);  // the key was down already
    // The device records changes of state only: one record for two presses.
    EXPECT_EQ(Read(keyboard_).size(), 1u);
}

TEST_F(DirectInputDevices, MouseRecordsAndRelativeState) {
    InjectMouseMove(window_, 10, 10, 5, -3);
    InjectMouseButton(window_, 0, true, 10, 10);
    InjectMouseButton(window_, 1, false, 10, 10);  // not down: no change, no record
    InjectMouseButton(window_, 1, true, 10, 10);
    PumpAll();
    const auto records = Read(mouse_);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].dwOfs, DIMOFS_X);
    EXPECT_EQ(static_cast<LONG>(records[0].dwData), 5);
    EXPECT_EQ(records[1].dwOfs, DIMOFS_Y);
    EXPECT_EQ(static_cast<LONG>(records[1].dwData), -3);
    EXPECT_EQ(records[2].dwOfs, DIMOFS_BUTTON0);
    EXPECT_EQ(records[2].dwData, 0x80u);
    EXPECT_EQ(records[3].dwOfs, DIMOFS_BUTTON1);
    EXPECT_EQ(records[3].dwData, 0x80u);
    DIMOUSESTATE state{};
    ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 5);
    EXPECT_EQ(state.lY, -3);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);  // motion is reported once
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    InjectMouseButton(window_, 0, false, 10, 10);
    InjectMouseButton(window_, 1, false, 10, 10);
    PumpAll();
}

TEST_F(DirectInputDevices, BufferKeepsItsSizeAndReportsOverflow) {
    for (int i = 0; i < 6; ++i) InjectKey(window_, 'A', i % 2 == 0);
    PumpAll();
    HRESULT hr = DI_OK;
    EXPECT_EQ(Read(keyboard_, &hr).size(), 4u);
    EXPECT_EQ(hr, DI_BUFFEROVERFLOW);
    EXPECT_TRUE(Read(keyboard_, &hr).empty());
    EXPECT_EQ(hr, DI_OK);
}

TEST_F(DirectInputDevices, FocusLossLosesTheInput) {
    InjectWindowEvent(window_, InjectedWindowEvent::FocusLost);
    InjectKey(window_, 'A', true);
    const auto messages = PumpAll();
    EXPECT_EQ(GetFocus(), nullptr);
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(messages[0].wParam, WA_INACTIVE);
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_KILLFOCUS));
    HRESULT hr = DI_OK;
    Read(keyboard_, &hr);
    EXPECT_EQ(hr, DIERR_INPUTLOST);
    Read(keyboard_, &hr);
    EXPECT_EQ(hr, DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard_->Acquire(), DIERR_OTHERAPPHASPRIO);

    InjectWindowEvent(window_, InjectedWindowEvent::FocusGained);
    const auto regained = PumpAll();
    ASSERT_EQ(regained.size(), 2u);
    EXPECT_EQ(regained[0].message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(regained[0].wParam, WA_ACTIVE);
    EXPECT_EQ(regained[1].message, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(keyboard_->Acquire(), DI_OK);
    EXPECT_TRUE(Read(keyboard_, &hr).empty());  // the key pressed while away is not heard
    EXPECT_EQ(hr, DI_OK);
}

TEST_F(DirectInputDevices, CallsCheckTheirArguments) {
    DWORD count = 4;
    DIDEVICEOBJECTDATA record;
    EXPECT_EQ(keyboard_->GetDeviceData(16, &record, &count, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard_->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard_->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    DIPROPDWORD wrong{{sizeof(DIPROPDWORD), 12, 0, DIPH_DEVICE}, 4};
    EXPECT_EQ(keyboard_->SetProperty(DIPROP_BUFFERSIZE, &wrong.diph), DIERR_INVALIDPARAM);
    BYTE state[16];
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof state, state), DIERR_NOTACQUIRED);
    IDirectInputDevice8A* device = nullptr;
    EXPECT_EQ(input_->CreateDevice(IID_IDirectInput8A, &device, nullptr), DIERR_DEVICENOTREG);
    void* other = nullptr;
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &other, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(other, nullptr);
}

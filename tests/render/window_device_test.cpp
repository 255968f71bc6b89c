// The device window's message handling: size kinds, activation, close, full-screen
// swallowing, listeners and device resources.

#include "platform/win/input_injection.h"
#include "platform/win/message_queue.h"
#include "platform/win/window.h"
#include "render/device_object.h"
#include "tests/render/counting_device_object.h"
#include "render/device_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Journal {
    std::string text;
};

class NamedListener : public MessageListener {
public:
    NamedListener(Journal& journal, char name, UINT heard) : journal_(journal), name_(name), heard_(heard) {}
    void OnMessage(HWND, UINT message, WPARAM, LPARAM) override {
        if (message == heard_) journal_.text += name_;
    }

private:
    Journal& journal_;
    char name_;
    UINT heard_;
};

void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
}

class DeviceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ResetMessageQueue();
        ASSERT_TRUE(window_.Create(nullptr, nullptr));
        ASSERT_TRUE(window_.SelectSettings(false));
        DrainQueue();
    }
    void TearDown() override {
        DestroyWindow(window_.GetWindow());
        ResetMessageQueue();
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        return SendMessageA(window_.GetWindow(), message, wParam, lParam);
    }
    DeviceWindow window_;
};

}  // namespace

TEST_F(DeviceWindowTest, CreatesAnOverlappedWindowOfTheDefaultClientSize) {
    EXPECT_EQ(DeviceWindow::Instance(), &window_);
    EXPECT_TRUE(window_.IsWindowed());
    EXPECT_TRUE(window_.HasDevice());
    EXPECT_FALSE(window_.IsSuspended());
    const ClientArea area = window_.GetClientArea();
    // The outer size is computed as for a window with a menu, which it lacks: the client
    // area is a menu's height taller than the default.
    EXPECT_EQ(area.width, 640);
    EXPECT_EQ(area.height, 500);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window_.GetWindow(), GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
              WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(window_.IsActive());
}

// Create makes the window's Direct3D side but no device; SelectSettings makes the one
// device, with the style kept at creation and, windowed, the window shown again.
TEST(DeviceWindowSelect, OnlySelectSettingsMakesTheDevice) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ResetMessageQueue();
    DeviceWindow window;
    ASSERT_TRUE(window.Create(nullptr, nullptr));
    EXPECT_FALSE(window.HasDevice());
    EXPECT_EQ(window.Device(), nullptr);
    const HWND handle = window.GetWindow();
    SetWindowLongA(handle, GWL_STYLE, LONG(WS_POPUP));
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
    ASSERT_FALSE(GetWindowLongA(handle, GWL_STYLE) & WS_VISIBLE);
    ASSERT_TRUE(window.SelectSettings(false));
    EXPECT_TRUE(window.HasDevice());
    EXPECT_NE(window.Device(), nullptr);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(handle, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(style & WS_POPUP, 0u);
    EXPECT_TRUE(style & WS_VISIBLE);
    DestroyWindow(handle);
    ResetMessageQueue();
}

TEST_F(DeviceWindowTest, SizeKindsSuspendAndResume) {
    const struct {
        UINT message;
        WPARAM kind;
        bool suspended, minimised, maximised;
    } steps[] = {
        {WM_SIZE, SIZE_MINIMIZED, true, true, false},
        {WM_SIZE, SIZE_RESTORED, false, false, false},
        {WM_SIZE, SIZE_MAXIMIZED, false, false, true},
        {WM_SIZE, SIZE_MINIMIZED, true, true, false},
        {WM_SIZE, SIZE_MAXIMIZED, false, false, true},
        {WM_SIZE, SIZE_RESTORED, false, false, false},
        {WM_ENTERSIZEMOVE, 0, true, false, false},
        {WM_EXITSIZEMOVE, 0, false, false, false},
    };
    for (const auto& step : steps) {
        Send(step.message, step.kind, MAKELPARAM(640, 480));
        EXPECT_EQ(window_.IsSuspended(), step.suspended) << step.message << " " << step.kind;
        EXPECT_EQ(window_.IsMinimised(), step.minimised);
        EXPECT_EQ(window_.IsMaximised(), step.maximised);
    }
}

TEST_F(DeviceWindowTest, DeviceIsResetOnlyWhenTheClientSizeChanged) {
    CountingObject resource;
    EXPECT_TRUE(resource.DeviceExistedAtRegistration());
    Send(WM_SIZE, SIZE_MINIMIZED);
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    EXPECT_EQ(resource.invalidates, 0);
    ASSERT_TRUE(InjectWindowEvent(window_.GetWindow(), InjectedWindowEvent::Resized, 320, 200));
    DrainQueue();
    EXPECT_EQ(resource.invalidates, 1);
    EXPECT_EQ(resource.restores, 1);
    EXPECT_EQ(window_.GetClientArea().width, 320);
    EXPECT_EQ(window_.GetClientArea().height, 200);
}

TEST_F(DeviceWindowTest, ActivationFollowsTheLowWord) {
    const struct {
        WPARAM wParam;
        bool active;
    } cases[] = {{WA_INACTIVE, false}, {WA_ACTIVE, true}, {0x10000, false}, {WA_CLICKACTIVE, true}};
    for (const auto& c : cases) {
        Send(WM_ACTIVATE, c.wParam);
        EXPECT_EQ(window_.IsActive(), c.active) << c.wParam;
    }
}

TEST_F(DeviceWindowTest, FullScreenSwallowsSystemCommandsAndHitTests) {
    const WPARAM swallowed[] = {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_KEYMENU, SC_MONITORPOWER};
    for (WPARAM command : swallowed) EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0) << command;
    ASSERT_TRUE(window_.SwitchToFullscreen(0, 0));
    EXPECT_FALSE(window_.IsWindowed());
    EXPECT_EQ(window_.GetClientArea().width, GetSystemMetrics(SM_CXSCREEN));
    for (WPARAM command : swallowed) EXPECT_EQ(Send(WM_SYSCOMMAND, command), 1) << command;
    EXPECT_EQ(Send(WM_NCHITTEST, 0), HTCLIENT);
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
}

TEST_F(DeviceWindowTest, CloseReleasesTheDeviceAndPostsQuit) {
    CountingObject resource;
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);
    EXPECT_TRUE(window_.IsClosing());
    EXPECT_FALSE(window_.HasDevice());
    EXPECT_EQ(resource.invalidates, 1);
    EXPECT_TRUE(IsWindow(window_.GetWindow()));  // the close is not passed on
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(DeviceWindowTest, ListenersHearMessagesFirstInTheirOrder) {
    Journal journal;
    NamedListener a(journal, 'a', WM_USER), b(journal, 'b', WM_USER), c(journal, 'c', WM_USER);
    EXPECT_TRUE(window_.RegisterListener(&a));
    EXPECT_TRUE(window_.RegisterListener(&b));
    EXPECT_TRUE(window_.RegisterListener(&a));  // once only
    EXPECT_TRUE(window_.RegisterListener(&c));
    Send(WM_USER, 0);
    window_.UnregisterListener(&b);
    Send(WM_USER, 0);
    EXPECT_EQ(journal.text, "abcac");
    window_.UnregisterListener(&a);
    window_.UnregisterListener(&c);
}

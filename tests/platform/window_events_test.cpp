// Desktop events become window messages with their Windows numbers.

#include "platform/win/cursor.h"
#include "platform/win/input_injection.h"
#include "platform/win/system.h"
#include "tests/platform/window_test_support.h"

#include <gtest/gtest.h>

namespace {

class WindowEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMessageQueue();
        window_ = CreateWindowExA(0, RecordingClass(), "events", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 336, 271,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        PumpAll();
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        ResetMessageQueue();
    }
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(WindowEvents, CreationSizesActivatesAndFocuses) {
    RecordedMessages().clear();
    HWND window = CreateWindowExA(0, RecordingClass(), "new", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    const std::vector<UINT> expected = {WM_CREATE, WM_SIZE, WM_ACTIVATE, WM_SETFOCUS};
    std::vector<UINT> own;
    for (const RecordedMessage& m : RecordedMessages())
        if (m.window == window) own.push_back(m.message);
    EXPECT_EQ(own, expected);
    EXPECT_EQ(GetFocus(), window);
    DestroyWindow(window);
}

TEST_F(WindowEvents, KeysBecomeKeyMessagesWithVirtualKeys) {
    const struct {
        int vk;
        bool down;
        UINT message;
    } cases[] = {
        {VK_F2, true, WM_KEYDOWN},  {VK_F3, true, WM_KEYDOWN},    {VK_F6, true, WM_KEYDOWN},
        {VK_SPACE, true, WM_KEYDOWN}, {'A', true, WM_KEYDOWN},    {VK_ESCAPE, false, WM_KEYUP},
        {VK_F10, true, WM_SYSKEYDOWN}, {VK_RETURN, true, WM_KEYDOWN},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(InjectKey(window_, c.vk, c.down));
        const auto messages = PumpAll();
        ASSERT_EQ(messages.size(), 1u) << c.vk;
        EXPECT_EQ(messages[0].message, c.message) << c.vk;
        EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(c.vk));
        EXPECT_EQ(messages[0].window, window_);
    }
}

TEST_F(WindowEvents, AltF4AndTheCloseButtonCloseAndDestroy) {
    InjectKey(window_, VK_MENU, true);
    InjectKey(window_, VK_F4, true);
    const auto messages = PumpAll();
    const std::vector<UINT> expected = {WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_KILLFOCUS,
                                        WM_DESTROY};
    std::vector<UINT> ids;
    for (const auto& m : messages)
        if (m.message != WM_ACTIVATE) ids.push_back(m.message);
    EXPECT_EQ(ids, expected);
    EXPECT_FALSE(IsWindow(window_));

    window_ = CreateWindowExA(0, RecordingClass(), "again", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    PumpAll();
    InjectWindowEvent(window_, InjectedWindowEvent::Close);
    const auto closed = PumpAll();
    ASSERT_GE(closed.size(), 2u);
    EXPECT_EQ(closed[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(closed[0].wParam, SC_CLOSE);
    EXPECT_EQ(closed[1].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(WindowEvents, MouseMovesAndClicksCarryClientPositions) {
    InjectMouseMove(window_, 12, 34, 2, 1);
    InjectMouseButton(window_, 0, true, 12, 34);
    InjectMouseButton(window_, 1, false, 5, 6);
    const auto messages = PumpAll();
    const std::vector<UINT> expected = {WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP};
    EXPECT_EQ(MessageIds(messages, false), expected);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(LOWORD(messages[0].lParam), HTCLIENT);
    EXPECT_EQ(GET_X_LPARAM(messages[1].lParam), 12);
    EXPECT_EQ(GET_Y_LPARAM(messages[1].lParam), 34);
    EXPECT_EQ(messages[2].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(messages[3].lParam), 5);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 6);
    InjectMouseButton(window_, 0, false, 12, 34);
    PumpAll();
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
}

TEST_F(WindowEvents, SizeChangesBecomeSizeMessagesOfTheirKind) {
    InjectWindowEvent(window_, InjectedWindowEvent::Resized, 400, 300);
    auto messages = PumpAll();
    const std::vector<UINT> expected = {WM_SIZE, WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE};
    EXPECT_EQ(MessageIds(messages), expected);
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    for (const auto& m : messages)
        if (m.message == WM_SIZE) {
            EXPECT_EQ(m.wParam, SIZE_RESTORED);
            EXPECT_EQ(m.lParam, MAKELPARAM(400, 300));
        }
    InjectWindowEvent(window_, InjectedWindowEvent::Minimized);
    InjectWindowEvent(window_, InjectedWindowEvent::Restored);
    messages = PumpAll();
    std::vector<WPARAM> kinds;
    for (const auto& m : messages)
        if (m.message == WM_SIZE) kinds.push_back(m.wParam);
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0], SIZE_MINIMIZED);
    EXPECT_EQ(kinds[1], SIZE_RESTORED);
}

TEST_F(WindowEvents, QuitSignalAsksEveryWindowToClose) {
    ASSERT_TRUE(InjectQuit());
    const auto messages = PumpAll();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(IsWindow(window_));
}

TEST(WindowCursor, ShowCursorCountsAndSetCursorNullHides) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    SetCursor(arrow);
    const struct {
        BOOL show;
        int count;
        bool visible;
    } steps[] = {{FALSE, -1, false}, {FALSE, -2, false}, {TRUE, -1, false}, {TRUE, 0, true}, {TRUE, 1, true},
                 {FALSE, 0, true}};
    for (const auto& step : steps) {
        EXPECT_EQ(ShowCursor(step.show), step.count);
        EXPECT_EQ(IsCursorVisible(), step.visible);
    }
    SetCursor(nullptr);
    EXPECT_FALSE(IsCursorVisible());
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_TRUE(IsCursorVisible());
}

TEST(WindowSystem, ScreenSaverRunningFlagFollowsAction97) {
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, nullptr, 0));
    EXPECT_TRUE(IsScreenSaverRunning());
    EXPECT_TRUE(SystemParametersInfoA(97, 0, nullptr, 0));
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_FALSE(SystemParametersInfoA(98, 1, nullptr, 0));
}

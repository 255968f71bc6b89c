// The message queue: retrieval order, filters, timers on the virtual clock, quit.

#include "core/clock.h"
#include "platform/win/paint.h"
#include "tests/platform/window_test_support.h"

#include <gtest/gtest.h>

namespace {

class WindowQueue : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(10000, 0.0);
        window_ = CreateWindowExA(0, RecordingClass(), "queue", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ResetMessageQueue();
    }
    void TearDown() override {
        DestroyWindow(window_);
        ResetMessageQueue();
        UseMonotonicClock();
    }
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(WindowQueue, PostedThenQuitThenPaintThenTimer) {
    SetTimer(window_, 7, 500, nullptr);
    SetVirtualTime(10500);
    PostQuitMessage(3);
    PostMessageA(window_, WM_USER, 1, 2);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    SendMessageA(window_, WM_NULL, 0, 0);
    // A hidden window needs no paint until something exposes it; force one.
    PostMessageA(window_, WM_USER + 2, 0, 0);
    MSG msg;
    struct Expected {
        UINT message;
        HWND window;
        WPARAM wParam;
    };
    const Expected expected[] = {
        {WM_USER, window_, 1}, {WM_USER + 1, nullptr, 0}, {WM_USER + 2, window_, 0}, {WM_QUIT, nullptr, 3},
        {WM_TIMER, window_, 7},
    };
    for (const Expected& e : expected) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, e.message);
        EXPECT_EQ(msg.hwnd, e.window);
        EXPECT_EQ(msg.wParam, e.wParam);
    }
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowQueue, TimerIsDueAfterItsInterval) {
    ASSERT_EQ(SetTimer(window_, 1, 500, nullptr), 1u);
    MSG msg;
    const struct {
        std::int64_t now;
        bool due;
    } cases[] = {{10000, false}, {10499, false}, {10500, true}, {10501, false}, {10999, false}, {11000, true}};
    for (const auto& c : cases) {
        SetVirtualTime(c.now);
        EXPECT_EQ(PeekMessageA(&msg, window_, WM_TIMER, WM_TIMER, PM_REMOVE) != 0, c.due) << c.now;
    }
    EXPECT_TRUE(KillTimer(window_, 1));
    EXPECT_FALSE(KillTimer(window_, 1));
    SetVirtualTime(20000);
    EXPECT_FALSE(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE));
}

TEST_F(WindowQueue, FiltersByWindowAndRangeButNeverHoldBackQuit) {
    HWND other = CreateWindowExA(0, RecordingClass(), "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(other, nullptr);
    PostMessageA(other, WM_USER, 0, 0);
    PostMessageA(window_, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window_, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5);
    ASSERT_TRUE(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE));
    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    DestroyWindow(other);
    // Destroying a window drops what was queued for it.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(other, WM_USER, 0, 0));
}

TEST_F(WindowQueue, GetMessageReturnsZeroForQuit) {
    PostMessageA(window_, WM_USER, 0, 0);
    PostQuitMessage(9);
    MSG msg;
    EXPECT_NE(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(WindowQueue, PaintIsOfferedUntilPainted) {
    HWND shown = CreateWindowExA(0, RecordingClass(), "shown", WS_POPUP | WS_VISIBLE, 0, 0, 32, 32, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(shown, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, shown, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    ASSERT_TRUE(PeekMessageA(&msg, shown, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    PAINTSTRUCT paint;
    ASSERT_NE(BeginPaint(shown, &paint), nullptr);
    EndPaint(shown, &paint);
    EXPECT_FALSE(PeekMessageA(&msg, shown, 0, 0, PM_REMOVE));
    DestroyWindow(shown);
}

TEST(WindowGeometry, AdjustWindowRectAddsTheFrameOfTheStyle) {
    const struct {
        DWORD style;
        BOOL menu;
        RECT expected;
    } cases[] = {
        {WS_CHILD | WS_VISIBLE, FALSE, {100, 100, 150, 150}},
        {WS_POPUP | WS_VISIBLE, FALSE, {100, 100, 150, 150}},
        {WS_OVERLAPPEDWINDOW, FALSE, {92, 69, 158, 158}},
        {WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRUE, {92, 49, 158, 158}},
        {WS_POPUP | WS_BORDER, FALSE, {99, 99, 151, 151}},
    };
    for (const auto& c : cases) {
        RECT rect{100, 100, 150, 150};
        ASSERT_TRUE(AdjustWindowRect(&rect, c.style, c.menu));
        EXPECT_EQ(rect.left, c.expected.left) << c.style;
        EXPECT_EQ(rect.top, c.expected.top) << c.style;
        EXPECT_EQ(rect.right, c.expected.right) << c.style;
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.style;
    }
}

TEST(WindowGeometry, ClientAreaIsTheOuterSizeLessTheFrame) {
    const char* cls = RecordingClass();
    const struct {
        DWORD style;
        int x, y, width, height;
        int clientWidth, clientHeight;
    } cases[] = {
        {WS_POPUP, 0, 0, 200, 200, 200, 200},
        {WS_OVERLAPPEDWINDOW, 10, 10, 656, 519, 640, 480},
        {WS_CHILD, 100, 100, 50, 50, 50, 50},  // no parent: a top-level window
    };
    for (const auto& c : cases) {
        HWND window = CreateWindowExA(0, cls, "geometry", c.style, c.x, c.y, c.width, c.height, nullptr, nullptr,
                                      nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        RECT client{}, outer{};
        GetClientRect(window, &client);
        GetWindowRect(window, &outer);
        EXPECT_EQ(client.right, c.clientWidth);
        EXPECT_EQ(client.bottom, c.clientHeight);
        EXPECT_EQ(outer.left, c.x);
        EXPECT_EQ(outer.top, c.y);
        EXPECT_EQ(outer.right - outer.left, c.width);
        EXPECT_EQ(outer.bottom - outer.top, c.height);
        DestroyWindow(window);
    }
    ResetMessageQueue();
}

TEST_F(WindowQueue, TranslateMessagePostsCharactersForCharacterKeys) {
    const struct {
        WPARAM key;
        WPARAM character;  // 0: none
    } cases[] = {{'A', 'a'}, {'7', '7'}, {VK_SPACE, ' '}, {VK_RETURN, '\r'}, {VK_ESCAPE, 27}, {VK_F2, 0},
                 {VK_LEFT, 0}};
    for (const auto& c : cases) {
        const MSG key{window_, WM_KEYDOWN, c.key, 1, 0, {0, 0}};
        EXPECT_EQ(TranslateMessage(&key) != 0, c.character != 0) << c.key;
        MSG msg;
        const bool posted = PeekMessageA(&msg, window_, WM_CHAR, WM_CHAR, PM_REMOVE);
        EXPECT_EQ(posted, c.character != 0);
        if (posted) EXPECT_EQ(msg.wParam, c.character);
    }
    const MSG up{window_, WM_KEYUP, 'A', 1, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&up));
}

// InputDevices through the real window, message queue and DirectInput layers.

#include "core/clock.h"
#include "platform/dinput/dinput.h"
#include "platform/win/input_injection.h"
#include "platform/win/message_queue.h"
#include "platform/win/window.h"
#include "render/input_devices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Event {
    int type;
    float x, y, previousX, previousY, dx, dy;
    int extra;
};

class RecordingListener : public InputListener {
public:
    void OnInput(int type, float x, float y, float px, float py, float dx, float dy, int extra) override {
        events.push_back({type, x, y, px, py, dx, dy, extra});
    }
    std::vector<int> Types() const {
        std::vector<int> types;
        for (const Event& e : events) types.push_back(e.type);
        return types;
    }
    std::vector<Event> events;
};

constexpr std::uint32_t kForegroundShared = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

class InputDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        UseVirtualClock(100000, 0.0);
        ResetMessageQueue();
        ASSERT_TRUE(window_.Create(nullptr, nullptr));
        ASSERT_TRUE(window_.SelectSettings(false));
        Pump();
    }
    void TearDown() override {
        input_.Stop();
        DestroyWindow(window_.GetWindow());
        ResetMessageQueue();
        UseMonotonicClock();
    }
    void Start(bool systemCursor) {
        ASSERT_TRUE(input_.Start(systemCursor, kForegroundShared, kForegroundShared));
        input_.AddListener(&listener_);
    }
    // Dispatches the waiting messages, then polls until both devices are drained.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
        for (int i = 0; i < 4; ++i) input_.Poll();
    }
    HWND Window() { return window_.GetWindow(); }

    DeviceWindow window_;
    InputDevices input_{&window_};
    RecordingListener listener_;
};

}  // namespace

TEST_F(InputDevicesTest, StartNeedsADevice) {
    DeviceWindow::Instance()->ReleaseDevice();
    EXPECT_FALSE(input_.Start(true, kForegroundShared, kForegroundShared));
    ASSERT_TRUE(window_.SelectSettings(false));
    EXPECT_TRUE(input_.Start(true, kForegroundShared, kForegroundShared));
    EXPECT_EQ(DirectInputDeviceCount(), 2);
    input_.Stop();
    EXPECT_EQ(DirectInputDeviceCount(), 0);
}

TEST_F(InputDevicesTest, SecondReleaseWithin500MsIsADoubleClick) {
    Start(true);
    const struct {
        int button;
        std::int64_t gap;
        std::vector<int> types;
    } cases[] = {
        {0, 499, {0, 1, 0, 1, 2}},
        {0, 500, {0, 1, 0, 1}},
        {1, 0, {3, 4, 3, 4, 5}},
        {1, 501, {3, 4, 3, 4}},
    };
    std::int64_t now = 200000;
    for (const auto& c : cases) {
        now += 10000;  // far from any earlier release
        SetVirtualTime(now);
        InjectMouseButton(Window(), c.button, true, 5, 5);
        InjectMouseButton(Window(), c.button, false, 5, 5);
        Pump();
        // Reset the click counter's state between cases: after a double click it is empty,
        // otherwise one release is pending; a third release far away starts afresh.
        listener_.events.clear();
        now += 10000;
        SetVirtualTime(now);
        InjectMouseButton(Window(), c.button, true, 5, 5);
        InjectMouseButton(Window(), c.button, false, 5, 5);
        Pump();
        SetVirtualTime(now + c.gap);
        InjectMouseButton(Window(), c.button, true, 5, 5);
        InjectMouseButton(Window(), c.button, false, 5, 5);
        Pump();
        EXPECT_EQ(listener_.Types(), c.types) << c.button << " after " << c.gap;
        listener_.events.clear();
        now += 10000;
        SetVirtualTime(now);
        InjectMouseButton(Window(), c.button, true, 5, 5);
        InjectMouseButton(Window(), c.button, false, 5, 5);
        Pump();
        listener_.events.clear();
    }
}

TEST_F(InputDevicesTest, WindowMouseMovesStayInsideTheClientArea) {
    Start(true);
    const struct {
        int x, y;
        float cx, cy;
    } cases[] = {{10, 20, 10, 20}, {-50, 5000, 0, 499}, {700, -3, 639, 0}, {639, 499, 639, 499}, {0, 0, 0, 0}};
    float px = 0, py = 0;
    for (const auto& c : cases) {
        listener_.events.clear();
        InjectMouseMove(Window(), c.x, c.y, 0, 0);
        Pump();
        ASSERT_FALSE(listener_.events.empty());
        const Event& e = listener_.events.front();
        EXPECT_EQ(e.type, kInputMouseMove);
        EXPECT_EQ(e.x, c.cx) << c.x;
        EXPECT_EQ(e.y, c.cy) << c.y;
        EXPECT_EQ(e.previousX, px);
        EXPECT_EQ(e.previousY, py);
        EXPECT_EQ(e.dx, c.cx - px);
        EXPECT_EQ(input_.GetCursor().x, c.cx);
        EXPECT_EQ(input_.GetCursor().y, c.cy);
        px = c.cx;
        py = c.cy;
    }
}

TEST_F(InputDevicesTest, FullScreenDeviceMotionIsClampedToTheScreen) {
    ASSERT_TRUE(window_.SwitchToFullscreen(0, 0));
    const ClientArea area = window_.GetClientArea();
    Start(false);
    const struct {
        int dx, dy;
        float x, y;
    } cases[] = {{30, 40, 30, 40}, {100000, 5, float(area.width - 1), 45}, {-200000, -100000, 0, 0}, {7, 9, 7, 9}};
    for (const auto& c : cases) {
        listener_.events.clear();
        InjectMouseMove(Window(), 1, 1, c.dx, c.dy);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_MOUSEMOVE && msg.message != WM_QUIT) DispatchMessageA(&msg);
        input_.Poll();
        ASSERT_EQ(listener_.events.size(), 1u) << c.dx;  // one move per batch of axis records
        EXPECT_EQ(listener_.events[0].type, kInputMouseMove);
        EXPECT_EQ(input_.GetCursor().x, c.x) << c.dx;
        EXPECT_EQ(input_.GetCursor().y, c.y) << c.dy;
        EXPECT_EQ(listener_.events[0].dx, float(c.dx));
    }
}

TEST_F(InputDevicesTest, KeysAreReportedWithTheirDirectInputCodes) {
    Start(true);
    const struct {
        int vk;
        bool down;
        int type;
        int dik;
    } cases[] = {{VK_F2, true, 7, DIK_F2}, {VK_F2, false, 8, DIK_F2}, {VK_SPACE, true, 7, DIK_SPACE},
                 {VK_ESCAPE, true, 7, DIK_ESCAPE}, {VK_F6, true, 7, DIK_F6}};
    for (const auto& c : cases) {
        listener_.events.clear();
        InjectKey(Window(), c.vk, c.down);
        Pump();
        ASSERT_EQ(listener_.events.size(), 1u);
        EXPECT_EQ(listener_.events[0].type, c.type);
        EXPECT_EQ(listener_.events[0].extra, c.dik);
        EXPECT_EQ(input_.IsKeyDown(c.dik), c.down);
    }
}

TEST_F(InputDevicesTest, FocusLossUnacquiresAndFocusGainReports) {
    Start(true);
    EXPECT_TRUE(input_.IsFocused());
    InjectWindowEvent(Window(), InjectedWindowEvent::FocusLost);
    Pump();
    EXPECT_FALSE(input_.IsFocused());
    InjectKey(Window(), 'A', true);
    Pump();
    EXPECT_TRUE(listener_.events.empty());
    InjectWindowEvent(Window(), InjectedWindowEvent::FocusGained);
    Pump();
    EXPECT_TRUE(input_.IsFocused());
    EXPECT_EQ(listener_.Types(), std::vector<int>{kInputFocusGained});
    InjectKey(Window(), 'B', true);
    Pump();
    EXPECT_EQ(listener_.Types(), (std::vector<int>{kInputFocusGained, kInputKeyDown}));
}

TEST_F(InputDevicesTest, ButtonStateComesFromTheSystemWithTheSystemCursor) {
    Start(true);
    EXPECT_FALSE(input_.IsLeftButtonDown());
    InjectMouseButton(Window(), 0, true, 1, 1);
    InjectMouseButton(Window(), 1, true, 1, 1);
    Pump();
    EXPECT_TRUE(input_.IsLeftButtonDown());
    EXPECT_TRUE(input_.IsRightButtonDown());
    InjectMouseButton(Window(), 0, false, 1, 1);
    Pump();
    EXPECT_FALSE(input_.IsLeftButtonDown());
    InjectMouseButton(Window(), 1, false, 1, 1);
    Pump();
}

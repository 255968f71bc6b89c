// The application through the real window, queue and input layers: which messages and
// input events end the run, the loop's bookkeeping, the launch modes' windows, and the
// running flag and cursor around a run.

#include "app/application.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/device_session.h"
#include "core/clock.h"
#include "core/log.h"
#include "platform/win/cursor.h"
#include "platform/win/dialog_memory.h"
#include "platform/win/input_injection.h"
#include "platform/win/message_queue.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        static const std::string config = ::testing::TempDir() + "/frostvale-application-test";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    void SetUp() override {
        UseVirtualClock(50000, 0.0);
        ResetMessageQueue();
    }
    void TearDown() override {
        app_.reset();
        ResetMessageQueue();
        UseMonotonicClock();
    }
    // A started application in the test mode, in a window.
    Application& Started(bool exitOnMouseMove = false) {
        app_.reset();  // one application at a time: the window procedure forwards to it
        app_ = std::make_unique<Application>();
        ShellOptions options;
        options.windowed = true;
        app_->SetShellOptions(options);
        EXPECT_TRUE(app_->Start(nullptr, LaunchMode::Test, 0));
        app_->GetSettings().exitOnMouseMove = exitOnMouseMove;
        app_->RunIteration();  // the messages of the window's creation
        EXPECT_FALSE(app_->QuitRequested());
        return *app_;
    }
    HWND Window() { return app_->GetWindow(); }

    std::unique_ptr<Application> app_;
};

}  // namespace

TEST_F(ApplicationTest, AnyKeyButF2F3F6EndsTheRun) {
    const struct {
        int vk;
        bool ends;
    } cases[] = {{VK_F2, false}, {VK_F3, false}, {VK_F6, false}, {VK_SPACE, true}, {'A', true},
                 {VK_ESCAPE, true}, {VK_RETURN, true}, {VK_F4 + 1, true}, {VK_LEFT, true}};
    for (const auto& c : cases) {
        Started();
        ASSERT_TRUE(InjectKey(Window(), c.vk, true));
        app_->RunIteration();
        EXPECT_EQ(app_->QuitRequested(), c.ends) << c.vk;
    }
}

TEST_F(ApplicationTest, MessageTable) {
    const struct {
        UINT message;
        WPARAM wParam;
        LRESULT result;
        bool ends;
    } cases[] = {
        {WM_SYSCOMMAND, SC_CLOSE, 1, true},       {WM_SYSCOMMAND, SC_NEXTWINDOW, 1, true},
        {WM_SYSCOMMAND, SC_PREVWINDOW, 1, true},  {WM_SYSCOMMAND, SC_SCREENSAVE, 0, false},
        {WM_SYSCOMMAND, SC_MONITORPOWER, 0, false}, {WM_CLOSE, 0, 1, true},
        {WM_DESTROY, 0, 1, true},                 {WM_QUIT, 0, 1, true},
        {WM_KEYDOWN, VK_F6, 0, false},            {WM_KEYDOWN, VK_SPACE, 0, true},
        {WM_KEYUP, VK_SPACE, 0, false},           {WM_USER + 1, 0, 0, false},
    };
    for (const auto& c : cases) {
        Started();
        EXPECT_EQ(SendMessageA(Window(), c.message, c.wParam, 0), c.result) << c.message << " " << c.wParam;
        EXPECT_EQ(app_->QuitRequested(), c.ends) << c.message << " " << c.wParam;
        EXPECT_TRUE(IsWindow(Window()));
    }
}

TEST_F(ApplicationTest, ClosingTheWindowEndsTheRun) {
    Started();
    InjectWindowEvent(Window(), InjectedWindowEvent::Close);
    EXPECT_FALSE(app_->RunIteration());
    EXPECT_TRUE(app_->QuitRequested());
}

TEST_F(ApplicationTest, ClicksEndTheRunOtherButtonsDoNot) {
    const struct {
        int button;
        bool down;
        bool ends;
    } cases[] = {{0, true, true}, {1, true, true}, {2, true, false}, {0, false, false}, {1, false, false}};
    for (const auto& c : cases) {
        Started();
        InjectMouseButton(Window(), c.button, c.down, 10, 10);
        for (int i = 0; i < 3; ++i) app_->RunIteration();
        EXPECT_EQ(app_->QuitRequested(), c.ends) << c.button << " " << c.down;
    }
}

TEST_F(ApplicationTest, MouseMoveEndsTheRunOnlyWithExitOnMmAfterOneSecond) {
    const struct {
        bool exitOnMouseMove;
        std::int64_t after;
        bool moved;
        bool ends;
    } cases[] = {
        {true, 1000, true, false}, {true, 1001, true, true}, {true, 500, true, false},
        {false, 5000, true, false}, {true, 5000, false, false},  // reported at the position it had
    };
    for (const auto& c : cases) {
        SetVirtualTime(50000);
        Started(c.exitOnMouseMove);
        const CursorPosition at = app_->Input().GetCursor();
        const int x = static_cast<int>(at.x) + (c.moved ? (at.x < 100 ? 7 : -7) : 0);
        const int y = static_cast<int>(at.y);
        SetVirtualTime(50000 + c.after);
        InjectMouseMove(Window(), x, y, x - static_cast<int>(at.x), 0);
        app_->RunIteration();
        EXPECT_EQ(app_->QuitRequested(), c.ends) << c.exitOnMouseMove << " " << c.after << " " << c.moved;
    }
}

TEST_F(ApplicationTest, JitterAtOnePositionNeverEndsTheRun) {
    SetVirtualTime(50000);
    Started(true);
    InjectMouseMove(Window(), 25, 35, 1, 1);
    app_->RunIteration();
    SetVirtualTime(60000);
    for (int i = 0; i < 3; ++i) {
        InjectMouseMove(Window(), 25, 35, 0, 0);
        app_->RunIteration();
    }
    EXPECT_FALSE(app_->QuitRequested());
    InjectMouseMove(Window(), 26, 35, 1, 0);
    app_->RunIteration();
    EXPECT_TRUE(app_->QuitRequested());
}

TEST_F(ApplicationTest, FrameRateBookkeeping) {
    FrameRateCounter counter;
    counter.Begin(1000);
    const struct {
        std::int64_t now;
        std::int64_t count, estimate, windowStart;
    } ticks[] = {
        {1000, 1, 0, 1000},  {1250, 2, 8, 1000},  {1500, 3, 6, 1000}, {1999, 4, 4, 1000},
        {2000, 1, 4, 2000},  {2001, 2, 2000, 2000}, {5000, 1, 2, 5000},
    };
    for (const auto& t : ticks) {
        counter.Tick(t.now);
        EXPECT_EQ(counter.count, t.count) << t.now;
        EXPECT_EQ(counter.estimate, t.estimate) << t.now;
        EXPECT_EQ(counter.windowStart, t.windowStart) << t.now;
    }
}

TEST_F(ApplicationTest, InactiveWindowSkipsDrawingButKeepsCounting) {
    Started();
    UseVirtualClock(70000, 10.0);  // every presented frame moves the clock on by 10 ms
    app_->RunIteration();
    EXPECT_EQ(NowMilliseconds(), 70010);
    SendMessageA(Window(), WM_ACTIVATE, WA_INACTIVE, 0);
    const std::int64_t counted = app_->FrameRate().count;
    app_->RunIteration();
    app_->RunIteration();
    EXPECT_EQ(NowMilliseconds(), 70010);
    EXPECT_NE(app_->FrameRate().count, counted);
    EXPECT_FALSE(app_->QuitRequested());
}

// A scene that cannot begin draws nothing, yet the frame is still presented (the clock moves
// on with each Present), so the loop and the host keep their rhythm.
TEST_F(ApplicationTest, AFailedBeginScenePresentsTheFrameAnyway) {
    Started();
    IDirect3DDevice9* real = app_->Session().Device();
    ASSERT_NE(real, nullptr);
    RecordingDevice* recorder = RecordingDevice::Create(real);
    recorder->SetResult("BeginScene", D3DERR_INVALIDCALL);
    PublishDevice(recorder);
    UseVirtualClock(70000, 10.0);
    app_->RunIteration();
    PublishDevice(real);
    EXPECT_EQ(NowMilliseconds(), 70010);
    EXPECT_EQ(recorder->Count("BeginScene"), 1);
    EXPECT_EQ(recorder->Count("DrawIndexedPrimitive") + recorder->Count("DrawPrimitive"), 0);
    EXPECT_EQ(recorder->Count("EndScene"), 0);
    EXPECT_FALSE(app_->QuitRequested());
    recorder->Release();
}

TEST_F(ApplicationTest, FpsTextShows100UntilTheFirstSecond) {
    SetVirtualTime(50000);
    Started();
    app_->GetSettings().showFps = true;
    for (std::int64_t t : {50000, 50100, 50500, 50999}) {
        SetVirtualTime(t);
        app_->RunIteration();
        EXPECT_STREQ(app_->FpsText().CStr(), "100") << t;
    }
    SetVirtualTime(51000);
    app_->RunIteration();
    // Five passes in the first window (the start-up one included), the last at 999 ms.
    EXPECT_STREQ(app_->FpsText().CStr(), "5");
}

TEST(ApplicationGamma, RampIsOffsetAndClamped) {
    const struct {
        std::int32_t gamma;
        int index;
        std::uint16_t value;
    } cases[] = {
        {0, 0, 0},         {0, 255, 65280},   {100, 0, 20000},  {100, 178, 65535}, {100, 177, 65312},
        {-100, 0, 0},      {-100, 78, 0},     {-100, 79, 224},  {-100, 255, 45280}, {50, 1, 10256},
        {2147483647, 0, 65535}, {-2147483647 - 1, 255, 0},
    };
    for (const auto& c : cases) {
        const D3DGAMMARAMP ramp = GammaRamp(c.gamma);
        EXPECT_EQ(ramp.red[c.index], c.value) << c.gamma << " " << c.index;
        EXPECT_EQ(ramp.green[c.index], c.value);
        EXPECT_EQ(ramp.blue[c.index], c.value);
    }
}

TEST_F(ApplicationTest, ClockText) {
    const struct {
        int h, m, s;
        bool twentyFour;
        const char* text;
    } cases[] = {
        {0, 5, 0, false, "0:05:00 am"},  {12, 30, 0, false, "12:30:00 pm"}, {11, 59, 59, false, "11:59:59 am"},
        {13, 0, 9, false, "1:00:09 pm"}, {23, 59, 59, true, "23:59:59 "},    {0, 0, 0, true, "0:00:00 "},
        {9, 5, 3, true, "9:05:03 "},     {0, 30, 0, false, "0:30:00 am"},   {12, 0, 0, false, "12:00:00 pm"},
        {13, 7, 9, false, "1:07:09 pm"},
    };
    for (const auto& c : cases) EXPECT_STREQ(FormatClockText(c.h, c.m, c.s, c.twentyFour).CStr(), c.text);
}

TEST_F(ApplicationTest, SaverCoversTheScreenAndHidesTheCursor) {
    app_.reset();
    app_ = std::make_unique<Application>();
    ASSERT_TRUE(app_->Start(nullptr, LaunchMode::Saver, 0));
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(app_->IsWindowed());
    EXPECT_FALSE(IsCursorVisible());
    EXPECT_NEAR(ScreenScale(), client.right / 1024.0f, 1e-6);
    InjectKey(Window(), 'Q', true);
    EXPECT_EQ(app_->Run(), 1);
    EXPECT_TRUE(IsCursorVisible());
    EXPECT_FALSE(IsWindow(Window()));
}

// A full-screen start makes one device (one report, no windowed one first) and logs its
// steps in order.
TEST_F(ApplicationTest, StartUpLogsItsStepsInOrderWithOneDeviceReport) {
    const std::string path = ::testing::TempDir() + "frostvale_start_log.txt";
    ASSERT_TRUE(OpenLogFile(path.c_str()));
    app_ = std::make_unique<Application>();
    const bool started = app_->Start(nullptr, LaunchMode::Saver, 0);
    CloseLogFile();
    ASSERT_TRUE(started);
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> steps;
    std::size_t reports = 0;
    for (std::size_t begin = 0, end; begin < text.size(); begin = end + 1) {
        end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        if (line.rfind("Windowed ", 0) == 0 || line.rfind("Fullscreen ", 0) == 0) {
            ++reports;
            steps.push_back(line.substr(0, line.find(' ')));
        } else if (line.rfind("---", 0) != 0 && line.find(':') == std::string::npos) {
            steps.push_back(line);
        }
    }
    EXPECT_EQ(reports, 1u) << text;
    EXPECT_EQ(steps, (std::vector<std::string>{"Log started ", "Fullscreen", "Application created", "Hierarchy loaded",
                                               "Snow renderer created"}))
        << text;
}

TEST_F(ApplicationTest, RunningFlagAndCursorAfterEveryExit) {
    // Password: no window, the start fails, exit code 0.
    EXPECT_EQ(RunApplication(nullptr, LaunchMode::Password, 5), 0);
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_TRUE(IsCursorVisible());
    EXPECT_EQ(Application::Instance(), nullptr);
    // Configure: the settings dialog, then exit code 1.
    {
        MemoryDialogHost host;
        host.OnShow(132, [](Dialog& dialog) { CommandDialog(dialog, 2); });
        EXPECT_EQ(RunApplication(nullptr, LaunchMode::Configure, 0), 1);
        EXPECT_EQ(host.shown, std::vector<int>{132});
    }
    EXPECT_FALSE(IsScreenSaverRunning());
    // A saver that is asked to quit at once ends with 1.
    ASSERT_TRUE(InjectQuit());
    EXPECT_EQ(RunApplication(nullptr, LaunchMode::Saver, 0), 1);
    EXPECT_FALSE(IsScreenSaverRunning());
    EXPECT_TRUE(IsCursorVisible());
}

TEST_F(ApplicationTest, PreviewWithoutHostIsFiftyPixelsSquareAt100) {
    UseMonotonicClock();  // the preview waits 500 ms on a timer
    app_ = std::make_unique<Application>();
    ASSERT_TRUE(app_->Start(nullptr, LaunchMode::Preview, 0));
    EXPECT_FALSE(app_->PreviewHold());
    RECT outer{};
    GetWindowRect(Window(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right, 150);
    EXPECT_EQ(outer.bottom, 150);
    EXPECT_TRUE(IsCursorVisible());
    EXPECT_FALSE(app_->HasDevice());
    SendMessageA(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(app_->RunIteration());
}

#include "app/application.h"

#include "app/launch_options.h"

#include "core/log.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "platform/win/dialog.h"
#include "platform/win/message_box.h"
#include "platform/win/cursor.h"
#include "platform/win/host_window.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/process_info.h"
#include "platform/win/system.h"
#include "platform/win/termination_signal.h"
#include "platform/win/window.h"
#include "render/render_state_cache.h"
#include "snowscape/scene_settings.h"

#include <chrono>
#include <cstdio>

namespace {

Application* gApplication = nullptr;
HINSTANCE gInstanceHandle = nullptr;

constexpr const char kWindowClass[] = "Frostvale 3D Screensaver";
constexpr const char kWindowTitle[] = "Frostvale 3D ScreenSaver";
// Cooperative level of both input devices: shared, only while in the foreground.
constexpr std::uint32_t kInputCooperation = 6;

bool IsKeptKey(WPARAM key) { return key == VK_F2 || key == VK_F3 || key == VK_F6; }

// Writes "Start-up: STEP at N ms" to the log, N the real milliseconds since Start began
// (real time also on the virtual clock, which stands still until the first frame).
class StartupSteps {
public:
    void Step(const char* step) const {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
        Log("", String("Start-up: ") + step + " at " + String::FromInt(std::int32_t(elapsed)) + " ms\n");
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
};

String TwoDigits(int value) { return (value < 10 ? String("0") : String()) + String::FromInt(value); }

}  // namespace

void FrameRateCounter::Begin(std::int64_t now) {
    windowStart = now;
    count = 0;
    estimate = 0;
}

void FrameRateCounter::Tick(std::int64_t now) {
    const std::int64_t elapsed = now - windowStart;
    if (elapsed < 1000) {
        count += 1;
        if (elapsed != 0) estimate = count * 1000 / elapsed;
    } else {
        // The frame that closes a window opens the next one and counts there, so frames
        // evenly spread at n a second read n, not n - 1.
        estimate = count;
        windowStart = now;
        count = 1;
    }
}

String FormatClockText(int hour, int minute, int second, bool twentyFourHour) {
    String suffix;
    int shown = hour;
    if (!twentyFourHour) {
        suffix = hour > 11 ? "pm" : "am";
        if (hour > 12) shown = hour - 12;
    }
    return String::FromInt(shown) + ":" + TwoDigits(minute) + ":" + TwoDigits(second) + " " + suffix;
}

Application::Application() {
    gApplication = this;
    texts_.LoadResource();
    LoadDefaultSettings(defaults_, settings_);
    quitRequested_ = false;
    previewHold_ = false;
    SetActive(true);
}

Application::~Application() {
    // A start that failed half-way leaves no window and no hidden cursor behind.
    if (GetWindow() && IsWindow(GetWindow())) DestroyWindow(GetWindow());
    if (cursorHidden_) ShowCursor(TRUE);
    input_.Stop();
    if (gApplication == this) gApplication = nullptr;
}

Application* Application::Instance() { return gApplication; }

bool Application::CreateApplicationWindow() {
    if (mode_ == LaunchMode::Configure) return true;
    if (mode_ == LaunchMode::Password) return false;

    WNDCLASSA windowClass{};
    windowClass.style = mode_ == LaunchMode::Preview ? (CS_HREDRAW | CS_VREDRAW) : 0;
    windowClass.lpfnWndProc = &DeviceWindow::StaticWindowProc;
    windowClass.hInstance = GetInstance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // an earlier application of this process may have registered it

    HWND window = nullptr;
    if (options_.Hosted()) {
        const char* error = nullptr;
        window = CreateHostedWindow(kWindowClass, options_.hostWindowId, error);
        if (window == nullptr)
            std::fprintf(stderr, "Error: window 0x%llx: %s\n", static_cast<unsigned long long>(options_.hostWindowId),
                         error);
        SetWindowHandle(window);
        LogHostSize();
        return window != nullptr;
    } else if (mode_ == LaunchMode::Preview) {
        HWND host = nullptr;
        RECT rect{100, 100, 150, 150};
        if (hostWindow_ != 0) {
            host = HostWindowFromId(hostWindow_);
            if (!host || !GetClientRect(host, &rect)) return false;
        }
        const DWORD style = WS_CHILD | WS_VISIBLE;
        AdjustWindowRect(&rect, style, FALSE);
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, host, nullptr, GetInstance(), nullptr);
    } else if (options_.windowed) {
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        RECT rect{0, 0, options_.windowWidth > 0 ? options_.windowWidth : settings_.width,
                  options_.windowHeight > 0 ? options_.windowHeight : settings_.height};
        AdjustWindowRect(&rect, style, FALSE);
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, GetInstance(),
                                 nullptr);
    } else {
        const int width = settings_.useDesktop ? 200 : settings_.width;
        const int height = settings_.useDesktop ? 200 : settings_.height;
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                 nullptr, GetInstance(), nullptr);
    }
    SetWindowHandle(window);
    return window != nullptr;
}

bool Application::Start(HINSTANCE instance, LaunchMode mode, std::int32_t hostWindow) {
    mode_ = mode;
    hostWindow_ = hostWindow;
    gInstanceHandle = instance;
    SetInstanceHandle(instance);
    ReadRegistrySettings(settings_);
    ApplyOverrides(options_.overrides, settings_);
    // No sleeping on the virtual clock; the frame cap is for the standalone modes.
    if (!IsVirtualClock())
        pacer_.Configure(options_.delayUs, options_.Hosted() ? 0 : ReadKeyValue(KeyValue::FrameLimit));
    renderScale_ = ChooseRenderScale(options_.renderScale, ReadKeyValue(KeyValue::RenderScale));
    if (options_.showFps) settings_.showFps = true;
    if (options_.showTime != 0) {
        settings_.showTime = true;
        settings_.timeStyle = options_.showTime == 24;
    }
    Log("", "Log started \n");
    const StartupSteps startup;

    if (!CreateApplicationWindow()) return false;
    startup.Step("window");

    if (mode_ == LaunchMode::Preview) {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
        previewHold_ = true;
        PostMessageA(GetWindow(), WM_USER, 0, 0);
        MSG msg;
        while (previewHold_) {
            if (GetMessageA(&msg, GetWindow(), 0, 0) == 0) {
                PostQuitMessage(0);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return true;
    }

    Session().SetGamma(settings_.gamma);
    if (mode_ != LaunchMode::Configure && !Create(instance, GetWindow())) {
        Log("", "Error: Application::Create(hInstance) failed\n");
        return false;
    }

    if (mode_ == LaunchMode::Configure) return RunSettingsDialog();

    const bool selected = options_.windowed || options_.Hosted() ? SelectSettings(false)
                          : settings_.useDesktop ? SwitchToFullscreen(0, 0)
                                                 : SwitchToFullscreen(settings_.width, settings_.height, settings_.depth);
    if (!selected) {
        Log("", "Error: Application::SetMode() failed\n");
        return false;
    }
    startup.Step("device");

    // A host's window keeps the cursor the host gave it.
    if (!options_.Hosted()) {
        ShowCursor(FALSE);
        cursorHidden_ = true;
    }

    MountArchive();

    RECT client{};
    GetClientRect(GetWindow(), &client);
    SetScreenScale(static_cast<float>(client.right - client.left) / 1024.0f);

    // The loading screen sets device states directly; the state cache forgets what it knew.
    loadingScreen_ = std::make_unique<LoadingScreen>();
    loadingScreen_->Show(*this, 1.0f);
    ResetStateCache();
    startup.Step("loading screen shown");

    LoadSceneSettings(settings_.particleCount, settings_.windVelocity);
    Log("", "Application created\n");

    snowscape_ = options_.cameraPath.empty()
                     ? std::make_unique<Snowscape>()
                     : std::make_unique<Snowscape>(std::vector<String>{String(options_.cameraPath.c_str())});
    if (!snowscape_->Create()) return false;
    startup.Step("scene, roles and snow");

    overlay_ = std::make_unique<TextOverlay>();
    overlay_->LoadFonts();
    if (settings_.showFps) overlay_->CreateFpsText();
    if (settings_.showTime) overlay_->CreateClockText(settings_.timeStyle, ScreenScale());

    input_.Start(true, kInputCooperation, kInputCooperation);
    input_.AddListener(this);

    {
        const ClientArea client = GetClientArea();
        startup.Step("fonts, labels and input");
        snowscape_->WarmUp(client.width, client.height);
        startup.Step("warm-up draw");
    }
    if (!options_.silent && settings_.music && settings_.volume != 0) music_.Start(GetWindow(), settings_.volume);
    snowscape_->Start();
    runStopwatch_.Restart();

    loadingScreen_->FadeOut(*this);
    startup.Step("music and the loading screen's fade");
    loadingScreen_.reset();
    ResetStateCache();
    // Loading is over: the heap's freed buffers go back to the system.
    ReturnFreeMemory();
    return true;
}

void Application::LogHostSize() {
    RECT client{};
    if (!options_.Hosted() || !GetClientRect(GetWindow(), &client)) return;
    Log("", String("Host window ") + String::FromInt(client.right) + "x" + String::FromInt(client.bottom) + "\n");
}

bool Application::RunSettingsDialog() {
    if (!DialogHostReady()) {
        std::fprintf(stderr, "frostvale: the settings dialog needs a display (DISPLAY or WAYLAND_DISPLAY)\n");
        return false;
    }
    SettingsDialog dialog(settings_, defaults_, texts_, options_.direct3DFactory);
    if (dialog.Run(DialogOwnerFromId(hostWindow_)) == -1)
        MessageBoxA(nullptr, "The settings dialog cannot be shown.", "Frostvale", MB_OK | MB_ICONERROR);
    return true;
}

void Application::BeginRun() {
    runStartMs_ = NowMilliseconds();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    localTimeOrigin_ = options_.localTime >= 0 ? options_.localTime : now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    frameRate_.Begin(NowMilliseconds());
    textStopwatch_.Restart();
    running_ = true;
}

bool Application::RunIteration() {
    if (!running_) BeginRun();
    MSG msg;
    while (!quitRequested_ && PeekMessageA(&msg, GetWindow(), 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // SIGTERM or SIGINT: the run ends here and shuts down in order.
    if (TerminationSignal() != 0) quitRequested_ = true;
    if (mode_ == LaunchMode::Preview) {
        if (!quitRequested_) pacer_.Idle();
        return !quitRequested_;
    }

    // Keeps the desktop awake: F3 is a key the handler ignores.
    keybd_event(VK_F3, 0, 0, 0);
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F3;
    SendInput(1, &key, sizeof key);
    if (quitRequested_) return false;

    frameRate_.Tick(NowMilliseconds());
    UpdateTexts();

    input_.Update(0);
    input_.Poll();

    if (!IsActive()) {
        pacer_.Idle();
    } else {
        music_.FadeStep();
        DrawMeasuredFrame();
        if (!quitRequested_) pacer_.AfterFrame();
    }
    return !quitRequested_;
}

SYSTEMTIME Application::LocalTime() const {
    SYSTEMTIME now{};
    if (!IsVirtualClock()) {
        GetLocalTime(&now);
        return now;
    }
    constexpr std::int64_t kDay = 24 * 3600;
    const std::int64_t elapsed = (NowMilliseconds() - runStartMs_) / 1000;
    const std::int64_t seconds = ((localTimeOrigin_ + elapsed) % kDay + kDay) % kDay;
    now.wHour = static_cast<WORD>(seconds / 3600);
    now.wMinute = static_cast<WORD>(seconds / 60 % 60);
    now.wSecond = static_cast<WORD>(seconds % 60);
    return now;
}

void Application::UpdateTexts() {
    if (settings_.showFps && textStopwatch_.ElapsedAtLeast(1000)) {
        fpsText_ = String::FromInt(static_cast<std::int32_t>(frameRate_.estimate));
        if (overlay_ != nullptr) overlay_->SetFpsText(fpsText_);
    }
    if (settings_.showTime) {
        const SYSTEMTIME now = LocalTime();
        clockText_ = FormatClockText(now.wHour, now.wMinute, now.wSecond, settings_.timeStyle);
        const ClientArea client = GetClientArea();
        if (overlay_ != nullptr) overlay_->SetClockText(clockText_, client.width, client.height);
    }
}

int Application::Run() {
    BeginRun();
    while (RunIteration()) {
    }
    Shutdown();
    return 1;
}

void Application::Shutdown() {
    music_.Stop();
    overlay_.reset();
    snowscape_.reset();
    ReleaseDevice();
    input_.Stop();
    if (GetWindow() && IsWindow(GetWindow())) DestroyWindow(GetWindow());
    if (cursorHidden_) {
        ShowCursor(TRUE);
        cursorHidden_ = false;
    }
    Log("", "Log closed\n");
    running_ = false;
}

bool Application::DrawFrame() {
    if (!CheckDevice()) return false;
    // The device keeps its scale across resets; one made anew takes it here.
    if (renderScale_ < 1.0f) SetRenderScale(Device(), renderScale_);
    const SceneColor& fog = SceneTuning().fogColor;
    ClearFrame(D3DCOLOR_COLORVALUE(fog.r, fog.g, fog.b, fog.a));
    if (snowscape_ != nullptr && !options_.emptyFrames) {
        const ClientArea client = GetClientArea();
        snowscape_->Draw(client.width, client.height, overlay_.get());
    }
    // Asked to end: the frame is not shown (presenting is where the rasteriser does its work),
    // so a host's SIGTERM is answered sooner.
    if (TerminationSignal() != 0) return false;
    return Present();
}

void Application::DrawMeasuredFrame() {
    FrameRecorder* recorder = options_.recorder;
    if (recorder == nullptr) {
        DrawFrame();
        return;
    }
    recorder->BeginFrame();
    if (!DrawFrame()) return;
    // A frame that cannot be written ends the run as well as the last one does.
    const int flakes = snowscape_ != nullptr ? snowscape_->Snow().DrawnFlakes() : 0;
    if (!recorder->EndFrame(flakes) || recorder->Done()) quitRequested_ = true;
}

LRESULT Application::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (!IsKeptKey(wParam) && !options_.Hosted()) quitRequested_ = true;
            break;
        case WM_EXITSIZEMOVE: {
            // A host resized its window: the device follows in the base; labels scale with it.
            const LRESULT result = WindowProc(window, message, wParam, lParam);
            RECT client{};
            GetClientRect(window, &client);
            SetScreenScale(static_cast<float>(client.right - client.left) / 1024.0f);
            if (overlay_ != nullptr) overlay_->Rescale(settings_.timeStyle, ScreenScale());
            LogHostSize();
            return result;
        }
        case WM_SYSCOMMAND:
            if (wParam == SC_CLOSE || wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW) {
                quitRequested_ = true;
                return 1;
            }
            if (wParam == SC_SCREENSAVE) return 0;
            break;
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUIT:
            quitRequested_ = true;
            return 1;
        case WM_PAINT:
            if (mode_ == LaunchMode::Preview) PaintPreview(window);
            break;
        case WM_USER:
            SetTimer(window, 1, 500, nullptr);
            break;
        case WM_TIMER:
            previewHold_ = false;
            KillTimer(window, 1);
            break;
        default:
            break;
    }
    return WindowProc(window, message, wParam, lParam);
}

void Application::OnInput(int type, float x, float y, float previousX, float previousY, float, float, int) {
    if (options_.Hosted()) return;  // the host decides when a hack ends
    switch (type) {
        case kInputLeftDown:
        case kInputRightDown:
            quitRequested_ = true;
            break;
        case kInputMouseMove:
            if ((x != previousX || y != previousY) && settings_.exitOnMouseMove &&
                runStopwatch_.Elapsed() > kMouseExitDelayMs)
                quitRequested_ = true;
            break;
        default:
            break;
    }
}

void Application::PaintPreview(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) return;
    RECT client{};
    GetClientRect(window, &client);
    // The area the bitmap does not cover (or all of it, without the bitmap) is black.
    FillRect(dc, &client, GetStockObject(BLACK_BRUSH));
    if (HBITMAP bitmap = LoadBitmapA(gInstanceHandle, kPreviewBitmap)) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP previous = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    EndPaint(window, &paint);
}

int RunApplication(HINSTANCE instance, LaunchMode mode, std::int32_t hostWindow, const ShellOptions& options) {
    auto* application = new Application();
    application->SetShellOptions(options);
    InstallTerminationHandlers();
    // A host's hack never holds the desktop's screensaver or display power-off off.
    const bool holdOffSaver = !options.Hosted();
    if (holdOffSaver) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, nullptr, 0);
    SeedRandom(options.fixedSeed ? options.seed : static_cast<std::uint32_t>(NowMilliseconds() % 0x8000));
    int result = 0;
    if (application->Start(instance, mode, hostWindow)) {
        if (options.recorder != nullptr) options.recorder->Attach(application->Device());
        result = mode == LaunchMode::Configure ? 1 : application->Run();
    }
    if (holdOffSaver) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0);
    delete application;
    return result;
}

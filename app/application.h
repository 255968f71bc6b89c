#pragma once
// The application: the one object that owns a run of the screensaver. It is the device
// window (its message handler decides which input ends the run) and an input listener
// (a click ends it; a mouse move ends it with ExitOnMM on, after the first second).
//
// Lifecycle: constructed -> Start (true) -> Run -> destroyed. Configure and Password
// end after Start. quitRequested, once set, stays set.

#include "app/command_line.h"
#include "app/default_settings.h"
#include "app/frame_pacing.h"
#include "app/frame_recorder.h"
#include "app/saver_options.h"
#include "app/music.h"
#include "app/settings.h"
#include "app/settings_dialog.h"
#include "app/text_table.h"
#include "core/byte_string.h"
#include "core/clock.h"
#include "platform/win/system.h"
#include "render/device_window.h"
#include "render/input_devices.h"
#include "render/loading_screen.h"
#include "snowscape/snowscape.h"
#include "snowscape/text_overlay.h"

#include <cstdint>
#include <memory>

// Frames per second from a 64-bit millisecond clock, in integer arithmetic: within a
// one-second window the estimate is count x 1000 / elapsed; when the window is over the
// estimate becomes the window's count and a new window starts with the frame that ended it.
struct FrameRateCounter {
    std::int64_t windowStart = 0;
    std::int64_t count = 0;
    std::int64_t estimate = 0;

    void Begin(std::int64_t now);
    void Tick(std::int64_t now);
};

// The clock text: "H:MM:SS " and the suffix ("am"/"pm" in the 12-hour style, none in the
// 24-hour style).
String FormatClockText(int hour, int minute, int second, bool twentyFourHour);

// Choices from the long options of the command line.
struct ShellOptions {
    bool windowed = false;      // Saver and Test run in an ordinary window
    int windowWidth = 0;        // the window's client size; 0 = Width x Height of the settings
    int windowHeight = 0;
    bool fixedSeed = false;     // seed the random generator with seed instead of the clock
    std::uint32_t seed = 0;
    FrameRecorder* recorder = nullptr;  // measures (and records) every drawn frame
    std::string cameraPath;     // fly only this path of the media; empty: the scene's list
    // Hack mode: draw into this X11 window of a screensaver host (0: a window of our own).
    // The host decides when the run ends: no input ends it, and the desktop's screensaver
    // is never held off.
    std::uint64_t hostWindowId = 0;
    long long delayUs = 0;      // sleep after each frame
    std::vector<SettingOverride> overrides;  // settings for this run, over the stored ones

    bool Hosted() const { return hostWindowId != 0; }

    bool showFps = false;       // the frame-rate text whatever the settings say
    int showTime = 0;           // 12 or 24: the clock in that form whatever the settings say
    int localTime = -1;         // on the virtual clock: the clock's first time, seconds of the day
    bool silent = false;        // no music, whatever the settings say (headless recording)
    bool emptyFrames = false;   // frames only clear and present: the machine's ceiling
    float renderScale = 0;      // --scale: the scene at this fraction of the size; 0: the RenderScale setting
    SettingsDialog::Direct3DFactory direct3DFactory;  // lists the settings dialog's modes; empty: the real one
};

class Application : public DeviceWindow, public InputListener {
public:
    static constexpr int kPreviewBitmap = 173;
    static constexpr std::int64_t kMouseExitDelayMs = 1000;

    Application();
    ~Application() override;

    // The published instance (null when none).
    static Application* Instance();

    bool Start(HINSTANCE instance, LaunchMode mode, std::int32_t hostWindow);
    // Runs until quitRequested; always 1.
    int Run();
    // One pass of the loop (messages, frame-rate bookkeeping, input, one frame); false
    // once quitRequested is set. Run calls it; tests and headless drivers may too.
    bool RunIteration();
    // Draws one frame; false when nothing was drawn.
    bool DrawFrame();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInput(int type, float x, float y, float previousX, float previousY, float dx, float dy,
                 int extra) override;

    void SetShellOptions(const ShellOptions& options) { options_ = options; }
    bool QuitRequested() const { return quitRequested_; }
    bool PreviewHold() const { return previewHold_; }
    LaunchMode Mode() const { return mode_; }
    Settings& GetSettings() { return settings_; }
    const FrameRateCounter& FrameRate() const { return frameRate_; }
    const String& FpsText() const { return fpsText_; }
    const String& ClockText() const { return clockText_; }
    TextOverlay* Overlay() const { return overlay_.get(); }
    InputDevices& Input() { return input_; }
    const FramePacer& Pacer() const { return pacer_; }
    const Music& GetMusic() const { return music_; }

private:
    bool CreateApplicationWindow();
    // Configure: the settings dialog, owned by the host window; false without a display.
    bool RunSettingsDialog();
    void PaintPreview(HWND window);
    // Hack mode: "Host window WxH" to the log (at start and after each size change).
    void LogHostSize();
    void BeginRun();
    // Draws one frame, measured by the recorder when there is one.
    void DrawMeasuredFrame();
    void UpdateTexts();
    // The local time; on the virtual clock it starts at the chosen (or the real) time of day
    // when the run begins and advances with the clock.
    SYSTEMTIME LocalTime() const;
    void Shutdown();

    Settings settings_;
    DefaultSettings defaults_;
    TextTable texts_;
    ShellOptions options_;
    LaunchMode mode_ = LaunchMode::Saver;
    std::int32_t hostWindow_ = 0;
    bool quitRequested_ = false;
    bool previewHold_ = false;
    bool cursorHidden_ = false;
    bool running_ = false;
    InputDevices input_{this};
    std::unique_ptr<LoadingScreen> loadingScreen_;  // from start-up until its fade-out
    std::unique_ptr<Snowscape> snowscape_;
    std::unique_ptr<TextOverlay> overlay_;
    std::int64_t localTimeOrigin_ = 0;  // seconds of the day when the run began (virtual clock)
    std::int64_t runStartMs_ = 0;
    Music music_;
    Stopwatch runStopwatch_;
    Stopwatch textStopwatch_;
    FrameRateCounter frameRate_;
    FramePacer pacer_;
    float renderScale_ = 1.0f;  // the scene drawn at this fraction of the size, stretched
    String fpsText_ = "100";
    String clockText_ = "11";
};

// Creates and publishes the application, sets the screensaver-running flag, seeds the
// shared random generator, starts and runs; clears the flag and destroys the application
// on every path. The process exit code: 0 when the start failed, 1 after Configure,
// otherwise Run's result.
int RunApplication(HINSTANCE instance, LaunchMode mode, std::int32_t hostWindow, const ShellOptions& options = {});

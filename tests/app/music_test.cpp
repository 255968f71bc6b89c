// The music of a run, on SDL's dummy audio driver: the fade-in, the module file that lives
// exactly as long as the run however it ends, the settings that keep it off, and the one
// process per session that plays.

#include "app/application.h"
#include "app/music_library.h"
#include "core/clock.h"
#include "platform/win/input_injection.h"
#include "platform/win/library.h"
#include "platform/win/message_queue.h"
#include "tests/app/config_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        base_ = ::testing::TempDir() + "/frostvale-music-" + std::to_string(getpid());
        for (const char* sub : {"tmp", "run"}) fs::create_directories(base_ + "/" + sub);
        setenv("TMPDIR", (base_ + "/tmp").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (base_ + "/run").c_str(), 1);
        UseVirtualClock(50000, 0.0);
        ResetMessageQueue();
    }
    void TearDown() override {
        app_.reset();
        ResetMessageQueue();
        UseMonotonicClock();
        fs::remove_all(base_);
    }
    void Start(const std::string& settings = "") {
        home_.WriteSettings(settings);
        app_.reset();  // one application at a time: the window procedure forwards to it
        app_ = std::make_unique<Application>();
        ShellOptions options;
        options.windowed = true;
        app_->SetShellOptions(options);
        ASSERT_TRUE(app_->Start(nullptr, LaunchMode::Test, 0));
    }
    std::vector<fs::path> ModuleFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(base_ + "/tmp"))
            if (entry.path().filename().string().rfind("bas", 0) == 0) files.push_back(entry.path());
        return files;
    }

    ConfigHome home_;
    std::string base_;
    std::unique_ptr<Application> app_;
};

}  // namespace

// The volume follows the time since the music started, set on each drawn frame: 0 rising to
// the Volume setting over four seconds, then held.
TEST_F(MusicTest, FadesInOverFourSecondsOfDrawnFrames) {
    Start("Volume=75\n");
    ASSERT_NE(app_->GetMusic().Sample(), 0u);
    auto volume = reinterpret_cast<audio::GetConfigFn>(GetProcAddress(MusicLibraryHandle(), audio::kGetConfigName));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume(audio::kConfigSampleVolume), 0u);
    const std::pair<std::int64_t, std::uint32_t> cases[] = {{0, 0}, {1000, 18}, {2000, 37}, {3999, 74}, {4000, 75}, {60000, 75}};
    for (const auto& [ms, expected] : cases) {
        SetVirtualTime(50000 + ms);
        app_->RunIteration();
        EXPECT_EQ(volume(audio::kConfigSampleVolume), expected) << ms;
    }
    // No frame drawn, no step: the volume waits for the next drawn frame.
    SendMessageA(app_->GetWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetVirtualTime(50000);
    app_->RunIteration();
    EXPECT_EQ(volume(audio::kConfigSampleVolume), 75u);
}

TEST_F(MusicTest, ModuleFileLivesExactlyAsLongAsTheRun) {
    for (const bool run : {true, false}) {  // ended by a key, or destroyed as after a failed start
        Start();
        const std::vector<fs::path> files = ModuleFiles();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].string(), MusicLibraryPath());
        struct stat info {};
        ASSERT_EQ(stat(files[0].c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        if (run) {
            InjectKey(app_->GetWindow(), 'A', true);
            app_->Run();
        } else {
            app_.reset();
        }
        EXPECT_TRUE(ModuleFiles().empty()) << run;
        EXPECT_EQ(MusicLibraryHandle(), nullptr) << run;
    }
}

TEST_F(MusicTest, MusicOffOrVolumeZeroLoadsNothing) {
    for (const char* settings : {"Volume=0\n", "Music=0\n"}) {
        Start(settings);
        EXPECT_EQ(MusicLibraryHandle(), nullptr) << settings;
        EXPECT_TRUE(ModuleFiles().empty()) << settings;
    }
}

// Hosts start one process per monitor; while another process of the session holds the music
// lock, this one stays silent, writes no module, and runs its frames as usual.
TEST_F(MusicTest, OnlyOneProcessOfTheSessionPlays) {
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        SessionLock lock;
        const char taken = lock.TryTake(Music::kSessionLockName) == SessionLock::Result::Taken ? 'y' : 'n';
        char go;
        if (write(ready[1], &taken, 1) == 1) (void)!read(release[0], &go, 1);
        _exit(0);
    }
    char taken = 0;
    ASSERT_EQ(read(ready[0], &taken, 1), 1);
    ASSERT_EQ(taken, 'y');
    Start();
    EXPECT_FALSE(app_->GetMusic().Loaded());
    EXPECT_TRUE(ModuleFiles().empty());
    SetVirtualTime(52000);
    EXPECT_TRUE(app_->RunIteration());
    ASSERT_EQ(write(release[1], "x", 1), 1);
    ASSERT_EQ(waitpid(other, nullptr, 0), other);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

// The real program ended by SIGTERM shuts down in order: the module file is gone, and the
// process still dies by that signal.
TEST_F(MusicTest, SigtermRemovesTheModuleFile) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(FV_BINARY_DIR "/app/frostvale", "frostvale", "--window", static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ModuleFiles().empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ModuleFiles().size(), 1u);
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_TRUE(ModuleFiles().empty());
}

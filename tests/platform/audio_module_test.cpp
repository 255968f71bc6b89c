// The built audio module, loaded by name as the program loads it, on SDL's dummy driver.

#include "platform/audio/audio_module.h"
#include "platform/win/library.h"
#include "tests/platform/wav_test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>

namespace {

int ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<int>(std::distance(tasks, std::filesystem::directory_iterator{}));
}

class AudioModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        threadsBefore_ = ThreadCount();
        module_ = LoadLibraryA(FV_BINARY_DIR "/audio/libfrostvale_audio.so");
        ASSERT_NE(module_, nullptr) << LastLibraryError();
        init_ = reinterpret_cast<audio::InitFn>(GetProcAddress(module_, audio::kInitName));
        load_ = reinterpret_cast<audio::SampleLoadFn>(GetProcAddress(module_, audio::kSampleLoadName));
        channel_ = reinterpret_cast<audio::SampleGetChannelFn>(GetProcAddress(module_, audio::kSampleGetChannelName));
        play_ = reinterpret_cast<audio::ChannelPlayFn>(GetProcAddress(module_, audio::kChannelPlayName));
        free_ = reinterpret_cast<audio::FreeFn>(GetProcAddress(module_, audio::kFreeName));
        ASSERT_TRUE(init_ && load_ && channel_ && play_ && free_);
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    // Loads a looping sample from a copy of wav and plays it; the sample handle.
    std::uint32_t Play(const std::vector<std::uint8_t>& wav) {
        std::vector<std::uint8_t> copy = wav;
        const std::uint32_t sample = load_(1, copy.data(), 0, static_cast<std::uint32_t>(copy.size()), 20, audio::kSampleLoop);
        if (sample != 0) play_(channel_(sample, 1), 1);
        return sample;
    }

    HMODULE module_ = nullptr;
    int threadsBefore_ = 0;
    audio::InitFn init_ = nullptr;
    audio::SampleLoadFn load_ = nullptr;
    audio::SampleGetChannelFn channel_ = nullptr;
    audio::ChannelPlayFn play_ = nullptr;
    audio::FreeFn free_ = nullptr;
};

}  // namespace

TEST_F(AudioModuleTest, PlaysUntilFreeJoinsItsThread) {
    const std::vector<std::uint8_t> wav = MakeWav({.data = Pcm16({1, 2, 3, 4})});
    EXPECT_EQ(Play(wav), 0u);  // nothing works before Init
    ASSERT_EQ(init_(audio::kDeviceDefault, 44100, audio::kInit3D, nullptr, nullptr), 1);
    EXPECT_EQ(init_(audio::kDeviceNoSound, 44100, 0, nullptr, nullptr), 0);  // once only
    EXPECT_GT(ThreadCount(), threadsBefore_);

    std::vector<std::uint8_t> lying = wav;
    lying[40] = 0xFF;  // the data chunk claims more than there is
    EXPECT_EQ(Play(lying), 0u);
    EXPECT_NE(Play(wav), 0u);
    auto setConfig = reinterpret_cast<audio::SetConfigFn>(GetProcAddress(module_, audio::kSetConfigName));
    auto getConfig = reinterpret_cast<audio::GetConfigFn>(GetProcAddress(module_, audio::kGetConfigName));
    EXPECT_EQ(setConfig(audio::kConfigSampleVolume, 37), 1);
    EXPECT_EQ(getConfig(audio::kConfigSampleVolume), 37u);

    EXPECT_EQ(free_(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore_);
    // Without any output the silent device takes everything and plays nowhere.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(init_(audio::kDeviceDefault, 44100, audio::kInit3D, nullptr, nullptr), 0);
    ASSERT_EQ(init_(audio::kDeviceNoSound, 44100, 0, nullptr, nullptr), 1);
    EXPECT_NE(Play(wav), 0u);
    EXPECT_EQ(ThreadCount(), threadsBefore_);
    EXPECT_EQ(free_(), 1);
}

// Unloaded while it plays, without Free: its destructor closes the device and joins the
// mixing thread before the code is unmapped, so nothing is left running into freed code.
TEST_F(AudioModuleTest, UnloadWithoutFreeLeavesNoThread) {
    ASSERT_EQ(init_(audio::kDeviceDefault, 44100, 0, nullptr, nullptr), 1);
    ASSERT_NE(Play(MakeWav({.data = Pcm16(std::vector<std::int16_t>(4410, 1000))})), 0u);
    ASSERT_GT(ThreadCount(), threadsBefore_);
    FreeLibrary(module_);
    module_ = nullptr;
    EXPECT_EQ(ThreadCount(), threadsBefore_);
}

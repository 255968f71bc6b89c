// The built audio module, loaded by name as the program loads it, on SDL's dummy driver:
// its operations, and unloading that leaves no mixing thread behind, with or without Free.

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
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    template <typename Function>
    Function Get(const char* name) {
        return reinterpret_cast<Function>(GetProcAddress(module_, name));
    }
    void Unload() {
        FreeLibrary(module_);
        module_ = nullptr;
    }

    HMODULE module_ = nullptr;
    int threadsBefore_ = 0;
};

}  // namespace

TEST_F(AudioModuleTest, OperationsOnARealDevice) {
    auto init = Get<audio::InitFn>(audio::kInitName);
    auto setConfig = Get<audio::SetConfigFn>(audio::kSetConfigName);
    auto getConfig = Get<audio::GetConfigFn>(audio::kGetConfigName);
    auto load = Get<audio::SampleLoadFn>(audio::kSampleLoadName);
    auto channel = Get<audio::SampleGetChannelFn>(audio::kSampleGetChannelName);
    auto play = Get<audio::ChannelPlayFn>(audio::kChannelPlayName);
    auto free = Get<audio::FreeFn>(audio::kFreeName);
    ASSERT_TRUE(init && setConfig && getConfig && load && channel && play && free);
    ASSERT_NE(Get<audio::Set3DFactorsFn>(audio::kSet3DFactorsName), nullptr);
    ASSERT_NE(Get<audio::Apply3DFn>(audio::kApply3DName), nullptr);

    EXPECT_EQ(load(1, nullptr, 0, 0, 1, 0), 0u);  // nothing works before Init
    ASSERT_EQ(init(audio::kDeviceDefault, 44100, audio::kInit3D, nullptr, nullptr), 1);
    EXPECT_EQ(init(audio::kDeviceNoSound, 44100, 0, nullptr, nullptr), 0);  // once only
    EXPECT_GT(ThreadCount(), threadsBefore_);  // the mixing thread runs

    EXPECT_EQ(setConfig(audio::kConfigSampleVolume, 37), 1);
    EXPECT_EQ(getConfig(audio::kConfigSampleVolume), 37u);
    EXPECT_EQ(setConfig(99, 1), 0);

    const std::vector<std::uint8_t> wav = MakeWav({.data = Pcm16({1, 2, 3, 4})});
    std::vector<std::uint8_t> lying = wav;
    lying[40] = 0xFF;  // the data chunk claims more than there is
    EXPECT_EQ(load(1, lying.data(), 0, static_cast<std::uint32_t>(lying.size()), 20, audio::kSampleLoop), 0u);
    EXPECT_EQ(load(1, wav.data(), 0, static_cast<std::uint32_t>(wav.size() - 1), 20, audio::kSampleLoop), 0u);
    std::vector<std::uint8_t> shifted(3, 0);
    shifted.insert(shifted.end(), wav.begin(), wav.end());
    const std::uint32_t sample =
        load(1, shifted.data(), 3, static_cast<std::uint32_t>(wav.size()), 20, audio::kSampleLoop);
    ASSERT_NE(sample, 0u);
    EXPECT_EQ(play(channel(sample, 1), 1), 1);

    EXPECT_EQ(free(), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore_);
    EXPECT_EQ(free(), 0);
    // After Free the module starts again, here on the silent device.
    EXPECT_EQ(init(audio::kDeviceNoSound, 44100, 0, nullptr, nullptr), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore_);
    EXPECT_EQ(free(), 1);
}

// Unloaded while it plays, without Free: its destructor closes the device and joins the
// mixing thread before the code is unmapped, so nothing is left running into freed code.
TEST_F(AudioModuleTest, UnloadWithoutFreeLeavesNoThread) {
    auto init = Get<audio::InitFn>(audio::kInitName);
    auto load = Get<audio::SampleLoadFn>(audio::kSampleLoadName);
    ASSERT_EQ(init(audio::kDeviceDefault, 44100, 0, nullptr, nullptr), 1);
    const std::vector<std::uint8_t> wav = MakeWav({.data = Pcm16(std::vector<std::int16_t>(4410, 1000))});
    const std::uint32_t sample = load(1, wav.data(), 0, static_cast<std::uint32_t>(wav.size()), 1, audio::kSampleLoop);
    ASSERT_NE(sample, 0u);
    Get<audio::ChannelPlayFn>(audio::kChannelPlayName)(Get<audio::SampleGetChannelFn>(audio::kSampleGetChannelName)(sample, 1), 1);
    ASSERT_GT(ThreadCount(), threadsBefore_);
    Unload();
    EXPECT_EQ(ThreadCount(), threadsBefore_);
}

// Without any output the silent device takes everything and plays nowhere.
TEST_F(AudioModuleTest, SilentDeviceWhenNoOutputOpens) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto init = Get<audio::InitFn>(audio::kInitName);
    ASSERT_EQ(init(audio::kDeviceDefault, 44100, audio::kInit3D, nullptr, nullptr), 0);
    ASSERT_EQ(init(audio::kDeviceNoSound, 44100, 0, nullptr, nullptr), 1);
    const std::vector<std::uint8_t> wav = MakeWav({.bits = 8, .data = {1, 2, 3}});
    const std::uint32_t sample =
        Get<audio::SampleLoadFn>(audio::kSampleLoadName)(1, wav.data(), 0, static_cast<std::uint32_t>(wav.size()), 20, 0);
    ASSERT_NE(sample, 0u);
    EXPECT_EQ(Get<audio::ChannelPlayFn>(audio::kChannelPlayName)(
                  Get<audio::SampleGetChannelFn>(audio::kSampleGetChannelName)(sample, 1), 1), 1);
    EXPECT_EQ(ThreadCount(), threadsBefore_);
    EXPECT_EQ(Get<audio::FreeFn>(audio::kFreeName)(), 1);
}

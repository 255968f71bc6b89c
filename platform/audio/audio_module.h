#pragma once
// The interface of the audio module (libfrostvale_audio.so): the names the program resolves
// at run time and the signatures behind them. Every operation returns non-zero on success.
//
// Lifecycle: Init (a real output device, or the silent device, which accepts everything and
// plays nothing) -> samples loaded, channels made and played -> Free, which closes the device
// and joins its mixing thread. Free must run before the module is unloaded; the module's
// destructor does it as a safety net.

#include <cstdint>

namespace audio {

constexpr int kDeviceNoSound = 0;  // the silent device
constexpr int kDeviceDefault = 1;  // the system's default output

constexpr std::uint32_t kInit3D = 4;            // Init flag: 3D support (accepted, not needed)
constexpr std::uint32_t kConfigSampleVolume = 4;  // SetConfig option: global sample volume 0 … 100
constexpr std::uint32_t kSampleLoop = 4;        // SampleLoad flag: loop the sample
constexpr std::uint32_t kConfigUnknown = 0xFFFFFFFFu;  // GetConfig of an unknown option

using InitFn = int (*)(int device, std::uint32_t frequency, std::uint32_t flags, void* window,
                       const void* classId);
using Set3DFactorsFn = int (*)(float distance, float rollOff, float doppler);
using Apply3DFn = void (*)();
using SetConfigFn = int (*)(std::uint32_t option, std::uint32_t value);
using GetConfigFn = std::uint32_t (*)(std::uint32_t option);
// From memory (fromMemory true): file points at the WAV file's bytes, offset into them,
// length bytes long; the module keeps its own copy. 0 on failure.
using SampleLoadFn = std::uint32_t (*)(int fromMemory, const void* file, std::uint64_t offset,
                                       std::uint32_t length, std::uint32_t maxPlaybacks, std::uint32_t flags);
// onlyNew: a new channel or none (0) when maxPlaybacks are taken; otherwise an idle or the
// oldest channel is taken over.
using SampleGetChannelFn = std::uint32_t (*)(std::uint32_t sample, int onlyNew);
using ChannelPlayFn = int (*)(std::uint32_t channel, int restart);
using FreeFn = int (*)();

constexpr const char kInitName[] = "FrostvaleAudioInit";
constexpr const char kSet3DFactorsName[] = "FrostvaleAudioSet3DFactors";
constexpr const char kApply3DName[] = "FrostvaleAudioApply3D";
constexpr const char kSetConfigName[] = "FrostvaleAudioSetConfig";
constexpr const char kGetConfigName[] = "FrostvaleAudioGetConfig";
constexpr const char kSampleLoadName[] = "FrostvaleAudioSampleLoad";
constexpr const char kSampleGetChannelName[] = "FrostvaleAudioSampleGetChannel";
constexpr const char kChannelPlayName[] = "FrostvaleAudioChannelPlay";
constexpr const char kFreeName[] = "FrostvaleAudioFree";

}  // namespace audio

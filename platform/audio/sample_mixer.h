#pragma once
// Samples, their channels and the global sample volume, mixed into the device's format:
// interleaved stereo 16-bit at the device rate. A sample keeps its own rate and channel count
// and is resampled while it is mixed (linear interpolation on a 32.32 fixed-point position);
// a looping sample interpolates across its end into its start, so the loop has no seam.
//
// Thread-safe: the mixing thread calls Mix while the control thread loads and plays. The
// volume is read once per Mix and ramped across that block, so changes never click.

#include "platform/audio/wav_reader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace audio {

class SampleMixer {
public:
    static constexpr int kMaxSamples = 16;
    static constexpr int kMaxPlaybacksLimit = 64;

    explicit SampleMixer(int outputRate);

    int OutputRate() const { return outputRate_; }
    // A handle (non-zero), or 0 when every sample slot is taken.
    std::uint32_t AddSample(WavSound sound, bool loop, std::uint32_t maxPlaybacks);
    std::uint32_t NewChannel(std::uint32_t sample, bool onlyNew);
    bool Play(std::uint32_t channel, bool restart);
    bool IsPlaying(std::uint32_t channel) const;
    // Drops every sample and channel.
    void Clear();

    void SetVolume(int volume);  // clamped to 0 … 100
    int Volume() const { return volume_.load(); }

    // Fills frames stereo frames (2 x frames values).
    void Mix(std::int16_t* out, int frames);

private:
    struct Channel {
        std::uint64_t position = 0;  // source frames, 32.32 fixed point
        std::uint64_t startedAt = 0; // order of starts, to take over the oldest
        bool playing = false;
    };
    struct Sample {
        WavSound sound;
        bool loop = false;
        std::uint32_t maxPlaybacks = 1;
        std::uint64_t step = 0;      // source frames per output frame, 32.32 fixed point
        std::vector<Channel> channels;
    };

    Sample* FindSample(std::uint32_t handle);
    Channel* FindChannel(std::uint32_t handle);
    const Channel* FindChannel(std::uint32_t handle) const;
    // Adds one channel's next frames into the float accumulator; false once it has ended.
    static bool MixChannel(const Sample& sample, Channel& channel, float* sum, int frames);

    const int outputRate_;
    mutable std::mutex mutex_;
    std::unique_ptr<Sample> samples_[kMaxSamples];
    std::uint64_t starts_ = 0;
    std::atomic<int> volume_{100};
    int mixedVolume_ = -1;  // the volume the last mix ended at; -1 before the first (mixing thread only)
};

}  // namespace audio

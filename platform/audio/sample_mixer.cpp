#include "platform/audio/sample_mixer.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

constexpr int kBlockFrames = 256;
constexpr std::uint32_t kSampleShift = 16;  // handle = (slot + 1) << 16 | channel index + 1
constexpr std::uint32_t kChannelMask = 0xFFFF;

int Slot(std::uint32_t handle) { return static_cast<int>(handle >> kSampleShift) - 1; }

}  // namespace

SampleMixer::SampleMixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

std::uint32_t SampleMixer::AddSample(WavSound sound, bool loop, std::uint32_t maxPlaybacks) {
    if (sound.rate <= 0 || sound.FrameCount() == 0) return 0;
    auto sample = std::make_unique<Sample>();
    sample->loop = loop;
    sample->maxPlaybacks = std::clamp<std::uint32_t>(maxPlaybacks, 1, kMaxPlaybacksLimit);
    sample->step = (static_cast<std::uint64_t>(sound.rate) << 32) / static_cast<std::uint64_t>(outputRate_);
    sample->sound = std::move(sound);
    std::lock_guard lock(mutex_);
    for (int slot = 0; slot < kMaxSamples; ++slot) {
        if (samples_[slot] == nullptr) {
            samples_[slot] = std::move(sample);
            return static_cast<std::uint32_t>(slot + 1) << kSampleShift;
        }
    }
    return 0;
}

SampleMixer::Sample* SampleMixer::FindSample(std::uint32_t handle) {
    const int slot = Slot(handle);
    return slot >= 0 && slot < kMaxSamples ? samples_[slot].get() : nullptr;
}

SampleMixer::Channel* SampleMixer::FindChannel(std::uint32_t handle) {
    Sample* sample = FindSample(handle);
    const std::uint32_t index = handle & kChannelMask;
    if (sample == nullptr || index == 0 || index > sample->channels.size()) return nullptr;
    return &sample->channels[index - 1];
}

const SampleMixer::Channel* SampleMixer::FindChannel(std::uint32_t handle) const {
    return const_cast<SampleMixer*>(this)->FindChannel(handle);
}

std::uint32_t SampleMixer::NewChannel(std::uint32_t sample, bool onlyNew) {
    if ((sample & kChannelMask) != 0) return 0;
    std::lock_guard lock(mutex_);
    Sample* owner = FindSample(sample);
    if (owner == nullptr) return 0;
    std::size_t index = owner->channels.size();
    if (index >= owner->maxPlaybacks) {
        if (onlyNew) return 0;
        // Take over an idle channel, else the one that has played longest.
        auto taken = std::find_if(owner->channels.begin(), owner->channels.end(),
                                  [](const Channel& c) { return !c.playing; });
        if (taken == owner->channels.end())
            taken = std::min_element(owner->channels.begin(), owner->channels.end(),
                                     [](const Channel& a, const Channel& b) { return a.startedAt < b.startedAt; });
        *taken = Channel{};
        index = static_cast<std::size_t>(taken - owner->channels.begin());
    } else {
        owner->channels.emplace_back();
    }
    return sample | static_cast<std::uint32_t>(index + 1);
}

bool SampleMixer::Play(std::uint32_t channel, bool restart) {
    std::lock_guard lock(mutex_);
    Channel* playing = FindChannel(channel);
    if (playing == nullptr) return false;
    if (restart || !playing->playing) {
        if (restart) playing->position = 0;
        playing->startedAt = ++starts_;
    }
    playing->playing = true;
    return true;
}

bool SampleMixer::IsPlaying(std::uint32_t channel) const {
    std::lock_guard lock(mutex_);
    const Channel* found = FindChannel(channel);
    return found != nullptr && found->playing;
}

void SampleMixer::Clear() {
    std::lock_guard lock(mutex_);
    for (auto& sample : samples_) sample.reset();
}

void SampleMixer::SetVolume(int volume) { volume_.store(std::clamp(volume, 0, 100)); }

bool SampleMixer::MixChannel(const Sample& sample, Channel& channel, float* sum, int frames) {
    const std::int16_t* data = sample.sound.frames.data();
    const std::uint64_t count = sample.sound.FrameCount();
    const std::uint64_t end = count << 32;
    const bool stereo = sample.sound.channels == 2;
    for (int i = 0; i < frames; ++i) {
        if (channel.position >= end) {
            if (!sample.loop) return false;
            channel.position -= end;
        }
        const std::uint64_t at = channel.position >> 32;
        // The frame after the last is the first again for a loop, silence otherwise.
        const std::uint64_t next = at + 1 < count ? at + 1 : 0;
        const bool haveNext = at + 1 < count || sample.loop;
        const float t = static_cast<float>(channel.position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        for (int c = 0; c < 2; ++c) {
            const int source = stereo ? c : 0;
            const float a = data[at * sample.sound.channels + source];
            const float b = haveNext ? data[next * sample.sound.channels + source] : 0.0f;
            sum[2 * i + c] += a + (b - a) * t;
        }
        channel.position += sample.step;
    }
    return true;
}

void SampleMixer::Mix(std::int16_t* out, int frames) {
    float sum[2 * kBlockFrames];
    std::lock_guard lock(mutex_);
    const int target = volume_.load();
    // With nothing playing the volume jumps: a ramp is only needed over sound.
    bool anyPlaying = false;
    for (const auto& sample : samples_)
        if (sample != nullptr)
            for (const Channel& channel : sample->channels) anyPlaying |= channel.playing;
    const int from = anyPlaying && mixedVolume_ >= 0 ? mixedVolume_ : target;
    mixedVolume_ = target;
    for (int done = 0; done < frames;) {
        const int block = std::min(kBlockFrames, frames - done);
        std::fill(sum, sum + 2 * block, 0.0f);
        for (auto& sample : samples_) {
            if (sample == nullptr) continue;
            for (Channel& channel : sample->channels)
                if (channel.playing && !MixChannel(*sample, channel, sum, block)) channel.playing = false;
        }
        for (int i = 0; i < block; ++i) {
            // The gain moves from the last block's volume to the new one across this call.
            const float along = static_cast<float>(done + i + 1) / static_cast<float>(frames);
            const float gain = (static_cast<float>(from) + static_cast<float>(target - from) * along) / 100.0f;
            for (int c = 0; c < 2; ++c) {
                const float value = std::clamp(sum[2 * i + c] * gain, -32768.0f, 32767.0f);
                out[2 * (done + i) + c] = static_cast<std::int16_t>(std::lrint(value));
            }
        }
        done += block;
    }
}

}  // namespace audio

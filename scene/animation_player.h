#pragma once
// AnimationPlayer: turns the shared millisecond clock into animation time and applies a
// transform animation to a target. The player is the only part of the animation layer
// that reads the clock; every call also has a form that takes the time in milliseconds.

#include "scene/transform_animation.h"

#include <cstdint>

constexpr std::uint32_t kPlayerLoop = 2;   // time wraps into the range
constexpr std::uint32_t kPlayerClamp = 4;  // time is held inside the range (wins over loop)

class AnimationPlayer {
public:
    // Binds an animation the player does not own (null unbinds) and reads its range.
    void Bind(const TransformAnimation* animation);
    const TransformAnimation* Animation() const { return animation_; }

    void Start() { Start(NowMs()); }
    void Start(std::int64_t nowMs);
    // Seconds: the range start while stopped; else running time x speed - offset, then
    // clamped or wrapped into the range as the flags say.
    float CurrentTime() const { return CurrentTime(NowMs()); }
    float CurrentTime(std::int64_t nowMs) const;
    // Started, and the current time is still before the range end.
    bool IsRunning() const { return IsRunning(NowMs()); }
    bool IsRunning(std::int64_t nowMs) const;
    // Applies the animation at the current time; false when none is bound.
    bool Apply(AnimationTarget& target) const { return Apply(target, NowMs()); }
    bool Apply(AnimationTarget& target, std::int64_t nowMs) const;

    void SetFlags(std::uint32_t flags) { flags_ = flags; }
    std::uint32_t Flags() const { return flags_; }
    void SetTimeOffset(float seconds) { timeOffset_ = seconds; }
    void SetSpeed(float speed) { speed_ = speed; }
    float RangeStart() const { return rangeStart_; }
    float RangeEnd() const { return rangeEnd_; }

private:
    static std::int64_t NowMs();
    void ReadRange();

    std::uint32_t flags_ = 0;
    const TransformAnimation* animation_ = nullptr;
    float rangeStart_ = 0;
    float rangeEnd_ = 0;
    float timeOffset_ = 0;
    float speed_ = 1.0f;
    std::int64_t startClock_ = 0;
    bool running_ = false;
};

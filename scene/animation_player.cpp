#include "scene/animation_player.h"

#include "core/clock.h"

#include <cmath>

std::int64_t AnimationPlayer::NowMs() { return NowMilliseconds(); }

void AnimationPlayer::ReadRange() {
    float start = 0, end = 0;
    if (animation_ != nullptr && animation_->Range(start, end)) {
        rangeStart_ = start;
        rangeEnd_ = end;
    } else {
        rangeStart_ = rangeEnd_ = 0;
    }
}

void AnimationPlayer::Bind(const TransformAnimation* animation) {
    animation_ = animation;
    ReadRange();
}

void AnimationPlayer::Start(std::int64_t nowMs) {
    running_ = true;
    startClock_ = nowMs;
    ReadRange();
}

float AnimationPlayer::CurrentTime(std::int64_t nowMs) const {
    if (!running_) return rangeStart_;
    // The difference in double: clock values are far beyond a float's whole numbers.
    const double elapsed = static_cast<double>(nowMs) - static_cast<double>(startClock_);
    double seconds = elapsed * speed_ * 0.001;
    // A looping player drops whole loops while still in double: weeks of seconds in a float
    // would keep only an eighth of a second.
    const double length = static_cast<double>(rangeEnd_) - static_cast<double>(rangeStart_);
    if ((flags_ & (kPlayerClamp | kPlayerLoop)) == kPlayerLoop && length > 0)
        seconds = std::fmod(seconds, length);
    float t = static_cast<float>(seconds) - timeOffset_;
    if ((flags_ & kPlayerClamp) != 0) {
        if (t > rangeEnd_) t = rangeEnd_;
        if (t < rangeStart_) t = rangeStart_;
    } else if ((flags_ & kPlayerLoop) != 0) {
        t = WrapTime(t, rangeStart_, rangeEnd_);
    }
    return t;
}

bool AnimationPlayer::IsRunning(std::int64_t nowMs) const { return running_ && CurrentTime(nowMs) < rangeEnd_; }

bool AnimationPlayer::Apply(AnimationTarget& target, std::int64_t nowMs) const {
    if (animation_ == nullptr) return false;
    target.ApplyAnimation(*animation_, CurrentTime(nowMs));
    return true;
}

#pragma once
// Sleep between frames, never a spin: a fixed delay after each presented frame (the
// XScreenSaver convention, --delay) and an optional cap in frames per second (the
// FrameLimit value of the settings key, for laptops; see KeyValue in settings.h). A
// termination signal cuts every sleep short.

#include <chrono>
#include <cstdint>

class FramePacer {
public:
    // delayUs: sleep after every frame; framesPerSecond: the cap, 0 for none.
    void Configure(long long delayUs, int framesPerSecond);
    // After a presented frame: the delay, then whatever the cap asks. A frame that came
    // late starts the next slot at once; missed slots are not caught up.
    void AfterFrame();
    // A pass of the loop that drew nothing (inactive window, preview): a short sleep.
    void Idle();

    long long DelayUs() const { return delayUs_; }
    long long IntervalUs() const { return intervalUs_; }

private:
    using Clock = std::chrono::steady_clock;
    long long delayUs_ = 0;
    long long intervalUs_ = 0;
    Clock::time_point slot_{};
};

constexpr long long kIdleSleepUs = 10000;

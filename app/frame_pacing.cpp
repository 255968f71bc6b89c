#include "app/frame_pacing.h"

#include "platform/win/termination_signal.h"

#include <algorithm>

void FramePacer::Configure(long long delayUs, int framesPerSecond) {
    delayUs_ = std::max(0LL, delayUs);
    intervalUs_ = framesPerSecond > 0 ? 1000000LL / framesPerSecond : 0;
    slot_ = Clock::now();
}

void FramePacer::AfterFrame() {
    if (delayUs_ > 0 && !SleepUnlessTerminated(delayUs_)) return;
    if (intervalUs_ == 0) return;
    const Clock::time_point now = Clock::now();
    const Clock::time_point due = std::max(slot_ + std::chrono::microseconds(intervalUs_), now);
    slot_ = due;
    SleepUnlessTerminated(std::chrono::duration_cast<std::chrono::microseconds>(due - now).count());
}

void FramePacer::Idle() { SleepUnlessTerminated(kIdleSleepUs); }

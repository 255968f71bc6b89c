#pragma once
// The engine's only time source: 64-bit milliseconds, read from the monotonic clock or
// from a virtual clock that advances a fixed step per presented frame (recording, tests).
//
// The monotonic reading leaves out time the process did not run: a forward jump of more
// than kClockGapMs between two readings (the process was stopped with SIGSTOP while a host
// showed its unlock dialog, or the machine slept) counts as kClockResumeMs. Animation then
// carries on where it stood instead of catching up on minutes at once.

#include <cstdint>

constexpr std::int64_t kClockGapMs = 1000;
constexpr std::int64_t kClockResumeMs = 20;

std::int64_t NowMilliseconds();

// Switches the time source. The virtual clock starts at startMs.
void UseMonotonicClock();
void UseVirtualClock(std::int64_t startMs, double stepMs);
bool IsVirtualClock();
// Moves the virtual clock on by one step (called once per presented frame); no effect on
// the monotonic clock.
void AdvanceVirtualClock();
// Sets the virtual clock to a time, earlier ones included (tests).
void SetVirtualTime(std::int64_t ms);
// Test hook: the monotonic clock reads its raw milliseconds from reader (null: the
// system's steady clock); the time taken out so far is forgotten.
void SetMonotonicReader(std::int64_t (*reader)());

class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { start_ = NowMilliseconds(); }
    std::int64_t Elapsed() const { return NowMilliseconds() - start_; }
    // True, and restarted, once the clock has moved at least interval away from the
    // start in either direction (so a clock that jumps back by the interval counts too).
    bool ElapsedAtLeast(std::int64_t interval);

private:
    std::int64_t start_ = 0;
};

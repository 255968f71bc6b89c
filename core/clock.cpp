#include "core/clock.h"

#include <chrono>
#include <cmath>

namespace {

bool gVirtual = false;
double gVirtualMs = 0.0;
double gStepMs = 0.0;
std::int64_t gLastRawMs = 0;   // the previous monotonic reading, before the skipped time
std::int64_t gSkippedMs = 0;   // time taken out of the monotonic clock so far
bool gRead = false;
std::int64_t (*gReader)() = nullptr;

std::int64_t SteadyMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

}  // namespace

std::int64_t NowMilliseconds() {
    if (gVirtual) return static_cast<std::int64_t>(std::floor(gVirtualMs));
    const std::int64_t raw = gReader != nullptr ? gReader() : SteadyMilliseconds();
    if (gRead && raw - gLastRawMs > kClockGapMs) gSkippedMs += raw - gLastRawMs - kClockResumeMs;
    gLastRawMs = raw;
    gRead = true;
    return raw - gSkippedMs;
}

void UseMonotonicClock() { gVirtual = false; }

void UseVirtualClock(std::int64_t startMs, double stepMs) {
    gVirtual = true;
    gVirtualMs = static_cast<double>(startMs);
    gStepMs = stepMs;
}

bool IsVirtualClock() { return gVirtual; }

void AdvanceVirtualClock() {
    if (gVirtual) gVirtualMs += gStepMs;
}

void SetVirtualTime(std::int64_t ms) { gVirtualMs = static_cast<double>(ms); }

void SetMonotonicReader(std::int64_t (*reader)()) {
    gReader = reader;
    gRead = false;
    gSkippedMs = 0;
}

bool Stopwatch::ElapsedAtLeast(std::int64_t interval) {
    const std::int64_t elapsed = NowMilliseconds() - start_;
    if (-interval < elapsed && elapsed < interval) return false;
    Restart();
    return true;
}

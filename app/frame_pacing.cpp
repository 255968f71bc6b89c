#include "app/frame_pacing.h"

#include "app/settings.h"
#include "platform/win/registry.h"
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

int ReadFrameLimit() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    std::uint32_t buffer = 0;
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, "FrameLimit", nullptr, &type, reinterpret_cast<BYTE*>(&buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return 0;
    const auto value = static_cast<std::int32_t>(buffer);
    return std::clamp(value, 0, kMaxFrameLimit);
}

#include "platform/win/process_info.h"

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

double PeakResidentMegabytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

namespace {

double ClockMilliseconds(clockid_t clock) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) return 0.0;
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

double ThreadCpuMilliseconds() { return ClockMilliseconds(CLOCK_THREAD_CPUTIME_ID); }

double ProcessCpuMilliseconds() { return ClockMilliseconds(CLOCK_PROCESS_CPUTIME_ID); }

void ReturnFreeMemory() { malloc_trim(0); }

#include "platform/win/system.h"

#include "platform/win/key_codes.h"
#include "platform/win/window.h"
#include "platform/win/window_internal.h"

#include <sys/resource.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

namespace {
bool gScreenSaverRunning = false;
}

BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID, UINT) {
    if (action != SPI_SETSCREENSAVERRUNNING) return FALSE;
    gScreenSaverRunning = param != 0;
    if (VideoStarted()) {
        if (gScreenSaverRunning)
            SDL_DisableScreenSaver();
        else
            SDL_EnableScreenSaver();
    }
    return TRUE;
}

bool IsScreenSaverRunning() { return gScreenSaverRunning; }

void keybd_event(BYTE virtualKey, BYTE, DWORD flags, std::uintptr_t) {
    const HWND target = GetFocus();
    if (!target) return;
    DeliverKey(target, virtualKey, DikFromVirtualKey(virtualKey), (flags & KEYEVENTF_KEYUP) == 0, false);
}

UINT SendInput(UINT count, const INPUT* inputs, int size) {
    if (!inputs || size != static_cast<int>(sizeof(INPUT))) return 0;
    for (UINT i = 0; i < count; ++i)
        if (inputs[i].type == INPUT_KEYBOARD)
            keybd_event(static_cast<BYTE>(inputs[i].ki.wVk), static_cast<BYTE>(inputs[i].ki.wScan),
                        inputs[i].ki.dwFlags, inputs[i].ki.dwExtraInfo);
    return count;
}

HANDLE GetCurrentThread() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2)); }

BOOL SetThreadPriority(HANDLE thread, int priority) {
    if (thread != GetCurrentThread()) return FALSE;
    int nice;
    if (priority <= THREAD_PRIORITY_IDLE)
        nice = 19;
    else if (priority >= 15)
        nice = -20;
    else
        nice = -5 * priority;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0 ? TRUE : FALSE;
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) return;
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}

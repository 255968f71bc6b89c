#pragma once
// System-wide calls: the screensaver-running flag, synthetic key input, thread priority.

#include "platform/win/messages.h"

constexpr UINT SPI_SETSCREENSAVERRUNNING = 97;

// Action 97 sets or clears the screensaver-running flag; while it is set the desktop's own
// screensaver and display blanking are held off. Other actions fail.
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID pvParam, UINT winIni);
// The flag set through action 97.
bool IsScreenSaverRunning();

constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x0001;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
constexpr DWORD INPUT_MOUSE = 0;
constexpr DWORD INPUT_KEYBOARD = 1;

struct KEYBDINPUT {
    WORD wVk;
    WORD wScan;
    DWORD dwFlags;
    DWORD time;
    std::uintptr_t dwExtraInfo;
};

struct INPUT {
    DWORD type;
    KEYBDINPUT ki;
};

// Key input as if typed: a key message to the focused window of this process and a record
// for its keyboard devices. Input for other programs is not made.
void keybd_event(BYTE virtualKey, BYTE scan, DWORD flags, std::uintptr_t extraInfo);
UINT SendInput(UINT count, const INPUT* inputs, int size);

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_NORMAL = 0;
HANDLE GetCurrentThread();
BOOL SetThreadPriority(HANDLE thread, int priority);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
// The local wall-clock time.
void GetLocalTime(SYSTEMTIME* time);

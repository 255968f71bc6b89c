#pragma once
// Win32 events for a single thread: set, reset and polled. A wait never blocks, since
// nothing else could set an event while the thread waits.

#include "platform/win/win_handles.h"

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL CloseHandle(HANDLE event);
// WAIT_OBJECT_0 + index of the first signalled event (an auto-reset event is reset), or,
// with waitAll, WAIT_OBJECT_0 when all are set; otherwise WAIT_TIMEOUT.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* events, BOOL waitAll, DWORD timeoutMs);

#pragma once
// ShellExecuteA with the verb "open": the desktop's handler for a file or address, started
// as `xdg-open target` without a shell and not waited for.

#include "platform/win/win_types.h"

constexpr int SW_SHOWNORMAL = 1;

// Greater than 32 when the handler was started; 2 (file not found) when xdg-open cannot be
// started, 31 (no association) for a verb other than "open" or an empty target.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR target, LPCSTR parameters, LPCSTR directory, int show);

// Routes every later ShellExecuteA to hook instead (tests); null restores the real call.
using ShellExecuteHook = void (*)(LPCSTR verb, LPCSTR target);
void SetShellExecuteHook(ShellExecuteHook hook);

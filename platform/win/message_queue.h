#pragma once
// The thread's message queue. SDL events are read into it (as window messages with their
// Windows numbers) whenever a message is asked for. Retrieval order: posted and input
// messages in arrival order, then WM_QUIT (from PostQuitMessage), then WM_PAINT for a
// window that needs painting, then WM_TIMER for a timer that is due. Timers run on
// NowMilliseconds, so the virtual clock drives them in tests.

#include "platform/win/messages.h"

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// window null: messages of every window and those posted without a window. WM_QUIT is
// returned whatever the filter. A filter range of 0, 0 takes every message.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message; 0 for WM_QUIT, otherwise nonzero.
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// Posts WM_CHAR for a key-down of a character key (letters, digits, blank, Enter, Escape,
// Backspace, Tab). Nonzero when it posted one.
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure of msg->hwnd; 0 for a message without a (live) window.
LRESULT DispatchMessageA(const MSG* msg);
// window null posts a thread message. FALSE for a handle that is not a window.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Replaces a timer with the same window and id. Returns the id (0 on failure).
std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT elapseMs, void* callback);
BOOL KillTimer(HWND window, std::uintptr_t id);

// Empties the queue, forgets quit requests and timers (tests).
void ResetMessageQueue();

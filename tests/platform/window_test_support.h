#pragma once
// Shared set-up of the window tests: the offscreen video driver, a clean message queue and
// a test window class whose procedure records every message it gets.

#include "platform/win/message_queue.h"
#include "platform/win/window.h"

#include <cstdlib>
#include <vector>

struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<RecordedMessage>& RecordedMessages() {
    static std::vector<RecordedMessage> messages;
    return messages;
}

inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordedMessages().push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

inline void UseOffscreenVideo() { setenv("SDL_VIDEODRIVER", "offscreen", 0); }

inline const char* RecordingClass() {
    static bool registered = false;
    if (!registered) {
        UseOffscreenVideo();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.lpszClassName = "Recording Test Class";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return "Recording Test Class";
}

// Dispatches every waiting message; returns the messages the test class procedure saw.
inline std::vector<RecordedMessage> PumpAll() {
    RecordedMessages().clear();
    MSG msg;
    int guard = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && ++guard < 1000) {
        if (msg.message == WM_QUIT) {
            RecordedMessages().push_back({nullptr, WM_QUIT, msg.wParam, 0});
            continue;
        }
        DispatchMessageA(&msg);
    }
    return RecordedMessages();
}

inline std::vector<UINT> MessageIds(const std::vector<RecordedMessage>& messages, bool skipPaint = true) {
    std::vector<UINT> ids;
    for (const RecordedMessage& m : messages)
        if (!skipPaint || (m.message != WM_PAINT && m.message != WM_SETCURSOR && m.message != WM_MOVE))
            ids.push_back(m.message);
    return ids;
}

#include "platform/win/message_queue.h"

#include "core/clock.h"
#include "platform/win/cursor.h"
#include "platform/win/dialog_host.h"
#include "platform/win/window_internal.h"

#include <algorithm>
#include <deque>

namespace {

struct Timer {
    HWND window;
    std::uintptr_t id;
    UINT interval;
    std::int64_t due;
};

std::deque<MSG> gQueue;
std::vector<Timer> gTimers;
bool gQuitPosted = false;
int gQuitCode = 0;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(NowMilliseconds());
    return msg;
}

bool Matches(HWND msgWindow, UINT message, HWND filter, UINT low, UINT high) {
    if (filter && !IsSameOrChild(msgWindow, filter)) return false;
    if (low == 0 && high == 0) return true;
    return message >= low && message <= high;
}

bool Retrieve(MSG* msg, HWND window, UINT low, UINT high, bool remove) {
    if (VideoStarted()) ReadSdlEvents();
    for (auto it = gQueue.begin(); it != gQueue.end(); ++it) {
        if (!Matches(it->hwnd, it->message, window, low, high)) continue;
        *msg = *it;
        if (remove) gQueue.erase(it);
        return true;
    }
    if (gQuitPosted) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(gQuitCode), 0);
        if (remove) gQuitPosted = false;
        return true;
    }
    for (HWND candidate : AllWindows()) {
        const WindowRecord* record = FindWindowRecord(candidate);
        if (record && record->needsPaint && !record->foreign && Matches(candidate, WM_PAINT, window, low, high)) {
            *msg = MakeMessage(candidate, WM_PAINT, 0, 0);
            return true;
        }
    }
    const std::int64_t now = NowMilliseconds();
    for (Timer& timer : gTimers) {
        if (timer.due > now || !Matches(timer.window, WM_TIMER, window, low, high)) continue;
        *msg = MakeMessage(timer.window, WM_TIMER, timer.id, 0);
        if (remove) timer.due = now + timer.interval;
        return true;
    }
    return false;
}

}  // namespace

void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gQueue.push_back(MakeMessage(window, message, wParam, lParam));
}

void ForgetWindowMessages(HWND window) {
    gQueue.erase(std::remove_if(gQueue.begin(), gQueue.end(), [&](const MSG& m) { return m.hwnd == window; }),
                 gQueue.end());
    gTimers.erase(std::remove_if(gTimers.begin(), gTimers.end(), [&](const Timer& t) { return t.window == window; }),
                  gTimers.end());
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    return Retrieve(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    while (!Retrieve(msg, window, filterMin, filterMax, true)) {
        // Nothing yet: sleep until an event arrives or the next timer could be due.
        std::int64_t wait = 10;
        const std::int64_t now = NowMilliseconds();
        for (const Timer& timer : gTimers) wait = std::min(wait, std::max<std::int64_t>(1, timer.due - now));
        if (VideoStarted())
            SDL_WaitEventTimeout(nullptr, static_cast<int>(wait));
        else
            SDL_Delay(static_cast<Uint32>(wait));
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    const int vk = static_cast<int>(msg->wParam);
    int ch = 0;
    const bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = shift ? vk : vk - 'A' + 'a';
    else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK ||
             vk == VK_TAB)
        ch = vk;
    if (!ch) return FALSE;
    PostInputMessage(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    WindowRecord* record = FindWindowRecord(msg->hwnd);
    if (!record || !record->proc) return 0;
    const LRESULT result = record->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A procedure that leaves WM_PAINT unanswered would otherwise get it forever.
    if (msg->message == WM_PAINT)
        if (WindowRecord* painted = FindWindowRecord(msg->hwnd)) painted->needsPaint = false;
    return result;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsDialogHandle(window)) return PostDialogMessage(window, message, wParam, lParam);
    if (window && !FindWindowRecord(window)) return FALSE;
    PostInputMessage(window, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsDialogHandle(window)) return SendDialogMessage(window, message, wParam, lParam);
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->proc) return 0;
    return record->proc(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    gQuitPosted = true;
    gQuitCode = exitCode;
}

std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT elapseMs, void*) {
    if (window && !FindWindowRecord(window)) return 0;
    if (!window && id == 0) id = 1;
    const std::int64_t due = NowMilliseconds() + elapseMs;
    for (Timer& timer : gTimers)
        if (timer.window == window && timer.id == id) {
            timer.interval = elapseMs;
            timer.due = due;
            return id;
        }
    gTimers.push_back({window, id, elapseMs, due});
    return id ? id : 1;
}

BOOL KillTimer(HWND window, std::uintptr_t id) {
    const auto old = gTimers.size();
    gTimers.erase(std::remove_if(gTimers.begin(), gTimers.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == id; }),
                  gTimers.end());
    return gTimers.size() != old ? TRUE : FALSE;
}

void ResetMessageQueue() {
    if (VideoStarted()) {
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    gQueue.clear();
    gTimers.clear();
    gQuitPosted = false;
    gQuitCode = 0;
}

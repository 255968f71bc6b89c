#include "platform/win/sync.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Event {
    bool manualReset;
    bool set;
};

std::vector<std::unique_ptr<Event>>& Events() {
    static std::vector<std::unique_ptr<Event>> events;
    return events;
}

Event* Find(HANDLE handle) {
    for (auto& event : Events())
        if (event.get() == handle) return event.get();
    return nullptr;
}

}  // namespace

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    Events().push_back(std::make_unique<Event>(Event{manualReset != 0, initialState != 0}));
    return Events().back().get();
}

BOOL SetEvent(HANDLE handle) {
    Event* event = Find(handle);
    if (!event) return FALSE;
    event->set = true;
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    Event* event = Find(handle);
    if (!event) return FALSE;
    event->set = false;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    auto& events = Events();
    const auto old = events.size();
    events.erase(std::remove_if(events.begin(), events.end(),
                                [&](const std::unique_ptr<Event>& e) { return e.get() == handle; }),
                 events.end());
    return events.size() != old ? TRUE : FALSE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD) {
    if (!handles || count == 0 || count > 64) return WAIT_FAILED;
    std::vector<Event*> events;
    for (DWORD i = 0; i < count; ++i) {
        Event* event = Find(handles[i]);
        if (!event) return WAIT_FAILED;
        events.push_back(event);
    }
    if (waitAll) {
        for (Event* event : events)
            if (!event->set) return WAIT_TIMEOUT;
        for (Event* event : events)
            if (!event->manualReset) event->set = false;
        return WAIT_OBJECT_0;
    }
    for (DWORD i = 0; i < count; ++i)
        if (events[i]->set) {
            if (!events[i]->manualReset) events[i]->set = false;
            return WAIT_OBJECT_0 + i;
        }
    return WAIT_TIMEOUT;
}

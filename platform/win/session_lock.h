#pragma once
// A lock that one process of the login session holds at a time: an flock on a file in
// $XDG_RUNTIME_DIR, which the system gives each user and session. It is released when the
// holder releases it or ends, however it ends.

#include <string>

class SessionLock {
public:
    enum class Result {
        Taken,     // this process holds it now
        HeldElsewhere,  // another process holds it
        Unavailable,  // no XDG_RUNTIME_DIR, or the file cannot be opened
    };

    SessionLock() = default;
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;
    ~SessionLock() { Release(); }

    // Tries, without waiting, to take the lock named name (a file name).
    Result TryTake(const char* name);
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

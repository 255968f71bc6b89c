#pragma once
// The background music: "/frostvale.wav" looping through the audio module, fading in from
// silence to the Volume setting over four seconds of drawn frames. Only one process of the
// login session plays (hosts start one per monitor): the one that takes the session lock.
//
// Start -> FadeStep every drawn frame -> Stop. Whatever fails on the way leaves the run
// silent with one log line; Stop (also run by the destructor) leaves no module loaded and no
// temporary file behind.

#include "core/clock.h"
#include "platform/win/session_lock.h"
#include "platform/win/win_types.h"

#include <cstdint>

class Music {
public:
    static constexpr std::int64_t kFadeMilliseconds = 4000;
    static constexpr char kSessionLockName[] = "frostvale-music.lock";

    Music() = default;
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;
    ~Music() { Stop(); }

    // Loads the module and starts the loop silently; volume is the level the fade reaches
    // (1 … 100). Call only with Music on and Volume not 0.
    void Start(HWND window, int volume);
    // Sets the volume for the time since Start: 0 rising to the full level in four seconds.
    void FadeStep();
    // Silences and unloads the module and deletes its file.
    void Stop();

    bool Loaded() const { return loaded_; }
    // The sample handle; 0 when nothing plays.
    std::uint32_t Sample() const { return sample_; }

private:
    int volume_ = 0;
    bool loaded_ = false;
    std::uint32_t sample_ = 0;
    Stopwatch fade_;
    SessionLock lock_;
};

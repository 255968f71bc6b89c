#pragma once
// Termination requests from outside the process: SIGTERM (a screensaver host ending its
// hack, `kill`) and SIGINT (Ctrl+C). The handler only records the signal; the main loop
// polls TerminationSignal(), ends the run and shuts down in order, and the process entry
// then calls RaiseTerminationSignal() so the parent sees an ordinary death by that signal.

// Installs the recording handler for SIGTERM and SIGINT.
void InstallTerminationHandlers();

// The first termination signal that arrived, or 0 when none has.
int TerminationSignal();

// With a recorded signal: restores its default action and raises it again, which ends the
// process. Without one it returns at once.
void RaiseTerminationSignal();

// Sleeps for microseconds, in slices of at most 50 ms, and returns early (false) once a
// termination signal is recorded, so a long pause never delays the end of the run.
bool SleepUnlessTerminated(long long microseconds);

// Test hook: forgets a recorded signal.
void ClearTerminationSignal();

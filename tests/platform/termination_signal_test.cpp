#include "platform/win/termination_signal.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// The handler records the first signal only and leaves the process running.
TEST(TerminationSignal, RecordsTheFirstSignal) {
    InstallTerminationHandlers();
    ClearTerminationSignal();
    EXPECT_EQ(TerminationSignal(), 0);
    std::raise(SIGINT);
    std::raise(SIGTERM);
    EXPECT_EQ(TerminationSignal(), SIGINT);
    ClearTerminationSignal();
}

// Raising again ends the process by the recorded signal, as its parent expects.
TEST(TerminationSignal, RaiseEndsTheProcessByThatSignal) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstallTerminationHandlers();
        std::raise(SIGTERM);
        RaiseTerminationSignal();
        _exit(3);  // not reached when the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

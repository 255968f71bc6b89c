// The one-per-session lock, taken by two processes in turn.

#include "platform/win/session_lock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

TEST(SessionLock, OneProcessOfTheSessionHoldsIt) {
    const std::string folder = ::testing::TempDir() + "/session-lock-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);

    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SessionLock lock;
        const char taken = lock.TryTake("test.lock") == SessionLock::Result::Taken ? 'y' : 'n';
        (void)!write(ready[1], &taken, 1);
        char go;
        (void)!read(release[0], &go, 1);
        _exit(0);  // ending releases the lock, however the holder ends
    }
    char taken = 0;
    ASSERT_EQ(read(ready[0], &taken, 1), 1);
    EXPECT_EQ(taken, 'y');

    SessionLock lock;
    EXPECT_EQ(lock.TryTake("test.lock"), SessionLock::Result::HeldElsewhere);
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(lock.TryTake("other.lock"), SessionLock::Result::Taken);  // locks by name
    lock.Release();

    ASSERT_EQ(write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(lock.TryTake("test.lock"), SessionLock::Result::Taken);

    unsetenv("XDG_RUNTIME_DIR");
    SessionLock without;
    EXPECT_EQ(without.TryTake("test.lock"), SessionLock::Result::Unavailable);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
    std::filesystem::remove_all(folder);
}

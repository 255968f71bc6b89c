// Private temporary files for loadable code: which folders serve, and what a file looks like.

#include "platform/win/temp_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(TempFile, FoldersInOrderOfPreference) {
    const std::string base = ::testing::TempDir() + "/temp-file-" + std::to_string(getpid());
    fs::create_directories(base + "/tmp");
    fs::create_directories(base + "/run");
    const std::string tmp = base + "/tmp", run = base + "/run", missing = base + "/missing";
    const struct {
        const char* temp;
        const char* runtime;
        std::vector<std::string> folders;
    } cases[] = {
        {tmp.c_str(), run.c_str(), {tmp, run}},
        {nullptr, run.c_str(), {"/tmp", run}},
        {"", nullptr, {"/tmp"}},
        {missing.c_str(), run.c_str(), {run}},
        {missing.c_str(), "", {}},
    };
    for (const auto& c : cases) {
        c.temp != nullptr ? setenv("TMPDIR", c.temp, 1) : unsetenv("TMPDIR");
        c.runtime != nullptr ? setenv("XDG_RUNTIME_DIR", c.runtime, 1) : unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(ModuleTempFolders(), c.folders) << (c.temp ? c.temp : "(unset)");
    }
    unsetenv("TMPDIR");
    unsetenv("XDG_RUNTIME_DIR");

    // A new private file each time, with exactly the bytes; a folder that is not there gives none.
    const std::string first = WriteTempFile(tmp, "bas", "abc", 3);
    const std::string second = WriteTempFile(tmp, "bas", "abc", 3);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).filename().string().rfind("bas", 0), 0u);
    struct stat info {};
    ASSERT_EQ(stat(first.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::stringstream bytes;
    bytes << std::ifstream(first).rdbuf();
    EXPECT_EQ(bytes.str(), "abc");
    EXPECT_TRUE(WriteTempFile(missing, "bas", "abc", 3).empty());
    EXPECT_TRUE(DeleteFileA(first.c_str()));
    EXPECT_FALSE(DeleteFileA(first.c_str()));
    fs::remove_all(base);
}

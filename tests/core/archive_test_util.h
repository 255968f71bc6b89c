#pragma once
// Helpers for the archive tests: small archives built by the writer, and byte patches.

#include "core/archive_writer.h"
#include "core/media_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

inline void Patch16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void Patch32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    Patch16(bytes, at, value & 0xFFFF);
    Patch16(bytes, at + 2, value >> 16);
}

// Start of the block of the member at index (in ListArchive order).
inline std::size_t MemberBlockStart(const std::vector<std::uint8_t>& archive, std::size_t index) {
    std::vector<ArchiveMember> members;
    String error;
    EXPECT_TRUE(ListArchive(archive.data(), archive.size(), members, error)) << error.CStr();
    if (index >= members.size()) return 0;
    return static_cast<std::size_t>(members[index].dataOffset) - kArchiveFileHeaderSize -
           static_cast<std::size_t>(members[index].name.Length());
}

// Mounts bytes for one test and returns to the unmounted state afterwards.
class MountedArchiveTest : public ::testing::Test {
protected:
    void TearDown() override { UnmountArchiveForTesting(); }
    // Mounts a copy whose storage is exactly the archive's size, so that a read past the end
    // is caught by the address sanitizer.
    void Mount(const std::vector<std::uint8_t>& archive) {
        mounted_ = std::make_unique<std::uint8_t[]>(archive.size() + (archive.empty() ? 1 : 0));
        std::copy(archive.begin(), archive.end(), mounted_.get());
        MountArchiveBytes(mounted_.get(), archive.size());
    }
    std::unique_ptr<std::uint8_t[]> mounted_;
};

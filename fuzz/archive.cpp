// Mounts the input as the media archive, lists it and reads members by a few names: fixed
// ones, every listed member, and one taken from the input's last bytes. A delivered member
// must have the size and CRC its header gives.

#include "core/archive_format.h"
#include "core/media_archive.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void CheckRead(const String& name, const std::vector<ArchiveMember>& members, bool listed) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(name, bytes)) {
        if (!bytes.empty()) __builtin_trap();
        return;
    }
    if (!listed) return;
    // In a well-formed archive the first member that matches is the one delivered.
    for (const ArchiveMember& m : members) {
        if (!ArchiveNamesMatch(name.CStr(), m.name.CStr())) continue;
        if (bytes.size() != m.unpackedSize || ArchiveCrc32(bytes.data(), bytes.size()) != m.crc) __builtin_trap();
        return;
    }
    __builtin_trap();  // delivered a member the listing does not hold
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<ArchiveMember> members;
    String error;
    const bool listed = ListArchive(data, size, members, error);
    MountArchiveBytes(data, size);
    for (const char* name : {"FrostvaleMedia/Scene.props", "frostvalemedia\\a", "/Scene.props", ""})
        CheckRead(name, members, listed);
    for (std::size_t i = 0; i < members.size() && i < 8; ++i) CheckRead(members[i].name, members, listed);
    const std::size_t tail = size < 24 ? size : 24;
    CheckRead(String(reinterpret_cast<const char*>(data + size - tail), static_cast<int>(tail)), members, listed);
    UnmountArchiveForTesting();
    return 0;
}

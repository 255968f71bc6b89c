#include "tools/fvtool/archive_output.h"

#include "core/media_archive.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <vector>

namespace {

bool ListOrFail(const std::uint8_t* data, std::size_t size, const std::string& what,
                std::vector<ArchiveMember>& members) {
    String error;
    if (ListArchive(data, size, members, error)) return true;
    Fail(what + " is not a valid archive: " + error.CStr());
    return false;
}

}  // namespace

int PrintArchiveListing(const std::uint8_t* data, std::size_t size, const std::string& what) {
    std::vector<ArchiveMember> members;
    if (!ListOrFail(data, size, what, members)) return 1;
    nlohmann::json out = nlohmann::json::array();
    for (const ArchiveMember& m : members) {
        out.push_back({{"name", m.name.ToStdString()},
                       {"flags", m.flags},
                       {"packed", m.packedSize},
                       {"unpacked", m.unpackedSize},
                       {"crc", m.crc},
                       {"version", m.version},
                       {"method", m.method}});
    }
    std::printf("%s\n", out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    return 0;
}

int PrintArchiveMember(const std::uint8_t* data, std::size_t size, const std::string& name,
                       const std::string& what) {
    std::vector<ArchiveMember> members;
    if (!ListOrFail(data, size, what, members)) return 1;
    MountArchiveBytes(data, size);
    std::vector<std::uint8_t> bytes;
    const bool ok = ReadFile(String(name.c_str()), bytes);
    UnmountArchiveForTesting();  // the caller's bytes may go away after this call
    if (!ok) {
        for (const ArchiveMember& m : members) {
            if (ArchiveNamesMatch(name.c_str(), m.name.CStr()))
                return Fail("member '" + std::string(m.name.CStr()) +
                            "' cannot be read (compressed, encrypted, damaged or a bad CRC)");
        }
        return Fail("no member '" + name + "' in " + what);
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        return Fail("cannot write to stdout");
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write to stdout");
}

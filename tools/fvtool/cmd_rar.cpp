// fvtool rar: lists, reads and builds media archives.
//
//   rar list ARCHIVE        JSON array, one object per member block in archive order:
//                           {"name", "flags", "packed", "unpacked", "crc", "version", "method"}
//   rar cat ARCHIVE NAME    the member's bytes on stdout, read through ReadFile with the
//                           archive mounted (so NAME matches in any case and with either slash)
//   rar pack DIR ARCHIVE    the folder entry named after DIR's last component, then one stored
//                           member per regular file in DIR, sorted by name

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "tools/fvtool/archive_output.h"
#include "tools/fvtool/subcommand.h"

#include <cstdio>

namespace {

int RunRar(const std::vector<std::string>& args);
const Subcommand kRar{"rar", "list ARCHIVE | cat ARCHIVE NAME | pack DIR ARCHIVE", RunRar};

int List(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadDiskFile(path, bytes)) return Fail("cannot read '" + path + "'");
    return PrintArchiveListing(bytes.data(), bytes.size(), "'" + path + "'");
}

int Cat(const std::string& path, const std::string& name) {
    std::vector<std::uint8_t> bytes;
    if (!ReadDiskFile(path, bytes)) return Fail("cannot read '" + path + "'");
    return PrintArchiveMember(bytes.data(), bytes.size(), name, "'" + path + "'");
}

int Pack(const std::string& dir, const std::string& archivePath) {
    std::string error;
    return PackFolder(dir, archivePath, error) ? 0 : Fail(error);
}

int RunRar(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kRar);
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if (args.size() == 3 && args[0] == "cat") return Cat(args[1], args[2]);
    if (args.size() == 3 && args[0] == "pack") return Pack(args[1], args[2]);
    return Fail(std::string("usage: fvtool rar ") + kRar.usage);
}

}  // namespace

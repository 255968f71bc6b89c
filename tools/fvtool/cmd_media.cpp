// fvtool media: the archive built into the program (resource "MEMFILE" 147).
//
//   media list          JSON array of its member blocks, as rar list prints them
//   media cat NAME      a member's bytes on stdout, read through ReadFile
//   media extract DIR   writes every member under DIR (folder/file), refusing names that
//                       would land outside DIR

#include "core/media_archive.h"
#include "platform/win/resources.h"
#include "tools/fvtool/archive_output.h"
#include "tools/fvtool/subcommand.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

int RunMedia(const std::vector<std::string>& args);
const Subcommand kMedia{"media", "list | cat NAME | extract DIR", RunMedia};

constexpr int kMediaResource = 147;
const char* const kWhat = "the built-in media archive";

bool BuiltInArchive(const std::uint8_t*& data, std::size_t& size) {
    const void* bytes = nullptr;
    DWORD length = 0;
    if (!ResourceBytes(kMediaResource, "MemFile", bytes, length)) return false;
    data = static_cast<const std::uint8_t*>(bytes);
    size = length;
    return true;
}

int Extract(const std::uint8_t* data, std::size_t size, const std::string& dir) {
    std::vector<ArchiveMember> members;
    String error;
    if (!ListArchive(data, size, members, error)) return Fail(std::string(kWhat) + " is not valid: " + error.CStr());
    // Every name is checked before anything is written.
    std::vector<std::pair<const ArchiveMember*, String>> files;
    for (const ArchiveMember& member : members) {
        if (member.attributes & 0x10) continue;  // the folder entry
        String relative;
        if (!MemberRelativePath(member.name, relative))
            return Fail("refusing member '" + std::string(member.name.CStr()) + "': it would land outside " + dir);
        files.emplace_back(&member, relative);
    }
    MountArchiveBytes(data, size);
    int written = 0;
    for (const auto& [member, relative] : files) {
        std::vector<std::uint8_t> bytes;
        const fs::path path = fs::path(dir) / relative.CStr();
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (!ReadFile(member->name, bytes)) return Fail("cannot read member '" + std::string(member->name.CStr()) + "'");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) return Fail("cannot write '" + path.string() + "'");
        ++written;
    }
    std::printf("extracted %d files into %s\n", written, dir.c_str());
    return 0;
}

int RunMedia(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kMedia);
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!BuiltInArchive(data, size)) return Fail("this build has no media archive");
    if (args.size() == 1 && args[0] == "list") return PrintArchiveListing(data, size, kWhat);
    if (args.size() == 2 && args[0] == "cat") return PrintArchiveMember(data, size, args[1], kWhat);
    if (args.size() == 2 && args[0] == "extract") return Extract(data, size, args[1]);
    return Fail(std::string("usage: fvtool media ") + kMedia.usage);
}

}  // namespace

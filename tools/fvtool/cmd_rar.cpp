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
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

int RunRar(const std::vector<std::string>& args);
const Subcommand kRar{"rar", "list ARCHIVE | cat ARCHIVE NAME | pack DIR ARCHIVE", RunRar};

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::uint8_t chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

int List(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return Fail("cannot read '" + path + "'");
    return PrintArchiveListing(bytes.data(), bytes.size(), "'" + path + "'");
}

int Cat(const std::string& path, const std::string& name) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return Fail("cannot read '" + path + "'");
    return PrintArchiveMember(bytes.data(), bytes.size(), name, "'" + path + "'");
}

int Pack(const std::string& dir, const std::string& archivePath) {
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(dir), ec).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    if (ec || !fs::is_directory(folder, ec)) return Fail("'" + dir + "' is not a folder");
    std::vector<ArchiveFile> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        ArchiveFile file;
        file.name = it->path().filename().string().c_str();
        if (!ReadWholeFile(it->path(), file.bytes)) return Fail("cannot read '" + it->path().string() + "'");
        files.push_back(std::move(file));
    }
    if (ec) return Fail("cannot list '" + dir + "': " + ec.message());
    std::vector<std::uint8_t> bytes;
    String error;
    if (!PackArchive(folder.filename().string().c_str(), files, bytes, error)) return Fail(error.CStr());
    std::ofstream out(archivePath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return Fail("cannot write '" + archivePath + "'");
    return 0;
}

int RunRar(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kRar);
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if (args.size() == 3 && args[0] == "cat") return Cat(args[1], args[2]);
    if (args.size() == 3 && args[0] == "pack") return Pack(args[1], args[2]);
    return Fail(std::string("usage: fvtool rar ") + kRar.usage);
}

}  // namespace

// mediapack DIR ARCHIVE: packs a media folder into a media archive, exactly as
// `fvtool rar pack` does (PackArchive: the folder entry named after DIR's last component,
// then one stored member per regular file, sorted by name).
//
// The build needs its own packer: fvtool links the resource table, and the resource table
// embeds the archive this program makes, so fvtool cannot be built before the archive is.
// This program is built from the archive writer's sources alone.

#include "core/archive_writer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::uint8_t chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: mediapack DIR ARCHIVE");
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(argv[1]), ec).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    if (ec || !fs::is_directory(folder, ec)) return Fail(std::string("'") + argv[1] + "' is not a folder");
    std::vector<ArchiveFile> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        ArchiveFile file;
        file.name = it->path().filename().string().c_str();
        if (!ReadWholeFile(it->path(), file.bytes)) return Fail("cannot read '" + it->path().string() + "'");
        files.push_back(std::move(file));
    }
    if (ec) return Fail(std::string("cannot list '") + argv[1] + "': " + ec.message());
    std::vector<std::uint8_t> bytes;
    String error;
    if (!PackArchive(folder.filename().string().c_str(), files, bytes, error)) return Fail(error.CStr());
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) return Fail(std::string("cannot write '") + argv[2] + "'");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) return Fail(std::string("cannot write '") + argv[2] + "'");
    return 0;
}

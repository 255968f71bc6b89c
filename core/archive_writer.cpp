#include "core/archive_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>
#include <string>

namespace {

// 1980-01-01 00:00 as a DOS date and time: archives do not change with the clock.
constexpr std::uint32_t kFixedFileTime = 0x00210000;
// Host system: the names use "\" between folder and file.
constexpr std::uint8_t kHostWindows = 2;

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

// A block header of the given size with type and flags set and its size field filled in.
std::vector<std::uint8_t> BlockHeader(std::size_t size, std::uint8_t type, std::uint16_t flags) {
    std::vector<std::uint8_t> header(size, 0);
    header[kBlockTypeAt] = type;
    Put16(header, kBlockFlagsAt, flags);
    Put16(header, kBlockSizeAt, static_cast<std::uint32_t>(size));
    return header;
}

}  // namespace

ArchiveWriter::ArchiveWriter(std::uint16_t mainFlags, bool oldMarker) {
    const std::uint8_t* marker = oldMarker ? kArchiveOldMarker : kArchiveMarker;
    bytes_.assign(marker, marker + kArchiveMarkerSize);
    AppendBlockHeader(BlockHeader(kArchiveMainHeaderSize, kArchiveMainBlock, mainFlags));
}

void ArchiveWriter::AppendBlockHeader(const std::vector<std::uint8_t>& header) {
    const std::uint32_t crc = ArchiveCrc32(header.data() + kBlockTypeAt, header.size() - kBlockTypeAt);
    const std::size_t at = bytes_.size();
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_[at + kBlockCrcAt] = static_cast<std::uint8_t>(crc);
    bytes_[at + kBlockCrcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
}

bool ArchiveWriter::AddFolder(const String& name) {
    ArchiveMemberFields fields;
    fields.name = name;
    fields.flags = kArchiveFolderFlags;
    fields.attributes = kArchiveFolderAttributes;
    return AddMember(fields, nullptr, 0);
}

bool ArchiveWriter::AddStored(const String& name, const std::uint8_t* data, std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) return false;
    ArchiveMemberFields fields;
    fields.name = name;
    fields.unpackedSize = static_cast<std::uint32_t>(size);
    fields.crc = ArchiveCrc32(data, size);
    return AddMember(fields, data, size);
}

bool ArchiveWriter::AddMember(const ArchiveMemberFields& fields, const std::uint8_t* data, std::size_t size) {
    const std::size_t nameSize = static_cast<std::size_t>(fields.name.Length());
    if (nameSize == 0 || nameSize > kArchiveMaxNameLength) return false;
    if (size > std::numeric_limits<std::uint32_t>::max()) return false;
    std::vector<std::uint8_t> header = BlockHeader(kArchiveFileHeaderSize + nameSize, kArchiveFileBlock, fields.flags);
    Put32(header, kBlockPackedAt, static_cast<std::uint32_t>(size));
    Put32(header, kFileUnpackedAt, fields.unpackedSize);
    header[kFileHostAt] = kHostWindows;
    Put32(header, kFileCrcAt, fields.crc);
    Put32(header, kFileTimeAt, kFixedFileTime);
    header[kFileVersionAt] = fields.version;
    header[kFileMethodAt] = fields.method;
    Put16(header, kFileNameSizeAt, static_cast<std::uint32_t>(nameSize));
    Put32(header, kFileAttributesAt, fields.attributes);
    std::memcpy(header.data() + kArchiveFileHeaderSize, fields.name.CStr(), nameSize);
    AppendBlockHeader(header);
    if (size > 0) bytes_.insert(bytes_.end(), data, data + size);
    return true;
}

std::vector<std::uint8_t> ArchiveWriter::Finish() {
    AppendBlockHeader(BlockHeader(kArchiveBlockBaseSize, kArchiveEndBlock, kArchiveEndFlags));
    return std::move(bytes_);
}

bool PackArchive(const String& folder, const std::vector<ArchiveFile>& files, std::vector<std::uint8_t>& out,
                 String& error) {
    out.clear();
    std::vector<const ArchiveFile*> sorted;
    for (const ArchiveFile& file : files) sorted.push_back(&file);
    std::sort(sorted.begin(), sorted.end(), [](const ArchiveFile* a, const ArchiveFile* b) {
        return std::strcmp(a->name.CStr(), b->name.CStr()) < 0;
    });
    ArchiveWriter writer;
    if (folder.IsEmpty() || folder.Find("/") >= 0 || folder.Find("\\") >= 0 || !writer.AddFolder(folder)) {
        error = String("bad folder name '") + folder + "'";
        return false;
    }
    std::set<std::string> seen;  // names as the reader compares them
    for (const ArchiveFile* entry : sorted) {
        const ArchiveFile& file = *entry;
        const String member = folder + "\\" + file.name;
        if (file.name.IsEmpty() || file.name.Find("/") >= 0 || file.name.Find("\\") >= 0) {
            error = String("bad file name '") + file.name + "'";
            return false;
        }
        std::string key(file.name.CStr());
        for (char& c : key) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (!seen.insert(key).second) {
            error = String("two files whose names differ only in case: '") + file.name + "'";
            return false;
        }
        if (static_cast<std::size_t>(member.Length()) > kArchiveMaxNameLength) {
            error = String("member name longer than 259 bytes: '") + member + "'";
            return false;
        }
        if (!writer.AddStored(member, file.bytes.data(), file.bytes.size())) {
            error = String("file too large for the archive: '") + file.name + "'";
            return false;
        }
    }
    out = writer.Finish();
    return true;
}

bool ReadDiskFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
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

bool PackFolder(const std::string& folderPath, const std::string& archivePath, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(folderPath), ec).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    if (ec || !fs::is_directory(folder, ec)) {
        error = "'" + folderPath + "' is not a folder";
        return false;
    }
    std::vector<ArchiveFile> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        ArchiveFile file;
        file.name = it->path().filename().string().c_str();
        if (!ReadDiskFile(it->path().string(), file.bytes)) {
            error = "cannot read '" + it->path().string() + "'";
            return false;
        }
        files.push_back(std::move(file));
    }
    if (ec) {
        error = "cannot list '" + folderPath + "': " + ec.message();
        return false;
    }
    std::vector<std::uint8_t> bytes;
    String packError;
    if (!PackArchive(folder.filename().string().c_str(), files, bytes, packError)) {
        error = packError.ToStdString();
        return false;
    }
    std::FILE* out = std::fopen(archivePath.c_str(), "wb");
    const bool written = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        error = "cannot write '" + archivePath + "'";
        return false;
    }
    return true;
}

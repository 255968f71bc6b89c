#pragma once
// ArchiveWriter: builds media archives in the layout of archive_format.h, as the reader and
// the build (fvtool rar pack) expect them: the marker, a main header, blocks, and an
// end-of-archive block. Every header gets its CRC. The output depends only on the input:
// file times are a fixed value.

#include "core/archive_format.h"
#include "core/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The fields of one member block; the packed size is the size of the data given with it.
struct ArchiveMemberFields {
    String name;
    std::uint16_t flags = kArchiveStoredFlags;
    std::uint32_t unpackedSize = 0;
    std::uint32_t crc = 0;
    std::uint8_t version = kArchiveMaxVersion;
    std::uint8_t method = kArchiveMethodStored;
    std::uint32_t attributes = kArchiveFileAttributes;
};

class ArchiveWriter {
public:
    // Starts with the marker ("UniquE!" when oldMarker) and a main header with these flags.
    explicit ArchiveWriter(std::uint16_t mainFlags = 0, bool oldMarker = false);

    // The folder entry: flags 0x80E0, attributes 0x10, sizes 0.
    bool AddFolder(const String& name);
    // A stored member (version 20, method 0x30, flags 0x8040) with the CRC-32 of its bytes.
    bool AddStored(const String& name, const std::uint8_t* data, std::size_t size);
    // A member block exactly as given, with data as its data area. False when the name is
    // empty or longer than 259 bytes, or the data larger than a 32-bit size.
    bool AddMember(const ArchiveMemberFields& fields, const std::uint8_t* data, std::size_t size);

    // Appends the end-of-archive block (type 0x7B, flags 0x4000, size 7) and hands over the
    // bytes. The writer is spent afterwards.
    std::vector<std::uint8_t> Finish();

private:
    void AppendBlockHeader(const std::vector<std::uint8_t>& header);
    std::vector<std::uint8_t> bytes_;
};

struct ArchiveFile {
    String name;  // the file's name inside the folder
    std::vector<std::uint8_t> bytes;
};

// The media archive of one folder: the folder entry, then one stored member per file, sorted
// by name (byte order) and named folder + "\" + name, then the end block. False, with error
// set, when a name is empty, holds a slash, repeats, or makes a member name over 259 bytes,
// or a file is too large.
bool PackArchive(const String& folder, const std::vector<ArchiveFile>& files, std::vector<std::uint8_t>& out,
                 String& error);

// Reads a whole file (or stream) from disk; false when it cannot be opened or read.
bool ReadDiskFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Packs a folder on disk, as the build and `fvtool rar pack` do: the folder entry named after
// the folder's last component, then one stored member per regular file in it, sorted by
// name; the archive is written to archivePath. False, with a one-line error, when the folder
// cannot be listed or read, the files cannot be packed, or the archive cannot be written.
bool PackFolder(const std::string& folderPath, const std::string& archivePath, std::string& error);

#pragma once
// ReadFile: the one way media files are read, whole. Before the media archive is mounted,
// names are paths on disk; once it is mounted, every read is served from the archive and
// the disk is no longer consulted.
//
// The archive is a RAR 2.0 archive of stored members (see archive_format.h). Its bytes are
// never copied or freed by the reader: they belong to the executable's resource (or, for
// MountArchiveBytes, to the caller, who keeps them alive while they are mounted). Every
// ReadFile walks the archive from its start; nothing is cached. One thread only.

#include "core/archive_format.h"
#include "core/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The folder inside the archive that holds every media file.
extern const char* const kMediaFolder;  // "FrostvaleMedia"

// A read-only view of archive bytes with a read position.
class MemoryArchive {
public:
    MemoryArchive() = default;
    MemoryArchive(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    std::size_t Position() const { return position_; }
    void Seek(std::size_t position) { position_ = position; }

    // Copies exactly n bytes from the position and advances past them. False, reading
    // nothing and leaving the position, when n is 0 or the bytes run past the end.
    bool Read(void* out, std::size_t n);
    // True when n > 0 bytes starting at offset lie inside the archive.
    bool Contains(std::uint64_t offset, std::uint64_t n) const;

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

// One member block (type 0x74) as stored.
struct ArchiveMember {
    String name;  // the stored name, cut to 259 bytes and at a zero byte
    std::uint16_t flags = 0;
    std::uint32_t packedSize = 0;  // the field as stored
    std::uint32_t unpackedSize = 0;
    std::uint32_t crc = 0;
    std::uint8_t version = 0;
    std::uint8_t method = 0;
    std::uint32_t attributes = 0;
    std::uint64_t dataOffset = 0;  // data area: block start + header size
    std::uint64_t dataSize = 0;    // packed size when flag 0x8000 is set, else 0
};

// Lists the member blocks of an archive in order. False, with error set, when the bytes are
// not an archive or a block is malformed or runs past the end. The walk ends at the end of
// the bytes or at a block of type 0x77.
bool ListArchive(const std::uint8_t* data, std::size_t size, std::vector<ArchiveMember>& members,
                 String& error);

// Mounts resource 147 of type "MemFile". When it is missing the mounted archive is empty:
// every later ReadFile fails and no disk file is tried. True when the resource was found.
bool MountArchive();
// Mounts the given bytes instead (tools and tests). They must outlive the mount.
void MountArchiveBytes(const std::uint8_t* data, std::size_t size);
// The mounted view, or null before mounting.
const MemoryArchive* MountedArchive();
// For tests only: returns to the unmounted state, so that ReadFile reads the disk again.
// The engine never unmounts.
void UnmountArchiveForTesting();

// Reads the whole file into bytes (replacing its contents). False, with bytes empty, when
// the file cannot be read: not found, damaged archive, CRC mismatch, a member that is
// compressed or encrypted, or a version needed outside 13..20. Names match members without
// regard to case or to the kind of slash ("FrostvaleMedia/Scene.props" names the member
// "FrostvaleMedia\Scene.props"); both sides are cut to 259 bytes (and at a zero byte).
bool ReadFile(const String& name, std::vector<std::uint8_t>& bytes);

// The relative path ("folder/file") under which a member may be written out: its name with
// either slash as the separator. False for names that would leave the target folder or are
// not plain paths: empty, absolute, with an empty, "." or ".." component.
bool MemberRelativePath(const String& member, String& relative);

// Whether a requested name names a member, by the rule above.
bool ArchiveNamesMatch(const char* requested, const char* member);

#pragma once
// The media archive's layout: a RAR 2.0 archive. All numbers are little-endian.
//
//   marker        7 bytes: "Rar!" 1A 07 00, or the equivalent "UniquE!"
//   main header   13 bytes: CRC16, type 0x73, flags (0x0008 solid), size, 6 reserved
//   blocks        each: CRC16, type, flags, header size (>= 7), and when flag 0x8000 is set a
//                 32-bit packed size at offset 7 and that many data bytes after the header.
//                 The next block starts at block start + header size (+ packed size).
//   member block  type 0x74, 32 fixed bytes (offsets below), the name, then the data area
//                 at block start + header size.
//
// A header CRC is the low 16 bits of the CRC-32 of the header from its byte 2 on. The
// reader ignores it; the writer fills it in. A file CRC is the CRC-32 of the whole file.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t kArchiveMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
inline constexpr std::uint8_t kArchiveOldMarker[7] = {0x55, 0x6E, 0x69, 0x71, 0x75, 0x45, 0x21};
inline constexpr std::size_t kArchiveMarkerSize = 7;
inline constexpr std::size_t kArchiveMainHeaderSize = 13;
inline constexpr std::size_t kArchiveBlockBaseSize = 7;
inline constexpr std::size_t kArchiveFileHeaderSize = 32;
// Longest member or requested name that takes part in matching; longer ones are cut.
inline constexpr std::size_t kArchiveMaxNameLength = 259;

// Block types.
inline constexpr std::uint8_t kArchiveMainBlock = 0x73;
inline constexpr std::uint8_t kArchiveFileBlock = 0x74;
inline constexpr std::uint8_t kArchiveStopBlock = 0x77;  // ends the reader's scan
inline constexpr std::uint8_t kArchiveEndBlock = 0x7B;   // written last by the writer

// Flags.
inline constexpr std::uint16_t kArchiveSolid = 0x0008;      // main header
inline constexpr std::uint16_t kArchiveEncrypted = 0x0004;  // member
inline constexpr std::uint16_t kArchiveHasData = 0x8000;    // any block: packed size follows
inline constexpr std::uint16_t kArchiveFolderFlags = 0x80E0;
inline constexpr std::uint16_t kArchiveStoredFlags = 0x8040;
inline constexpr std::uint16_t kArchiveEndFlags = 0x4000;

// Member fields.
inline constexpr std::uint8_t kArchiveMethodStored = 0x30;
inline constexpr std::uint8_t kArchiveMinVersion = 13;
inline constexpr std::uint8_t kArchiveMaxVersion = 20;
inline constexpr std::uint32_t kArchiveFolderAttributes = 0x10;
inline constexpr std::uint32_t kArchiveFileAttributes = 0x20;

// Offsets inside a block.
inline constexpr std::size_t kBlockCrcAt = 0;
inline constexpr std::size_t kBlockTypeAt = 2;
inline constexpr std::size_t kBlockFlagsAt = 3;
inline constexpr std::size_t kBlockSizeAt = 5;
inline constexpr std::size_t kBlockPackedAt = 7;
inline constexpr std::size_t kFileUnpackedAt = 11;
inline constexpr std::size_t kFileHostAt = 15;
inline constexpr std::size_t kFileCrcAt = 16;
inline constexpr std::size_t kFileTimeAt = 20;
inline constexpr std::size_t kFileVersionAt = 24;
inline constexpr std::size_t kFileMethodAt = 25;
inline constexpr std::size_t kFileNameSizeAt = 26;
inline constexpr std::size_t kFileAttributesAt = 28;

// The standard reflected CRC-32 (zlib's).
std::uint32_t ArchiveCrc32(const std::uint8_t* data, std::size_t size);

inline std::uint16_t ArchiveLoad16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ArchiveLoad32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

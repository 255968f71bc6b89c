#include "core/media_archive.h"

#include "core/log.h"
#include "platform/win/resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

const char* const kMediaFolder = "FrostvaleMedia";

namespace {

constexpr int kArchiveResourceNumber = 147;
constexpr const char* kArchiveResourceType = "MemFile";

// The mounted archive; gMounted is false until MountArchive or MountArchiveBytes.
MemoryArchive gView;
bool gMounted = false;

bool ReadDiskFile(const String& name, std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(name.CStr(), "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

// Copies a name for matching: cut at a zero byte and to 259 bytes, slashes of both kinds
// made "_", letters upper case (bytes outside a..z stay as they are).
std::size_t NormaliseName(const char* text, std::size_t length, char (&out)[kArchiveMaxNameLength + 1]) {
    std::size_t n = 0;
    while (n < length && n < kArchiveMaxNameLength && text[n] != '\0') {
        char c = text[n];
        if (c == '/' || c == '\\') c = '_';
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        out[n++] = c;
    }
    out[n] = '\0';
    return n;
}

// Reads the marker and the main header at the view's start and leaves the position on the
// first block. Both markers are accepted.
bool ReadArchiveStart(MemoryArchive& view, std::uint16_t& mainFlags, String& error) {
    view.Seek(0);
    std::uint8_t marker[kArchiveMarkerSize];
    if (!view.Read(marker, sizeof marker)) {
        error = "too short for an archive marker";
        return false;
    }
    if (std::memcmp(marker, kArchiveMarker, sizeof marker) != 0 &&
        std::memcmp(marker, kArchiveOldMarker, sizeof marker) != 0) {
        error = "not a RAR archive (bad marker)";
        return false;
    }
    std::uint8_t main[kArchiveMainHeaderSize];
    if (!view.Read(main, sizeof main)) {
        error = "truncated main header";
        return false;
    }
    mainFlags = ArchiveLoad16(main + kBlockFlagsAt);
    const std::size_t first = kArchiveMarkerSize + ArchiveLoad16(main + kBlockSizeAt);
    if (first > view.Size()) {
        error = "main header runs past the end of the archive";
        return false;
    }
    view.Seek(first);
    return true;
}

enum class BlockStep { kBlock, kEnd, kBad };

// Reads the block at the view's position. On kBlock, type and next are set, member is
// filled for a member block, and the position is left at the block start. kEnd: the
// position is at the end of the bytes. Every byte the block claims lies inside the view.
BlockStep ReadBlock(MemoryArchive& view, std::uint8_t& type, std::uint64_t& next, ArchiveMember& member,
                    String& error) {
    const std::uint64_t start = view.Position();
    if (start >= view.Size()) return BlockStep::kEnd;
    std::uint8_t head[kArchiveFileHeaderSize + 1];
    if (!view.Contains(start, kArchiveBlockBaseSize)) {
        error = "truncated block header";
        return BlockStep::kBad;
    }
    std::memcpy(head, view.Data() + start, kArchiveBlockBaseSize);
    type = head[kBlockTypeAt];
    const std::uint16_t flags = ArchiveLoad16(head + kBlockFlagsAt);
    const std::uint16_t headerSize = ArchiveLoad16(head + kBlockSizeAt);
    if (headerSize < kArchiveBlockBaseSize) {
        error = "block header size below 7";
        return BlockStep::kBad;
    }
    const bool isMember = type == kArchiveFileBlock;
    const std::size_t fixed = isMember ? kArchiveFileHeaderSize
                              : (flags & kArchiveHasData) ? kBlockPackedAt + 4
                                                          : kArchiveBlockBaseSize;
    if (headerSize < fixed || !view.Contains(start, fixed)) {
        error = "truncated block header";
        return BlockStep::kBad;
    }
    std::memcpy(head, view.Data() + start, fixed);
    const std::uint32_t packed = fixed > kBlockPackedAt ? ArchiveLoad32(head + kBlockPackedAt) : 0;
    const std::uint64_t dataSize = (flags & kArchiveHasData) ? packed : 0;
    next = start + headerSize + dataSize;
    if (next > view.Size()) {
        error = "block runs past the end of the archive";
        return BlockStep::kBad;
    }
    if (isMember) {
        const std::uint16_t nameSize = ArchiveLoad16(head + kFileNameSizeAt);
        if (headerSize < kArchiveFileHeaderSize + nameSize) {
            error = "member header shorter than its name";
            return BlockStep::kBad;
        }
        const auto* name = reinterpret_cast<const char*>(view.Data() + start + kArchiveFileHeaderSize);
        std::size_t length = 0;
        while (length < nameSize && length < kArchiveMaxNameLength && name[length] != '\0') ++length;
        member.name = String(name, static_cast<int>(length));
        member.flags = flags;
        member.packedSize = packed;
        member.unpackedSize = ArchiveLoad32(head + kFileUnpackedAt);
        member.crc = ArchiveLoad32(head + kFileCrcAt);
        member.version = head[kFileVersionAt];
        member.method = head[kFileMethodAt];
        member.attributes = ArchiveLoad32(head + kFileAttributesAt);
        member.dataOffset = start + headerSize;
        member.dataSize = dataSize;
    }
    return BlockStep::kBlock;
}

bool VersionSupported(std::uint8_t version) {
    return version >= kArchiveMinVersion && version <= kArchiveMaxVersion;
}

// Extracts one member from the view, walking from its start.
bool ReadArchiveFile(MemoryArchive view, const String& name, std::vector<std::uint8_t>& bytes) {
    char wanted[kArchiveMaxNameLength + 1];
    NormaliseName(name.CStr(), static_cast<std::size_t>(name.Length()), wanted);
    String error;
    std::uint16_t mainFlags = 0;
    if (!ReadArchiveStart(view, mainFlags, error)) return false;
    const bool solid = (mainFlags & kArchiveSolid) != 0;
    for (;;) {
        std::uint8_t type = 0;
        std::uint64_t next = 0;
        ArchiveMember member;
        if (ReadBlock(view, type, next, member, error) != BlockStep::kBlock) return false;
        if (type == kArchiveStopBlock) return false;
        view.Seek(static_cast<std::size_t>(next));
        if (type != kArchiveFileBlock) continue;
        char candidate[kArchiveMaxNameLength + 1];
        NormaliseName(member.name.CStr(), static_cast<std::size_t>(member.name.Length()), candidate);
        const bool matched = std::strcmp(wanted, candidate) == 0;
        const bool compressed = member.method != kArchiveMethodStored;
        // A solid archive's compressed members feed the decoding window of the ones after
        // them, so their version counts even when they are not the member asked for. Stored
        // members never read the window, and compressed ones are refused below, so nothing
        // needs decoding and no window is kept.
        if ((matched || (solid && compressed)) && !VersionSupported(member.version)) return false;
        if (!matched) continue;
        if (compressed) {
            Log("Error: ", String("ReadFile: ") + member.name + " is compressed; only stored members can be read\n");
            return false;
        }
        // No decryption: an encrypted member cannot be delivered.
        if (member.flags & kArchiveEncrypted) return false;
        // Refused before anything is allocated: no member can unpack to more than the archive
        // holds, and a stored member needs all of its bytes in its data area.
        if (member.unpackedSize > view.Size() || member.dataSize < member.unpackedSize) return false;
        const std::uint8_t* data = view.Data() + member.dataOffset;
        bytes.assign(data, data + member.unpackedSize);
        if (ArchiveCrc32(bytes.data(), bytes.size()) != member.crc) {
            bytes.clear();
            return false;
        }
        return true;
    }
}

}  // namespace

bool MemoryArchive::Contains(std::uint64_t offset, std::uint64_t n) const {
    return n > 0 && offset <= size_ && n <= size_ - offset;
}

bool MemoryArchive::Read(void* out, std::size_t n) {
    if (!Contains(position_, n)) return false;
    std::memcpy(out, data_ + position_, n);
    position_ += n;
    return true;
}

bool ListArchive(const std::uint8_t* data, std::size_t size, std::vector<ArchiveMember>& members,
                 String& error) {
    members.clear();
    MemoryArchive view(data, size);
    std::uint16_t mainFlags = 0;
    if (!ReadArchiveStart(view, mainFlags, error)) return false;
    for (;;) {
        std::uint8_t type = 0;
        std::uint64_t next = 0;
        ArchiveMember member;
        const BlockStep step = ReadBlock(view, type, next, member, error);
        if (step == BlockStep::kEnd) return true;
        if (step == BlockStep::kBad) {
            error = error + " (block at offset " + String::FromInt(static_cast<std::int32_t>(view.Position())) + ")";
            members.clear();
            return false;
        }
        if (type == kArchiveStopBlock) return true;
        if (type == kArchiveFileBlock) members.push_back(member);
        view.Seek(static_cast<std::size_t>(next));
    }
}

bool ArchiveNamesMatch(const char* requested, const char* member) {
    char a[kArchiveMaxNameLength + 1];
    char b[kArchiveMaxNameLength + 1];
    NormaliseName(requested, kArchiveMaxNameLength, a);
    NormaliseName(member, kArchiveMaxNameLength, b);
    return std::strcmp(a, b) == 0;
}

bool MountArchive() {
    HRSRC resource = FindResourceA(nullptr, kArchiveResourceNumber, kArchiveResourceType);
    HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const std::size_t size = data != nullptr ? SizeofResource(nullptr, resource) : 0;
    MountArchiveBytes(static_cast<const std::uint8_t*>(data), size);
    return data != nullptr;
}

void MountArchiveBytes(const std::uint8_t* data, std::size_t size) {
    gView = data != nullptr ? MemoryArchive(data, size) : MemoryArchive();
    gMounted = true;
}

const MemoryArchive* MountedArchive() { return gMounted ? &gView : nullptr; }

void UnmountArchiveForTesting() {
    gView = MemoryArchive();
    gMounted = false;
}

bool ReadFile(const String& name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!gMounted) return ReadDiskFile(name, bytes);
    return ReadArchiveFile(MemoryArchive(gView.Data(), gView.Size()), name, bytes);
}

bool MemberRelativePath(const String& member, String& relative) {
    relative = String();
    const int length = member.Length();
    if (length == 0) return false;
    int start = 0;
    String path;
    for (int i = 0; i <= length; ++i) {
        if (i < length && member[i] != '/' && member[i] != '\\') continue;
        // An empty part is tested apart: Substring reads a last of -1 as "to the end".
        const String part = i == start ? String() : member.Substring(start, i - 1);
        if (part.IsEmpty() || part.Equals(".") || part.Equals("..")) return false;
        path += (path.IsEmpty() ? String() : String("/")) + part;
        start = i + 1;
    }
    relative = path;
    return true;
}

#include "core/media_archive.h"

#include <cstdio>

const char* const kMediaFolder = "FrostvaleMedia";

namespace {

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

}  // namespace

bool ReadFile(const String& name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    return ReadDiskFile(name, bytes);
}

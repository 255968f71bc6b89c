#include "core/archive_format.h"

#include <zlib.h>

std::uint32_t ArchiveCrc32(const std::uint8_t* data, std::size_t size) {
    return static_cast<std::uint32_t>(crc32_z(0, data, size));
}

#pragma once
// ReadFile: the one way media files are read, whole. Before the media archive is mounted,
// names are paths on disk; once it is mounted, every read is served from the archive and
// the disk is no longer consulted.

#include "core/byte_string.h"

#include <cstdint>
#include <vector>

// The folder inside the archive that holds every media file.
extern const char* const kMediaFolder;  // "FrostvaleMedia"

// Reads the whole file into bytes (replacing its contents). False, with bytes empty, when
// the file cannot be read.
bool ReadFile(const String& name, std::vector<std::uint8_t>& bytes);

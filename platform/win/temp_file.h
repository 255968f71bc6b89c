#pragma once
// Private temporary files for code the program carries and loads.

#include "platform/win/win_types.h"

#include <cstddef>
#include <string>
#include <vector>

// The user's folders that may hold a module to load, in order: $TMPDIR (else /tmp), then
// $XDG_RUNTIME_DIR. A folder mounted noexec, or one that is not there, is left out.
std::vector<std::string> ModuleTempFolders();

// Writes size bytes into a new file folder/<prefix>XXXXXX (a unique name, created exclusively,
// mode 0600). Its path, or empty on failure with nothing left behind.
std::string WriteTempFile(const std::string& folder, const char* prefix, const void* data, std::size_t size);

BOOL DeleteFileA(LPCSTR path);

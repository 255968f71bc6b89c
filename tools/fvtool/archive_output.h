#pragma once
// Output shared by the commands that read media archives (rar for archive files, media for
// the archive built into the program).

#include <cstddef>
#include <cstdint>
#include <string>

// Prints the member blocks of the archive as a JSON array of {name, flags, packed,
// unpacked, crc, version, method}. `what` names the archive in error messages.
int PrintArchiveListing(const std::uint8_t* data, std::size_t size, const std::string& what);
// Writes the bytes of member `name` to stdout, read through ReadFile with the archive mounted.
int PrintArchiveMember(const std::uint8_t* data, std::size_t size, const std::string& name,
                       const std::string& what);

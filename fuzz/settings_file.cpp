// Fuzzes the settings file: parsing, then setting every settings value and writing the
// file out again. Lines that were read stay readable, lines that were not stay as they
// were, and the file written reads back with the values that were set.

#include "app/settings.h"
#include "platform/win/registry.h"
#include "platform/win/registry_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    RegistryFile file;
    file.Parse(input);

    // Untouched, the file is written back byte for byte (a last line gains its "\n").
    std::string expected = input;
    if (!expected.empty() && expected.back() != '\n') expected += '\n';
    if (file.Serialize() != expected) std::abort();

    const int unreadable = file.UnreadableCount();
    std::uint32_t seed = 2166136261u;
    for (unsigned char c : input) seed = (seed ^ c) * 16777619u;
    for (const SettingField& field : kSettingFields) {
        seed = seed * 1103515245u + 12345u;
        RegistryValue value{REG_DWORD, std::string(4, '\0')};
        std::memcpy(value.data.data(), &seed, 4);
        if (!file.Set(kSettingsRegistryKey, field.registryName, value)) std::abort();
    }

    const std::string written = file.Serialize();
    RegistryFile reread;
    reread.Parse(written);
    if (reread.UnreadableCount() != unreadable) std::abort();
    if (reread.Serialize() != written) std::abort();
    seed = 2166136261u;
    for (unsigned char c : input) seed = (seed ^ c) * 16777619u;
    for (const SettingField& field : kSettingFields) {
        seed = seed * 1103515245u + 12345u;
        RegistryValue value;
        if (!reread.Find(kSettingsRegistryKey, field.registryName, value)) std::abort();
        if (value.type != REG_DWORD || value.data.size() != 4 || std::memcmp(value.data.data(), &seed, 4) != 0)
            std::abort();
    }
    return 0;
}

#include "platform/win/resources.h"

#include "platform/win/resource_table.h"

#include <strings.h>

// A resource handle is a pointer to its table entry; a loaded handle is the same pointer.
HRSRC FindResourceA(HMODULE, int number, LPCSTR type) {
    if (type == nullptr) return nullptr;
    for (int i = 0; i < kResourceCount; ++i) {
        const ResourceEntry& entry = kResourceTable[i];
        if (entry.number == number && strcasecmp(entry.type, type) == 0)
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry));
    }
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return reinterpret_cast<HGLOBAL>(resource);
}

LPCVOID LockResource(HGLOBAL loaded) {
    if (loaded == nullptr) return nullptr;
    return reinterpret_cast<const ResourceEntry*>(loaded)->begin;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) return 0;
    const auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    return static_cast<DWORD>(entry->end - entry->begin);
}

bool ResourceBytes(int number, LPCSTR type, const void*& data, DWORD& size) {
    HRSRC found = FindResourceA(nullptr, number, type);
    data = LockResource(LoadResource(nullptr, found));
    size = data != nullptr ? SizeofResource(nullptr, found) : 0;
    return data != nullptr;
}

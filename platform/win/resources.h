#pragma once
// Resources by type name and number, shaped like the Win32 calls: find a handle, load it,
// lock it for a pointer, ask its size. The data is read-only and lives as long as the process.
// Type names compare without regard to case; the module handle is ignored (there is one module).

#include "platform/win/win_types.h"

HRSRC FindResourceA(HMODULE module, int number, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPCVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);

// The bytes of resource (number, type) in one call: find, load, lock and size. False, with
// data null and size 0, when it does not exist.
bool ResourceBytes(int number, LPCSTR type, const void*& data, DWORD& size);

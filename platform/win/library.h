#pragma once
// Loadable modules by path, shaped like the Win32 calls (over dlopen, dlsym, dlclose).

#include "platform/win/win_types.h"

#include <string>

// Loads the module at path with every symbol bound at once; null on failure.
HMODULE LoadLibraryA(LPCSTR path);
// The exported symbol name of module, or null.
void* GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
// Why the last LoadLibraryA failed (the loader's own message).
std::string LastLibraryError();

#include "platform/win/library.h"

#include <dlfcn.h>

namespace {

std::string gLastError;

}  // namespace

HMODULE LoadLibraryA(LPCSTR path) {
    void* module = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* error = ::dlerror();
        gLastError = error != nullptr ? error : "unknown error";
    }
    return static_cast<HMODULE>(module);
}

void* GetProcAddress(HMODULE module, LPCSTR name) { return module != nullptr ? ::dlsym(module, name) : nullptr; }

BOOL FreeLibrary(HMODULE module) { return module != nullptr && ::dlclose(module) == 0 ? TRUE : FALSE; }

std::string LastLibraryError() { return gLastError; }

#include "platform/win/runtime_probe.h"

#include <dlfcn.h>

#include <cstring>

namespace {

// The OpenGL library our Direct3D layer needs (the vendor-neutral one, then the classic).
bool OpenGlLoadable() {
    for (const char* name : {"libOpenGL.so.0", "libGL.so.1"}) {
        if (void* library = dlopen(name, RTLD_LAZY | RTLD_LOCAL)) {
            dlclose(library);
            return true;
        }
    }
    return false;
}

}  // namespace

bool QueryDiagnosticProvider(DWORD& major, DWORD& minor, std::string& letter) {
    if (!OpenGlLoadable()) return false;
    major = 9;
    minor = 0;
    letter.assign(1, 'c');
    return true;
}

bool QuerySystemFileVersion(const char* name, DWORD& high, DWORD& low) {
    if (name == nullptr || std::strcmp(name, "\\d3d9.dll") != 0 || !OpenGlLoadable()) return false;
    high = (9u << 16) | 0u;  // 9.00.0000.0000
    low = 0;
    return true;
}

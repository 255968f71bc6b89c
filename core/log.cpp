#include "core/log.h"

#include <cstdio>

namespace {
std::FILE* gLogFile = nullptr;
}

void Log(String prefix, String message) {
    if (gLogFile == nullptr) return;
    std::fwrite(prefix.CStr(), 1, static_cast<std::size_t>(prefix.Length()), gLogFile);
    std::fwrite(message.CStr(), 1, static_cast<std::size_t>(message.Length()), gLogFile);
    std::fflush(gLogFile);
}

bool OpenLogFile(const char* path) {
    CloseLogFile();
    gLogFile = std::fopen(path, "wb");
    return gLogFile != nullptr;
}

void CloseLogFile() {
    if (gLogFile != nullptr) std::fclose(gLogFile);
    gLogFile = nullptr;
}

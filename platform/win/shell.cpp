#include "platform/win/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

ShellExecuteHook gHook = nullptr;

std::vector<pid_t>& Started() {
    static std::vector<pid_t> started;
    return started;
}

HINSTANCE Code(std::intptr_t code) { return reinterpret_cast<HINSTANCE>(code); }

}  // namespace

void SetShellExecuteHook(ShellExecuteHook hook) { gHook = hook; }

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR target, LPCSTR, LPCSTR, int) {
    if (verb == nullptr || std::strcmp(verb, "open") != 0 || target == nullptr || *target == '\0') return Code(31);
    if (gHook != nullptr) {
        gHook(verb, target);
        return Code(33);
    }
    // The handler is not waited for; handlers started earlier that have ended are reaped here.
    auto& started = Started();
    started.erase(std::remove_if(started.begin(), started.end(),
                                 [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; }),
                  started.end());
    char program[] = "xdg-open";
    std::string address(target);
    char* argv[] = {program, address.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) return Code(2);
    started.push_back(child);
    return Code(42);
}

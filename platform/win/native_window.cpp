#include "platform/win/native_window.h"

#include <algorithm>
#include <memory>
#include <vector>

struct HWND__ {
    SDL_Window* sdl;
    GlContextSource* source;
};

namespace {
std::vector<std::unique_ptr<HWND__>>& Handles() {
    static std::vector<std::unique_ptr<HWND__>> handles;
    return handles;
}
}  // namespace

HWND RegisterNativeWindow(SDL_Window* window, GlContextSource* source) {
    Handles().push_back(std::make_unique<HWND__>(HWND__{window, source}));
    return Handles().back().get();
}

void UnregisterNativeWindow(HWND window) {
    auto& handles = Handles();
    handles.erase(std::remove_if(handles.begin(), handles.end(),
                                 [&](const std::unique_ptr<HWND__>& h) { return h.get() == window; }),
                  handles.end());
}

namespace {
const HWND__* Find(HWND window) {
    for (const auto& handle : Handles())
        if (handle.get() == window) return handle.get();
    return nullptr;
}
}  // namespace

SDL_Window* NativeWindowOf(HWND window) {
    const HWND__* handle = Find(window);
    return handle ? handle->sdl : nullptr;
}

GlContextSource* GlContextSourceOf(HWND window) {
    const HWND__* handle = Find(window);
    return handle ? handle->source : nullptr;
}

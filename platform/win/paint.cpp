#include "platform/win/paint.h"

#include "platform/win/resources.h"
#include "platform/win/window_internal.h"

#include <algorithm>
#include <cstring>
#include <vector>

struct HDC__ {
    HWND window;     // window DCs
    HBITMAP bitmap;  // memory DCs: the selected bitmap
    bool drawn;
};

struct HBITMAP__ {
    SDL_Surface* surface;
};

struct HBRUSH__ {
    int index;
};

namespace {

HBRUSH__ gBlackBrush{BLACK_BRUSH};

std::uint32_t ReadLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The surface and the client origin inside its SDL window for a window DC.
SDL_Surface* TargetOf(HDC dc, int& ox, int& oy) {
    if (!dc || !dc->window) return nullptr;
    const WindowRecord* record = FindWindowRecord(dc->window);
    if (!record) return nullptr;
    ox = record->parent ? record->x : 0;
    oy = record->parent ? record->y : 0;
    return SurfaceFor(record->sdl);
}

}  // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !paint) return nullptr;
    record->needsPaint = false;
    paint->hdc = new HDC__{window, nullptr, false};
    paint->fErase = FALSE;
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return FALSE;
    if (paint->hdc->drawn)
        if (const WindowRecord* record = FindWindowRecord(window)) SDL_UpdateWindowSurface(record->sdl);
    delete paint->hdc;
    return TRUE;
}

HBITMAP LoadBitmapA(HINSTANCE, int number) {
    const HRSRC found = FindResourceA(nullptr, number, "Bitmap");
    if (!found) return nullptr;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    if (!data || size < 16) return nullptr;
    std::vector<unsigned char> file;
    if (data[0] == 'B' && data[1] == 'M') {
        file.assign(data, data + size);
    } else {
        // A resource bitmap lacks the 14-byte file header; rebuild it.
        const std::uint32_t headerSize = ReadLe32(data);
        if (headerSize < 12 || headerSize > size) return nullptr;
        std::uint32_t paletteBytes = 0;
        if (headerSize >= 40) {
            const int bits = data[14] | (data[15] << 8);
            const std::uint32_t used = ReadLe32(data + 32);
            const std::uint32_t compression = ReadLe32(data + 16);
            const std::uint32_t colours = used ? used : (bits <= 8 ? (1u << bits) : 0);
            paletteBytes = std::min<std::uint32_t>(colours, 256) * 4;
            if (compression == 3 && headerSize == 40) paletteBytes += 12;
        }
        const std::uint32_t offset = 14 + headerSize + paletteBytes;
        const std::uint32_t total = 14 + size;
        file = {'B', 'M'};
        for (std::uint32_t v : {total, 0u, offset})
            for (int i = 0; i < 4; ++i) file.push_back(static_cast<unsigned char>(v >> (8 * i)));
        file.insert(file.end(), data, data + size);
    }
    SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
    if (!surface) return nullptr;
    return new HBITMAP__{surface};
}

BOOL DeleteObject(HBITMAP bitmap) {
    if (!bitmap) return FALSE;
    SDL_FreeSurface(bitmap->surface);
    delete bitmap;
    return TRUE;
}

HDC CreateCompatibleDC(HDC) { return new HDC__{nullptr, nullptr, false}; }

BOOL DeleteDC(HDC dc) {
    if (!dc || dc->window) return FALSE;
    delete dc;
    return TRUE;
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
    if (!dc || dc->window) return nullptr;
    const HBITMAP previous = dc->bitmap;
    dc->bitmap = bitmap;
    return previous;
}

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    if (rop != SRCCOPY || !source || !source->bitmap || width <= 0 || height <= 0) return FALSE;
    int ox, oy;
    SDL_Surface* screen = TargetOf(target, ox, oy);
    if (!screen) return FALSE;
    SDL_Surface* surface = source->bitmap->surface;
    // Copied pixel for pixel, never stretched: the part outside the bitmap is left alone.
    const int w = std::min(width, surface->w - sx);
    const int h = std::min(height, surface->h - sy);
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0) return TRUE;
    SDL_Rect from{sx, sy, w, h};
    SDL_Rect to{ox + x, oy + y, w, h};
    if (SDL_BlitSurface(surface, &from, screen, &to) != 0) return FALSE;
    target->drawn = true;
    return TRUE;
}

HBRUSH GetStockObject(int index) { return index == BLACK_BRUSH ? &gBlackBrush : nullptr; }

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!rect || brush != &gBlackBrush) return 0;
    int ox, oy;
    SDL_Surface* screen = TargetOf(dc, ox, oy);
    if (!screen) return 0;
    const SDL_Rect area{ox + rect->left, oy + rect->top, rect->right - rect->left, rect->bottom - rect->top};
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, 0, 0, 0));
    dc->drawn = true;
    return 1;
}

#pragma once
// Painting a window's client area: BeginPaint / EndPaint around drawing, and bitmap
// resources copied with BitBlt. A window's paint is shown at EndPaint.

#include "platform/win/messages.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int BLACK_BRUSH = 4;

struct HBRUSH__;
using HBRUSH = HBRUSH__*;

// Marks the window painted; the area starts black (windows have no background brush).
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// A bitmap resource (type "Bitmap", a device-independent bitmap without file header, or a
// BMP file); null when absent or unreadable.
HBITMAP LoadBitmapA(HINSTANCE instance, int number);
BOOL DeleteObject(HBITMAP bitmap);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Selects a bitmap into a memory DC; returns the previous one.
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// Only the black stock brush exists.
HBRUSH GetStockObject(int index);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

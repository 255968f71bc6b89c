#include "platform/d3d9/gl_formats.h"

bool TextureFormatOf(D3DFORMAT format, GlFormat& out) {
    out = GlFormat();
    switch (format) {
    case D3DFMT_A8R8G8B8:
        out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4};
        return true;
    case D3DFMT_X8R8G8B8:
        out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
        return true;
    case D3DFMT_A8B8G8R8:
        out = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4};
        return true;
    case D3DFMT_R8G8B8:
        out = {GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, 3};
        return true;
    case D3DFMT_R5G6B5:
        out = {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2};
        return true;
    case D3DFMT_X1R5G5B5:
        out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
        return true;
    case D3DFMT_A1R5G5B5:
        out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2};
        return true;
    case D3DFMT_A4R4G4B4:
        out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2};
        return true;
    case D3DFMT_X4R4G4B4:
        out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
        return true;
    case D3DFMT_A8:
        out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}};
        return true;
    case D3DFMT_L8:
        out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, {GL_RED, GL_RED, GL_RED, GL_ONE}};
        return true;
    case D3DFMT_A8L8:
        out = {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2, {GL_RED, GL_RED, GL_RED, GL_GREEN}};
        return true;
    default:
        return false;
    }
}

bool IsDepthFormatSupported(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D24S8;
}

bool IsRenderTargetFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5;
}

bool IsDisplayFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5; }

bool BackBufferMatchesDisplay(D3DFORMAT display, D3DFORMAT backBuffer) {
    if (display == D3DFMT_X8R8G8B8) return backBuffer == D3DFMT_X8R8G8B8 || backBuffer == D3DFMT_A8R8G8B8;
    if (display == D3DFMT_R5G6B5) return backBuffer == D3DFMT_R5G6B5;
    return false;
}

#pragma once
// How each Direct3D format we support is stored in OpenGL, and the sizes of its pixels.

#include "platform/d3d9/d3d9_types.h"

#include <epoxy/gl.h>

struct GlFormat {
    GLenum internalFormat = 0;
    GLenum format = 0;
    GLenum type = 0;
    int bytesPerPixel = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};

// False for formats that cannot be a texture here.
bool TextureFormatOf(D3DFORMAT format, GlFormat& out);
bool IsDepthFormatSupported(D3DFORMAT format);
bool IsRenderTargetFormat(D3DFORMAT format);
bool IsDisplayFormat(D3DFORMAT format);
// Whether a back buffer of this format can be shown in a mode of the display format.
bool BackBufferMatchesDisplay(D3DFORMAT display, D3DFORMAT backBuffer);

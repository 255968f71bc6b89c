#pragma once
// What a renderer needs of a texture resource: the Direct3D texture it stands for now
// (null while the device is lost or the image failed). Texture resources derive from it.

#include "core/object.h"
#include "platform/d3d9/d3d9.h"

class RenderTexture : public virtual Object {
public:
    virtual IDirect3DBaseTexture9* Direct3DTexture() const = 0;
    // The texture batching compares: a rectangle of an atlas counts as the atlas.
    virtual const RenderTexture* Identity() const { return this; }
};

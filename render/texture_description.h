#pragma once
// Texture descriptions: ".ts" files in the props language that set a texture's creation
// parameters and may declare sub-textures ("Subs"). Keys compare without regard to case;
// keyword values compare exactly, and an unknown keyword leaves the default.
//   FileName: the image (mode 1; without it an empty texture, mode 8).
//   InitType: SAVE_NAME (mode 2) or SAVE_DATA (mode 1), with a FileName only.
//   Width, Height (both): the size (default D3DX_DEFAULT: the image's).
//   x1, y1 with x2 or w, and y2 or h: an explicit rectangle in the parent (inclusive).
//   Usage D3DUSAGE_DYNAMIC (512); Id; Pool D3DPOOL_DEFAULT/MANAGED/SYSTEMMEM (default
//   managed); Levels (1); Format D3DFMT_R8G8B8 ... D3DFMT_A4R4G4B4 (UNKNOWN);
//   ColorKey: a number, or an object of "0"/"r", "1"/"g", "2"/"b" giving 0xFFrrggbb;
//   Filter and MipFilter: D3DX_FILTER_NONE/LINEAR/TRIANGLE/BOX (defaults LINEAR and BOX).

#include "core/byte_string.h"
#include "props/props_node.h"
#include "render/texture_atlas.h"
#include "render/texture_resource.h"

class PropsDocument;

struct TextureDescription {
    TextureParameters params;
    String fileName;
    String id;
    bool hasSize = false;
    bool hasRect = false;
    TextureRect rect;
};

// The description read from the keys of one map (the document's top level or a "Subs" element).
TextureDescription ReadTextureDescription(const PropsMap& keys);

// The part of the rectangle inside a width x height parent (empty when none).
TextureRect ClipRect(const TextureRect& rect, int width, int height);


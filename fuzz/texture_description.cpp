// Fuzz target for texture descriptions: arbitrary bytes as a ".ts" file, read key by key as
// the loader reads them (the top level and every "Subs" element), then the sub-textures
// placed in the parent the way the loader places them: explicit rectangles clipped to the
// parent, the others by the atlas rule. No file is read.

#include "props/props_document.h"
#include "props/props_parser.h"
#include "render/texture_atlas.h"
#include "render/texture_description.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    const PropsFileReader noFiles = [](const String&, std::vector<std::uint8_t>&) { return false; };
    PropsDocument document(2048);
    ParseProps(document, reinterpret_cast<const char*>(data), static_cast<int>(size), noFiles);
    const TextureDescription top = ReadTextureDescription(document.TopLevel());
    // The parent's size as a device would make it: 256 by default, at most 4096 a side here.
    const int width = top.hasSize ? int(std::clamp<UINT>(top.params.width, 1, 4096)) : 256;
    const int height = top.hasSize ? int(std::clamp<UINT>(top.params.height, 1, 4096)) : 256;
    std::vector<AtlasEntry> placed;
    std::vector<std::pair<int, int>> sizes;
    PropsNode* subs = Find(document, String("Subs"));
    if (subs) {
        subs->Children().Walk([&](PropsNode& element) {
            if (placed.size() + sizes.size() >= 64) return;
            TextureDescription d = ReadTextureDescription(element.Children());
            if (d.hasRect) {
                d.rect = ClipRect(d.rect, width, height);
                if (!d.rect.Empty()) placed.push_back(AtlasEntry{d.rect, true});
            } else if (d.hasSize && d.params.width < 0x7FFFFFFF && d.params.height < 0x7FFFFFFF) {
                sizes.emplace_back(int(d.params.width), int(d.params.height));
            }
        });
    }
    std::vector<TextureRect> rects;
    PlaceInAtlas(width, height, placed, sizes, rects);
    for (const TextureRect& r : rects) {
        if (r.Empty()) continue;
        if (r.left < 0 || r.top < 0 || r.right >= width || r.bottom >= height) __builtin_trap();
    }
    return 0;
}

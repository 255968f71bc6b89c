#pragma once
// The texture cache: every texture made through it, by file name. Get returns a texture
// whose parameters match the request, or makes one; with a sub-texture part (Id or
// rectangle) it returns that sub-texture of the match, adding it unless find-only.

#include "core/byte_string.h"
#include "render/texture_request.h"
#include "render/texture_resource.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TextureCache {
public:
    TextureCache() = default;
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The texture or none (find-only without a match, or a creation that failed).
    TextureResource* Get(const TextureRequest& request);

    int Count() const { return int(all_.size()); }
    // Drops every texture (their Direct3D textures with them).
    void Clear();

private:
    TextureResource* SubOf(TextureResource* texture, const TextureRequest& request) const;

    std::map<std::string, std::vector<TextureResource*>> byName_;
    std::vector<std::unique_ptr<TextureResource>> all_;
};

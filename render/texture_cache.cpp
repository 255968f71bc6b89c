// The texture cache: matching requests to made textures, and making new ones.

#include "render/texture_cache.h"

namespace {


}  // namespace

TextureResource* TextureCache::SubOf(TextureResource* texture, const TextureRequest& request) const {
    if (!request.HasSub()) return texture;
    if (TextureResource* sub = texture->FindSub(request)) return sub;
    if (request.findOnly) return nullptr;
    const TextureRect rect = request.Has(TextureRequest::kSubRect) ? request.subRect : texture->Rect();
    return texture->AddSub(rect, request.Has(TextureRequest::kSubId) ? request.subId : String());
}

TextureResource* TextureCache::Get(const TextureRequest& request) {
    const bool named = request.Has(TextureRequest::kFileName);
    if (!request.skipCacheLookup) {
        if (named) {
            const auto found = byName_.find(request.fileName.ToStdString());
            if (found != byName_.end())
                for (TextureResource* texture : found->second)
                    if (texture->Matches(request)) return SubOf(texture, request);
        } else {
            for (const auto& texture : all_)
                if (texture->Matches(request)) return SubOf(texture.get(), request);
        }
    }
    if (request.findOnly) return nullptr;
    auto texture = std::make_unique<TextureResource>();
    if (!texture->CreateFromRequest(request)) return nullptr;
    TextureResource* made = texture.get();
    byName_[named ? request.fileName.ToStdString() : std::string()].push_back(made);
    all_.push_back(std::move(texture));
    return SubOf(made, request);
}

void TextureCache::Clear() {
    byName_.clear();
    all_.clear();
}

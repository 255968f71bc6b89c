// Texture resources: creation modes, device reset, deferred creation and sub-textures.

#include "render/texture_resource.h"

#include "core/media_archive.h"
#include "platform/d3dx/d3dx_texture.h"

#include <algorithm>

namespace {

bool IsDescriptionName(const String& name) { return name.Extension().EqualsNoCase(String("ts")); }

}  // namespace

TextureResource::TextureResource() = default;

TextureResource::~TextureResource() { ReleaseAll(); }

void TextureResource::ReleaseTexture() {
    if (texture_) texture_->Release();
    texture_ = nullptr;
}

void TextureResource::ReleaseAll() {
    ReleaseTexture();
    subs_.clear();
    ownedBytes_.clear();
    ownedBytes_.shrink_to_fit();
    callerBytes_ = nullptr;
    length_ = 0;
    fileName_ = String();
    desc_ = D3DSURFACE_DESC{};
    levels_ = 0;
}

void TextureResource::StoreParameters(const TextureParameters& parameters) {
    params_ = parameters;
    // Before creation the description holds what was asked for.
    desc_ = D3DSURFACE_DESC{};
    desc_.Format = parameters.format;
    desc_.Usage = parameters.usage;
    desc_.Pool = parameters.pool;
    levels_ = 0;
}

const std::uint8_t* TextureResource::ImageBytes() const {
    return callerBytes_ ? callerBytes_ : (ownedBytes_.empty() ? nullptr : ownedBytes_.data());
}

bool TextureResource::CreateEmpty(DWORD mode, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool) {
    ReleaseAll();
    TextureParameters parameters;
    parameters.mode = mode;
    parameters.width = width;
    parameters.height = height;
    parameters.levels = levels;
    parameters.usage = usage;
    parameters.format = format;
    parameters.pool = pool;
    StoreParameters(parameters);
    return Create();
}

bool TextureResource::CreateFromFile(const String& name, const TextureParameters& parameters) {
    ReleaseAll();
    StoreParameters(parameters);
    fileName_ = name;
    return Create();
}

bool TextureResource::CreateFromMemory(const void* bytes, std::size_t length, const TextureParameters& parameters) {
    ReleaseAll();
    StoreParameters(parameters);
    if (!bytes || length == 0) return false;
    if (parameters.mode & texture_mode::kMemory) {
        callerBytes_ = static_cast<const std::uint8_t*>(bytes);
    } else {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        ownedBytes_.assign(first, first + length);
    }
    length_ = length;
    return Create();
}

bool TextureResource::CreateFromRequest(const TextureRequest& request) {
    using R = TextureRequest;
    TextureParameters parameters;
    parameters.mode = request.EffectiveMode();
    if (request.Has(R::kSize)) {
        parameters.width = request.width;
        parameters.height = request.height;
    }
    if (request.Has(R::kLevels)) parameters.levels = request.levels;
    if (request.Has(R::kUsage)) parameters.usage = request.usage;
    if (request.Has(R::kFormat)) parameters.format = request.format;
    if (request.Has(R::kPool)) parameters.pool = request.pool;
    if (request.Has(R::kFilter)) {
        parameters.filter = request.filter;
        parameters.mipFilter = request.mipFilter;
    }
    if (request.Has(R::kColorKey)) parameters.colorKey = request.colorKey;
    if (request.Has(R::kFileName)) {
        if (IsDescriptionName(request.fileName)) return LoadDescription(request.fileName);
        return CreateFromFile(request.fileName, parameters);
    }
    if (request.Has(R::kBytes)) return CreateFromMemory(request.bytes, request.length, parameters);
    return CreateEmpty(parameters.mode, parameters.width, parameters.height, parameters.levels, parameters.usage,
                       parameters.format, parameters.pool);
}

bool TextureResource::Create() {
    ReleaseTexture();
    if (params_.mode & texture_mode::kDeferred) return true;
    if (parent_) return LoadSubImage();
    const bool made = CreateTopLevel();
    if (!made) ReleaseTexture();
    return made;
}

bool TextureResource::CreateTopLevel() {
    IDirect3DDevice9* device = CurrentDevice();
    if (!device) return false;
    const TextureParameters& p = params_;
    IDirect3DTexture9* made = nullptr;
    D3DXIMAGE_INFO info{};
    HRESULT hr = E_FAIL;
    if (p.mode & texture_mode::kEmpty) {
        hr = D3DXCreateTexture(device, p.width, p.height, p.levels, p.usage, p.format, p.pool, &made);
    } else if (p.mode & texture_mode::kNamedFile) {
        hr = D3DXCreateTextureFromFileExA(device, fileName_.CStr(), p.width, p.height, p.levels, p.usage, p.format,
                                          p.pool, p.filter, p.mipFilter, p.colorKey, &info, nullptr, &made);
    } else if (p.mode & (texture_mode::kArchiveFile | texture_mode::kMemory)) {
        if ((p.mode & texture_mode::kArchiveFile) && !ImageBytes()) {
            if (fileName_.IsEmpty() || !ReadFile(fileName_, ownedBytes_) || ownedBytes_.empty()) {
                ownedBytes_.clear();
                return false;
            }
            length_ = ownedBytes_.size();
        }
        const std::uint8_t* bytes = ImageBytes();
        if (!bytes || length_ == 0 || length_ > 0xFFFFFFFFu) return false;
        hr = D3DXCreateTextureFromFileInMemoryEx(device, bytes, UINT(length_), p.width, p.height, p.levels, p.usage,
                                                 p.format, p.pool, p.filter, p.mipFilter, p.colorKey, &info, nullptr,
                                                 &made);
    }
    if (FAILED(hr) || !made) return false;
    texture_ = made;
    if (FAILED(texture_->GetLevelDesc(0, &desc_))) return false;
    levels_ = texture_->GetLevelCount();
    rect_ = TextureRect{0, 0, int(desc_.Width) - 1, int(desc_.Height) - 1};
    for (auto& sub : subs_) sub->TakeParentDescription();
    return true;
}

void TextureResource::TakeParentDescription() {
    if (!parent_ || parent_->desc_.Width == 0) return;
    desc_ = parent_->desc_;
    levels_ = parent_->levels_;
    rect_.left = std::max(rect_.left, 0);
    rect_.top = std::max(rect_.top, 0);
    rect_.right = std::min(rect_.right, int(desc_.Width) - 1);
    rect_.bottom = std::min(rect_.bottom, int(desc_.Height) - 1);
}

bool TextureResource::LoadSubImage() {
    IDirect3DTexture9* target = parent_ ? parent_->texture_ : nullptr;
    if (!target) return false;
    TakeParentDescription();
    const DWORD mode = params_.mode;
    if ((mode & texture_mode::kEmpty) || !(mode & (texture_mode::kArchiveFile | texture_mode::kNamedFile |
                                                   texture_mode::kMemory)))
        return true;  // a rectangle without an image of its own
    if (rect_.Empty()) return false;
    if ((mode & texture_mode::kArchiveFile) && !(mode & texture_mode::kNamedFile) && !ImageBytes()) {
        if (fileName_.IsEmpty() || !ReadFile(fileName_, ownedBytes_) || ownedBytes_.empty()) {
            ownedBytes_.clear();
            return false;
        }
        length_ = ownedBytes_.size();
    }
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(target->GetSurfaceLevel(0, &surface)) || !surface) return false;
    const RECT dest{rect_.left, rect_.top, rect_.right + 1, rect_.bottom + 1};
    D3DXIMAGE_INFO info{};
    HRESULT hr = E_FAIL;
    if (mode & texture_mode::kNamedFile) {
        hr = D3DXLoadSurfaceFromFileA(surface, nullptr, &dest, fileName_.CStr(), nullptr, params_.filter,
                                      params_.colorKey, &info);
    } else if (ImageBytes() && length_ <= 0xFFFFFFFFu) {
        hr = D3DXLoadSurfaceFromFileInMemory(surface, nullptr, &dest, ImageBytes(), UINT(length_), nullptr,
                                             params_.filter, params_.colorKey, &info);
    }
    surface->Release();
    return SUCCEEDED(hr);
}

bool TextureResource::RestoreTexture() {
    if (params_.mode & texture_mode::kDeferred) return true;
    if (parent_) return LoadSubImage();
    if (!Create()) return false;
    for (auto& sub : subs_)
        if (!sub->RestoreTexture()) return false;
    return true;
}

bool TextureResource::InvalidateTexture() {
    if (!parent_) ReleaseTexture();
    return true;
}

IDirect3DTexture9* TextureResource::Direct3DTexture() const { return parent_ ? parent_->texture_ : texture_; }

bool TextureResource::HasAlpha() const {
    switch (Identity()->desc_.Format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_A2R10G10B10:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return true;
    default:
        return false;
    }
}

IDirect3DTexture9* TextureResource::GetTexture() {
    if (parent_) {
        if (!parent_->texture_ && (parent_->params_.mode & texture_mode::kDeferred)) parent_->GetTexture();
        if (params_.mode & texture_mode::kDeferred) {
            params_.mode &= ~texture_mode::kDeferred;
            if (parent_->texture_) LoadSubImage();
        }
        return parent_->texture_;
    }
    if (!texture_ && (params_.mode & texture_mode::kDeferred)) {
        params_.mode &= ~texture_mode::kDeferred;
        RestoreTexture();
    }
    return texture_;
}

TextureResource* TextureResource::FindSub(const TextureRequest& request) const {
    for (const auto& sub : subs_) {
        if (request.Has(TextureRequest::kSubId)) {
            if (sub->id_.Equals(request.subId)) return sub.get();
        } else if (request.Has(TextureRequest::kSubRect) && sub->rect_ == request.subRect) {
            return sub.get();
        }
    }
    return nullptr;
}

TextureResource* TextureResource::Adopt(std::unique_ptr<TextureResource> sub) {
    sub->Unregister();  // the parent restores its sub-textures
    sub->ReleaseTexture();
    sub->subs_.clear();
    sub->parent_ = this;
    sub->TakeParentDescription();
    subs_.push_back(std::move(sub));
    return subs_.back().get();
}

TextureResource* TextureResource::AddSub(const TextureRect& rect, const String& id) {
    auto sub = std::make_unique<TextureResource>();
    sub->params_.mode = texture_mode::kEmpty;
    sub->rect_ = rect;
    sub->explicitRect_ = true;
    sub->id_ = id;
    return Adopt(std::move(sub));
}

bool TextureResource::Matches(const TextureRequest& request) const {
    using R = TextureRequest;
    const bool created = desc_.Width != 0;
    if (request.Has(R::kFormat) && request.format != params_.format && !(created && request.format == desc_.Format))
        return false;
    if (request.Has(R::kColorKey) && request.colorKey != params_.colorKey) return false;
    if (request.Has(R::kSize) && !(request.width == params_.width && request.height == params_.height) &&
        !(created && request.width == desc_.Width && request.height == desc_.Height))
        return false;
    if (request.Has(R::kUsage) && request.usage != params_.usage) return false;
    if (request.Has(R::kMode) &&
        (request.mode & ~texture_mode::kDeferred) != (params_.mode & ~texture_mode::kDeferred))
        return false;
    if (request.Has(R::kPool) && request.pool != params_.pool) return false;
    if (request.Has(R::kFilter) && (request.filter != params_.filter || request.mipFilter != params_.mipFilter))
        return false;
    if (request.Has(R::kLevels) && request.levels != params_.levels && !(created && request.levels == levels_))
        return false;
    return true;
}

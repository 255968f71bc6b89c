// Reading ".ts" texture descriptions and making the textures and atlases they describe.

#include "render/texture_description.h"

#include "core/media_archive.h"
#include "platform/d3dx/d3dx_texture.h"
#include "platform/image/image.h"
#include "props/props_document.h"
#include "props/props_parser.h"
#include "render/device_settings.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

bool Is(const String& value, const char* keyword) { return value.Equals(String(keyword)); }

DWORD FilterKeyword(const String& text, DWORD otherwise) {
    if (Is(text, "D3DX_FILTER_NONE")) return D3DX_FILTER_NONE;
    if (Is(text, "D3DX_FILTER_LINEAR")) return D3DX_FILTER_LINEAR;
    if (Is(text, "D3DX_FILTER_TRIANGLE")) return D3DX_FILTER_TRIANGLE;
    if (Is(text, "D3DX_FILTER_BOX")) return D3DX_FILTER_BOX;
    return otherwise;
}

// A number of a description: whole numbers up to 32 bits, read as unsigned when needed.
std::uint32_t Number(const PropsNode* node) {
    const double value = AsDouble(node);
    if (!(value > -2147483649.0 && value < 4294967296.0)) return 0;
    return value < 0 ? std::uint32_t(std::int32_t(value)) : std::uint32_t(value);
}

std::uint32_t Channel(const PropsNode* object, const char* index, const char* name) {
    const PropsNode* node = Find(object, String(index));
    if (!node) node = Find(object, String(name));
    return Number(node) & 0xFFu;
}

}  // namespace

TextureDescription ReadTextureDescription(const PropsMap& keys) {
    TextureDescription d;
    TextureParameters& p = d.params;
    p.mode = texture_mode::kEmpty;
    p.width = p.height = D3DX_DEFAULT;
    p.levels = 1;
    p.pool = D3DPOOL_MANAGED;
    p.filter = D3DX_FILTER_LINEAR;
    p.mipFilter = D3DX_FILTER_BOX;
    const auto key = [&keys](const char* name) { return Find(keys, String(name)); };

    if (const PropsNode* name = key("FileName")) {
        d.fileName = AsString(name);
        p.mode = texture_mode::kArchiveFile;
        const String init = AsString(key("InitType"));
        if (Is(init, "SAVE_NAME")) p.mode = texture_mode::kNamedFile;
        if (Is(init, "SAVE_DATA")) p.mode = texture_mode::kArchiveFile;
    }
    const PropsNode* width = key("Width");
    const PropsNode* height = key("Height");
    if (width && height) {
        p.width = Number(width);
        p.height = Number(height);
        d.hasSize = true;
    }
    // The right edge comes from x2 or else the width, the bottom from y2 or else the height.
    const PropsNode* x1 = key("x1");
    const PropsNode* y1 = key("y1");
    const PropsNode* x2 = key("x2");
    const PropsNode* y2 = key("y2");
    const PropsNode* w = x2 ? nullptr : key("w");
    const PropsNode* h = y2 ? nullptr : key("h");
    if (x1 && y1 && (x2 || w) && (y2 || h)) {
        d.rect.left = AsInt(x1);
        d.rect.top = AsInt(y1);
        const auto farEdge = [](int start, const PropsNode* size) {
            const std::int64_t edge = std::int64_t(start) + AsInt(size) - 1;
            return int(std::clamp<std::int64_t>(edge, -0x7FFFFFFF, 0x7FFFFFFF));
        };
        d.rect.right = x2 ? AsInt(x2) : farEdge(d.rect.left, w);
        d.rect.bottom = y2 ? AsInt(y2) : farEdge(d.rect.top, h);
        d.hasRect = true;
    }
    if (Is(AsString(key("Usage")), "D3DUSAGE_DYNAMIC")) p.usage = D3DUSAGE_DYNAMIC;
    if (const PropsNode* id = key("Id")) d.id = AsString(id);
    const String pool = AsString(key("Pool"));
    if (Is(pool, "D3DPOOL_DEFAULT")) p.pool = D3DPOOL_DEFAULT;
    if (Is(pool, "D3DPOOL_SYSTEMMEM")) p.pool = D3DPOOL_SYSTEMMEM;
    if (Is(pool, "D3DPOOL_MANAGED")) p.pool = D3DPOOL_MANAGED;
    if (const PropsNode* levels = key("Levels")) p.levels = Number(levels);
    if (const PropsNode* format = key("Format")) p.format = ParseFormatKeyword(AsString(format));
    if (PropsNode* colorKey = key("ColorKey")) {
        if (colorKey->Children().IsEmpty()) {
            p.colorKey = Number(colorKey);
        } else {
            p.colorKey = 0xFF000000u + Channel(colorKey, "0", "r") * 65536u + Channel(colorKey, "1", "g") * 256u +
                         Channel(colorKey, "2", "b");
        }
    }
    p.filter = FilterKeyword(AsString(key("Filter")), p.filter);
    p.mipFilter = FilterKeyword(AsString(key("MipFilter")), p.mipFilter);
    return d;
}

TextureRect ClipRect(const TextureRect& rect, int width, int height) {
    return TextureRect{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width - 1),
                       std::min(rect.bottom, height - 1)};
}

// Builds sub-textures from the "Subs" elements of a description, for TextureResource.
class TextureDescriptionLoader {
public:
    // More would only slow the placement down (it grows with the cube of the count).
    static constexpr std::size_t kMaxSubTextures = 256;

    explicit TextureDescriptionLoader(TextureResource& parent) : parent_(parent) {}

    void AddSubs(PropsNode& subs) {
        std::vector<std::unique_ptr<TextureResource>> made;
        std::vector<AtlasEntry> placed;
        std::vector<std::pair<int, int>> sizes;
        std::vector<std::size_t> automatic;  // indices into `made` of the subs to place
        int width = int(parent_.desc_.Width), height = int(parent_.desc_.Height);
        if (width == 0 && parent_.params_.width < D3DX_FROM_FILE && parent_.params_.height < D3DX_FROM_FILE) {
            width = int(std::min<UINT>(parent_.params_.width, image::kMaxImageSide));  // a deferred parent: its asked-for size
            height = int(std::min<UINT>(parent_.params_.height, image::kMaxImageSide));
        }
        for (PropsNode* element : ElementsInOrder(subs)) {
            TextureDescription d = ReadTextureDescription(element->Children());
            auto sub = std::make_unique<TextureResource>();
            sub->params_ = d.params;
            sub->fileName_ = d.fileName;
            sub->id_ = d.id;
            if (made.size() >= kMaxSubTextures) break;
            if (d.hasRect) {
                if (width > 0) d.rect = ClipRect(d.rect, width, height);
                if (d.rect.Empty()) continue;
                sub->rect_ = d.rect;
                sub->explicitRect_ = true;
                placed.push_back(AtlasEntry{d.rect, true});
            } else {
                int w = 0, h = 0;
                if (!SubSize(*sub, d, w, h)) continue;
                sizes.emplace_back(w, h);
                automatic.push_back(made.size());
            }
            made.push_back(std::move(sub));
        }
        std::vector<TextureRect> rects;
        PlaceInAtlas(width, height, placed, sizes, rects);
        for (std::size_t i = 0; i < automatic.size(); ++i) {
            if (rects[i].Empty()) {
                made[automatic[i]].reset();  // could not be placed: left out
                continue;
            }
            made[automatic[i]]->rect_ = rects[i];
        }
        for (auto& sub : made) {
            if (!sub) continue;
            TextureResource* kept = parent_.Adopt(std::move(sub));
            if (parent_.texture_ && !(kept->params_.mode & texture_mode::kDeferred) && !kept->LoadSubImage())
                parent_.subs_.pop_back();  // an image that does not load is left out
        }
    }

private:
    // The array's elements by index ("0", "1", ...); other names after them, as stored.
    static std::vector<PropsNode*> ElementsInOrder(PropsNode& array) {
        std::vector<std::pair<long long, PropsNode*>> elements;
        array.Children().Walk([&](PropsNode& element) {
            int index = 0;
            const bool numbered = element.Name().ToInt(index) && index >= 0;
            elements.emplace_back(numbered ? index : (1LL << 40) + static_cast<long long>(elements.size()), &element);
        });
        std::stable_sort(elements.begin(), elements.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<PropsNode*> out;
        for (const auto& element : elements) out.push_back(element.second);
        return out;
    }

    // The size of an automatically placed sub-texture: its Width and Height, or its image's.
    static bool SubSize(TextureResource& sub, const TextureDescription& d, int& w, int& h) {
        if (d.hasSize && d.params.width < D3DX_FROM_FILE && d.params.height < D3DX_FROM_FILE) {
            w = int(std::min<UINT>(d.params.width, 0x7FFFFFFF));
            h = int(std::min<UINT>(d.params.height, 0x7FFFFFFF));
            return w > 0 && h > 0;
        }
        if (d.fileName.IsEmpty()) return false;
        std::vector<std::uint8_t> bytes;
        if (d.params.mode & texture_mode::kNamedFile) {
            std::vector<unsigned char> disk;
            if (!D3DXReadWholeFile(d.fileName.CStr(), disk)) return false;
            bytes.assign(disk.begin(), disk.end());
        } else {
            if (!ReadFile(d.fileName, bytes)) return false;
        }
        image::ImageInfo info;
        if (!image::ReadImageInfo(bytes.data(), bytes.size(), info)) return false;
        if (d.params.mode & texture_mode::kArchiveFile) {
            sub.ownedBytes_ = std::move(bytes);  // kept for every later load
            sub.length_ = sub.ownedBytes_.size();
        }
        w = info.width;
        h = info.height;
        return w > 0 && h > 0;
    }

    TextureResource& parent_;
};

bool TextureResource::LoadDescription(const String& name) {
    ReleaseAll();
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(name, bytes)) return false;
    PropsDocument document;
    if (!ParseProps(document, reinterpret_cast<const char*>(bytes.data()), int(bytes.size()))) return false;
    const TextureDescription d = ReadTextureDescription(document.TopLevel());
    bool made = false;
    if (!d.fileName.IsEmpty()) {
        made = CreateFromFile(d.fileName, d.params);
    } else {
        made = CreateEmpty(d.params.mode, d.params.width, d.params.height, d.params.levels, d.params.usage,
                           d.params.format, d.params.pool);
    }
    if (!made) return false;
    id_ = d.id;
    if (!parent_)
        if (PropsNode* subs = Find(document, String("Subs"))) TextureDescriptionLoader(*this).AddSubs(*subs);
    return true;
}

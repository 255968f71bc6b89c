#include "snowscape/font_files.h"

#include "core/log.h"
#include "core/media_archive.h"
#include "props/props_parser.h"
#include "render/device_settings.h"
#include "render/texture_cache.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

bool ParseFile(PropsDocument& document, const String& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return false;
    // Malformed statements are skipped by the language; what parsed is used.
    ParseProps(document, reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    return true;
}

// Joins a name to the folder of the file that names it.
String Beside(const String& file, const String& name) {
    const String folder = file.Folder();
    return folder.IsEmpty() ? name : folder + "/" + name;
}

// An array of three numbers ("0", "1", "2", each falling back to "r", "g", "b") gives an
// opaque colour; a single number is the 32-bit colour itself.
std::optional<D3DCOLOR> ReadColorKey(const PropsNode* node) {
    if (node == nullptr) return std::nullopt;
    if (node->Children().IsEmpty()) {
        const double value = std::clamp(AsDouble(node), -2147483648.0, 4294967295.0);
        return D3DCOLOR(std::uint32_t(std::int64_t(value)));
    }
    const char* letters[3] = {"r", "g", "b"};
    D3DCOLOR colour = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const PropsNode* part = Get(node, i);
        if (part == nullptr) part = Find(node, letters[i]);
        colour |= D3DCOLOR(AsInt(part) & 0xFF) << (8 * (2 - i));
    }
    return colour;
}

// The code a Sizes key names: the second byte of a quoted key, else the key as a number;
// -1 when it names none.
int SizesKeyCode(const String& key) {
    if (key.Length() >= 2 && key[0] == '"') return static_cast<unsigned char>(key[1]);
    int code = 0;
    return key.ToInt(code) ? code : -1;
}

void ReadWidths(Charset& cs, PropsNode* sizes) {
    if (sizes == nullptr) return;
    // Visited in walk order; for one code the entry visited later wins.
    sizes->Children().Walk([&](PropsNode& entry) {
        const int code = SizesKeyCode(entry.Name());
        if (cs.Covers(code)) cs.widths[std::size_t(code - cs.start)] = std::uint8_t(AsInt(&entry));
    });
}

void BuildGrid(Charset& cs) {
    const float w = float(cs.textureWidth), h = float(cs.textureHeight);
    for (int ch = cs.start; ch < cs.end; ++ch) {
        const int i = ch - cs.start;
        const int x = (i % cs.charsPerLine) * cs.charWidth, y = (i / cs.charsPerLine) * cs.charHeight;
        const int width = cs.widths[std::size_t(i)];
        cs.rects[std::size_t(i)] = GlyphRect{float(x) / w, float(y) / h, float(x + width) / w, float(y + cs.charHeight) / h};
    }
}

void ReadRects(Charset& cs, PropsNode* rects) {
    if (rects == nullptr) return;
    const float w = float(cs.textureWidth), h = float(cs.textureHeight);
    rects->Children().Walk([&](PropsNode& entry) {
        const String& key = entry.Name();
        if (key.Length() < 2) return;
        const int ch = static_cast<unsigned char>(key[1]);
        if (!cs.Covers(ch)) return;
        const int left = AsInt(Get(&entry, 0)), top = AsInt(Get(&entry, 1));
        const int right = AsInt(Get(&entry, 2)), bottom = AsInt(Get(&entry, 3));
        const std::size_t i = std::size_t(ch - cs.start);
        cs.widths[i] = std::uint8_t(std::int64_t(right) - left + 1);
        cs.rects[i] = GlyphRect{float(left) / w, float(top) / h, float(right) / w, float(bottom) / h};
    });
}

// The elements of an array in index order ("0", "1", ...; other names after them in walk
// order), whichever way the file wrote them.
std::vector<PropsNode*> ElementsInOrder(PropsNode* array) {
    std::vector<std::pair<long long, PropsNode*>> keyed;
    if (array == nullptr) return {};
    array->Children().Walk([&](PropsNode& element) {
        int index = 0;
        const bool numbered = element.Name().ToInt(index) && index >= 0;
        keyed.emplace_back(numbered ? index : (1LL << 40) + (long long)keyed.size(), &element);
    });
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PropsNode*> elements;
    for (const auto& entry : keyed) elements.push_back(entry.second);
    return elements;
}

}  // namespace

bool LoadCharset(Charset& cs, const String& path, TextureCache& textures) {
    PropsDocument document;
    if (!ParseFile(document, path)) return false;
    cs = Charset{};
    cs.fileName = path;
    const PropsNode* format = Find(document, "Format");
    const String textureFile = AsString(Find(document, "Name"));
    cs.textureName = textureFile.IsEmpty() ? String() : Beside(path, textureFile);
    const PropsNode* perLine = Find(document, "CharsPerLine");
    cs.charsPerLine = AsInt(perLine);
    if (const PropsNode* n = Find(document, "CharWidth")) cs.charWidth = AsInt(n);
    if (const PropsNode* n = Find(document, "CharHeight")) cs.charHeight = AsInt(n);
    if (const PropsNode* n = Find(document, "StartChar")) cs.start = AsInt(n);
    if (const PropsNode* n = Find(document, "EndChar")) cs.end = AsInt(n);
    // Without a grid (no CharsPerLine) no cell can be found; a range beyond 16-bit codes
    // would only cost memory; a cell larger than any texture holds no glyph (and its
    // positions would not fit an int).
    if (cs.end < cs.start || cs.start < 0 || cs.end > kMaxCharCode || cs.charsPerLine <= 0) return false;
    if (cs.charWidth < 0 || cs.charWidth > kMaxCellSize || cs.charHeight < 0 || cs.charHeight > kMaxCellSize)
        return false;
    cs.colorKey = ReadColorKey(Find(document, "ColorKey"));

    const std::size_t count = std::size_t(cs.end - cs.start + 1);
    cs.widths.assign(count, 0);
    cs.rects.assign(count, GlyphRect{});
    ReadWidths(cs, Find(document, "Sizes"));

    TextureRequest request;
    request.FileName(cs.textureName).Pool(D3DPOOL_MANAGED).Filters(5, 5);
    if (format != nullptr) request.Format(ParseFormatKeyword(AsString(format)));
    if (cs.colorKey) request.ColorKey(*cs.colorKey);
    TextureResource* texture = cs.textureName.IsEmpty() ? nullptr : textures.Get(request);
    if (texture == nullptr) {
        Log("", "Error: font texture loading failed\n");
        return false;
    }
    cs.texture = texture;
    cs.textureWidth = std::max<int>(1, int(texture->Description().Width));
    cs.textureHeight = std::max<int>(1, int(texture->Description().Height));

    BuildGrid(cs);
    ReadRects(cs, Find(document, "Rects"));
    return true;
}

bool LoadFont(BitmapFont& font, const String& path, TextureCache& textures) {
    font.Clear();
    PropsDocument document;
    if (!ParseFile(document, path)) return false;
    bool ok = true;
    for (PropsNode* record : ElementsInOrder(Find(document, "Styles"))) {
        TextStyle style;
        if (const PropsNode* n = Find(record, "Size")) style.size = AsInt(n);
        if (AsInt(Find(record, "Bold")) > 0) style.flags |= kStyleBold;
        if (AsInt(Find(record, "Italic")) > 0) style.flags |= kStyleItalic;
        CharsetList& list = font.ListFor(style);
        for (PropsNode* name : ElementsInOrder(Find(record, "Charsets"))) {
            auto charset = std::make_unique<Charset>();
            if (LoadCharset(*charset, Beside(path, AsString(name)), textures)) list.Add(std::move(charset));
            else ok = false;
        }
    }
    return ok;
}

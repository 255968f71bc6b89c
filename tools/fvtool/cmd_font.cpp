// fvtool font and fvtool label: bitmap fonts as the loader reads them, and a label's layout
// and glyph vertices as the program makes them.

#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/screen_element.h"
#include "render/text_layout.h"
#include "render/texture_cache.h"
#include "snowscape/font_files.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, float>;

int RunFont(const std::vector<std::string>& args);
int RunLabel(const std::vector<std::string>& args);
const Subcommand kFont{"font", "FILE.fs", RunFont};
const Subcommand kLabel{"label",
                        "layout --font FILE.fs --size N [--bold] [--italic] [--spacing N] [--gap N] --text TEXT "
                        "--rect X,Y,W,H [--scale K] [--wrap] [--hscroll F] [--vscroll F] [--first F] [--depth Z]",
                        RunLabel};

// A recording device with memory-backed textures stands in for the GPU while it lives.
class ToolDevice {
public:
    ToolDevice() : device_(RecordingDevice::Create()) { PublishDevice(device_); }
    ~ToolDevice() {
        PublishDevice(nullptr);
        device_->Release();
    }
    ToolDevice(const ToolDevice&) = delete;
    ToolDevice& operator=(const ToolDevice&) = delete;

private:
    RecordingDevice* device_;
};

json CharsetJson(const Charset& cs) {
    json widths = json::array(), rects = json::array();
    for (int code = cs.start; code <= cs.end; ++code) {
        widths.push_back(cs.GlyphWidth(code));
        const GlyphRect r = cs.Glyph(code, 0, 0, 0, 0);
        rects.push_back(json::array({r.left, r.top, r.right, r.bottom}));
    }
    return json{{"file", cs.fileName.ToStdString()},
                {"texture", cs.textureName.ToStdString()},
                {"start", cs.start},
                {"end", cs.end},
                {"charWidth", cs.charWidth},
                {"charHeight", cs.charHeight},
                {"charsPerLine", cs.charsPerLine},
                {"colorKey", cs.colorKey ? json(std::int64_t(*cs.colorKey)) : json(nullptr)},
                {"textureWidth", cs.textureWidth},
                {"textureHeight", cs.textureHeight},
                {"widths", widths},
                {"rects", rects}};
}

int RunFont(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kFont);
    if (args.size() != 1) return Fail("usage: fvtool font FILE.fs");
    ToolDevice device;
    TextureCache textures;
    BitmapFont font;
    // No archive is mounted here: the font, its charsets and textures are read from disk.
    const bool ok = LoadFont(font, String(args[0].c_str()), textures);
    json styles = json::array();
    for (const TextStyle& style : font.Styles()) {
        json charsets = json::array();
        if (const CharsetList* list = font.Find(style))
            for (const auto& cs : list->Charsets()) charsets.push_back(CharsetJson(*cs));
        styles.push_back(json{{"size", style.size},
                              {"bold", (style.flags & kStyleBold) != 0},
                              {"italic", (style.flags & kStyleItalic) != 0},
                              {"charsets", charsets}});
    }
    std::printf("%s\n", json{{"ok", ok}, {"styles", styles}}.dump(2).c_str());
    return 0;
}

bool ParseNumber(const std::string& text, float& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseNumber(const std::string& text, int& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// UTF-8 to UTF-16 code units; false for malformed text.
bool Utf8ToUtf16(const std::string& in, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || in.size() - i <= std::size_t(extra)) return false;
        char32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(in[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static const char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
        i += std::size_t(extra) + 1;
    }
    return true;
}

bool ParseRect(const std::string& text, int (&rect)[4]) {
    std::size_t from = 0;
    for (int k = 0; k < 4; ++k) {
        const std::size_t comma = k < 3 ? text.find(',', from) : text.size();
        if (comma == std::string::npos || !ParseNumber(text.substr(from, comma - from), rect[k])) return false;
        from = comma + 1;
    }
    return true;
}

int RunLabel(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kLabel);
    if (args.empty() || args[0] != "layout") return Fail(std::string("usage: fvtool label ") + kLabel.usage);
    std::string fontFile, text;
    bool haveSize = false, haveText = false, haveRect = false;
    TextStyle style;
    int rect[4] = {0, 0, 0, 0};
    TextLayoutInput input;
    float depth = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--bold") { style.flags |= kStyleBold; continue; }
        if (arg == "--italic") { style.flags |= kStyleItalic; continue; }
        if (arg == "--wrap") { input.wrap = true; continue; }
        if (i + 1 >= args.size()) return Fail(arg + (arg.rfind("--", 0) == 0 ? " needs a value" : ": unexpected"));
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--font") fontFile = value;
        else if (arg == "--text") text = value, haveText = true;
        else if (arg == "--size") ok = haveSize = ParseNumber(value, style.size);
        else if (arg == "--spacing") ok = ParseNumber(value, style.spacing);
        else if (arg == "--gap") ok = ParseNumber(value, style.lineGap);
        else if (arg == "--rect") ok = haveRect = ParseRect(value, rect);
        else if (arg == "--scale") ok = ParseNumber(value, input.scale);
        else if (arg == "--hscroll") ok = ParseNumber(value, input.horizontalScroll);
        else if (arg == "--vscroll") ok = ParseNumber(value, input.verticalScroll);
        else if (arg == "--first") ok = ParseNumber(value, input.firstCharacter);
        else if (arg == "--depth") ok = ParseNumber(value, depth);
        else return Fail("unknown option '" + arg + "'");
        if (!ok) return Fail(arg + " cannot take '" + value + "'");
    }
    if (fontFile.empty() || !haveSize || !haveText || !haveRect)
        return Fail("--font, --size, --text and --rect are needed");
    std::u16string wide;
    if (!Utf8ToUtf16(text, wide)) return Fail("--text is not UTF-8");

    ToolDevice device;
    TextureCache textures;
    BitmapFont font;
    if (!LoadFont(font, String(fontFile.c_str()), textures)) return Fail("cannot load the font '" + fontFile + "'");
    // The label's rectangle, clamped as a label clamps it.
    Window frame;
    frame.SetRect(rect[0], rect[1], rect[2], rect[3]);
    ScreenBox screen, clip;
    frame.ScreenRect(screen, clip);
    input.edges = ScreenBox{screen.left, screen.top, screen.left + screen.right, screen.top + screen.bottom};
    std::vector<GlyphBox> boxes;
    std::vector<TextureTriangles> counts;
    if (!LayOutText(font, style, wide, input, boxes, counts)) return Fail("the font has no style of that size and flags");

    json placed = json::array(), triangles = json::object(), vertices = json::array();
    const ScreenBox clipEdges{clip.left, clip.top, clip.left + clip.right, clip.top + clip.bottom};
    for (const GlyphBox& glyph : boxes) {
        const ScreenBox& b = glyph.box;
        placed.push_back(json{{"char", int(glyph.character)}, {"box", json::array({b.left, b.top, b.right, b.bottom})}});
        float quad[kGlyphFloats];
        WriteGlyphQuad(glyph, clipEdges, depth, quad);
        for (int v = 0; v < 6; ++v)
            vertices.push_back(json::array({quad[v * 6], quad[v * 6 + 1], quad[v * 6 + 2], quad[v * 6 + 3],
                                            quad[v * 6 + 4], quad[v * 6 + 5]}));
    }
    for (const TextureTriangles& count : counts) {
        for (const GlyphBox& glyph : boxes) {
            if (glyph.charset->texture != count.texture) continue;
            triangles[glyph.charset->textureName.ToStdString()] = count.triangles;
            break;
        }
    }
    std::printf("%s\n", json{{"boxes", placed}, {"triangles", triangles}, {"vertices", vertices}}.dump(2).c_str());
    return 0;
}

}  // namespace

#include "tools/mediagen/fonts.h"

#include "tools/mediagen/glyphs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Alpha of a glyph's coverage at texture pixel (x, y) when its pen sits at (penX, baseline).
float CoverageAt(const Glyph& glyph, int penX, int baseline, int x, int y) {
    const int gx = x - (penX + glyph.left), gy = y - (baseline - glyph.top);
    if (gx < 0 || gy < 0 || gx >= glyph.width || gy >= glyph.height) return 0.0f;
    return glyph.coverage[static_cast<size_t>(gy) * glyph.width + gx] / 255.0f;
}

std::string Quoted(char c) { return std::string("\"") + c + "\""; }

}  // namespace

bool BuildSansFont(BitmapFont& font, std::vector<int>& widths) {
    GlyphFace face;
    if (!face.Open("DejaVuSans.ttf", 11)) return false;
    font.fontFileName = "sylfaen.fs";
    font.charsetFileName = "sylfaen_eng_14.css";
    font.textureFileName = "sylfaen_eng_14.png";
    font.texture = Image(256, 256, Rgba{1, 1, 1, 0});
    widths.assign(kSansCodes, 0);
    const int baseline = face.Ascender();
    for (int code = 0; code < kSansCodes; ++code) {
        const int column = code % kSansPerRow, row = code / kSansPerRow;
        const int cellX = column * kSansCell, cellY = row * kSansCell;
        Glyph glyph;
        if (code < 32 || !face.Render(Windows1252ToUnicode(static_cast<unsigned char>(code)), glyph)) continue;
        // The pen starts at the cell's left edge (later if the glyph reaches left of its pen);
        // the width covers the advance and all the ink, and ink that would leave the cell is
        // clipped.
        const int penX = std::max(0, -glyph.left);
        widths[code] = std::clamp(std::max(glyph.advance, penX + glyph.left + glyph.width), 1, kSansCell);
        for (int y = 0; y < kSansCell; ++y) {
            for (int x = 0; x < kSansCell; ++x) {
                const float alpha = CoverageAt(glyph, penX, baseline, x, y);
                if (alpha > 0) font.texture.At(cellX + x, cellY + y) = Rgba{1, 1, 1, alpha};
            }
        }
    }
    font.fontText =
        "// Sylfaen: the small sans font, one style of size 14.\r\n"
        "Name = \"Sylfaen\";\r\n"
        "Styles[0].Size     = 14;\r\n"
        "Styles[0].Bold     = 0;\r\n"
        "Styles[0].Italic   = 0;\r\n"
        "Styles[0].Charsets = array(\"" + font.charsetFileName + "\");\r\n";
    std::string css =
        "// Sylfaen 14: Windows-1252 codes 0-255 in 14 x 14 cells, 18 to a row.\r\n"
        "// The last code of a range gets no cell rectangle, so the range runs to 256.\r\n"
        "Name         = \"" + font.textureFileName + "\";\r\n"
        "Format       = \"D3DFMT_A8R8G8B8\";\r\n"
        "CharWidth    = 14;\r\n"
        "CharHeight   = 14;\r\n"
        "CharsPerLine = 18;\r\n"
        "StartChar    = 0;\r\n"
        "EndChar      = 256;\r\n"
        "\r\n"
        "// Glyph widths in pixels, by code.\r\n"
        "Sizes = array(\r\n";
    for (int code = 0; code < kSansCodes; ++code) {
        if (code % 16 == 0) css += "    ";
        css += std::to_string(widths[code]);
        if (code + 1 < kSansCodes) css += code % 16 == 15 ? ",\r\n" : ", ";
    }
    css += "\r\n);\r\n";
    font.charsetText = css;
    return true;
}

bool BuildClockFont(BitmapFont& font, std::vector<ClockGlyph>& glyphs) {
    GlyphFace face;
    if (!face.Open("DejaVuSansMono-Bold.ttf", 58)) return false;
    font.fontFileName = "ferrow.fs";
    font.charsetFileName = "ferrow.css";
    font.textureFileName = "font01.tga";
    const Rgba key = FromBytes(255, 0, 255);
    font.extraCharsetFileName = "ferrow_ampm.css";
    font.texture = Image(kClockTextureWidth, kClockTextureHeight, key);
    const char* characters = " .0123456789:amp";
    const int baseline = 50;
    const Rgba ink{1, 1, 1, 1}, outline = FromBytes(16, 22, 34);
    glyphs.clear();
    for (const char* at = characters; *at != 0; ++at) {
        const char c = *at;
        // The space's own cell holds "a"; it takes the clear cell of "!" through its rectangle.
        const int cell = c == ' ' ? '!' - kClockStartChar : c >= kAmPmStartChar ? c - kAmPmStartChar : c - kClockStartChar;
        const int cellX = (cell % kClockPerRow) * kClockCell, cellY = (cell / kClockPerRow) * kClockCell;
        Glyph glyph;
        face.Render(static_cast<unsigned char>(c), glyph);
        // Digits and letters keep the monospaced advance; ":" and "." are narrowed to their ink.
        int width = glyph.advance;
        if (c == ':' || c == '.') width = glyph.width + 8;
        if (c == ' ') width = 18;
        width = std::min(width, kClockCell);
        const int left = cellX;
        const int penX = (c == ':' || c == '.') ? left + 4 - glyph.left : left;
        // A dark outline two pixels wide under white ink keeps the digits legible over snow.
        for (int y = 0; y < kClockCell; ++y) {
            for (int x = 0; x < kClockCell; ++x) {
                const int px = cellX + x, py = cellY + y;
                const float inkAlpha = CoverageAt(glyph, penX, cellY + baseline, px, py);
                float ring = 0;
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) {
                        if (dx * dx + dy * dy > 5) continue;
                        ring = std::max(ring, CoverageAt(glyph, penX, cellY + baseline, px + dx, py + dy));
                    }
                }
                const float alpha = std::max(inkAlpha, ring * 0.75f);
                if (alpha <= 0) continue;
                const Rgba colour = Mix(outline, ink, inkAlpha > 0 ? inkAlpha / alpha : 0.0f);
                font.texture.At(px, py) = Rgba{colour.r, colour.g, colour.b, alpha};
            }
        }
        glyphs.push_back({c, cell, left, cellY, left + width - 1, cellY + kClockCell - 1});
    }
    font.fontText =
        "// Ferrow: the digital-clock face of the overlay, one style of size 64.\r\n"
        "Name = \"Ferrow\";\r\n"
        "Styles[0].Size     = 64;\r\n"
        "Styles[0].Bold     = 0;\r\n"
        "Styles[0].Italic   = 0;\r\n"
        "Styles[0].Charsets = array(\"" + font.charsetFileName + "\", \"" + font.extraCharsetFileName + "\");\r\n";
    const std::string head =
        "Name         = \"" + font.textureFileName + "\";\r\n"
        "Format       = \"D3DFMT_A8R8G8B8\";\r\n"
        "ColorKey     = array(255,0,255);\r\n"
        "CharWidth    = 64;\r\n"
        "CharHeight   = 64;\r\n"
        "CharsPerLine = 8;\r\n";
    std::string css =
        "// Ferrow 64, space to \":\": each glyph at the left edge of its code's 64 x 64 cell, eight\r\n"
        "// to a row; magenta is clear.\r\n" + head +
        "StartChar    = " + std::to_string(kClockStartChar) + ";\r\n"
        "EndChar      = " + std::to_string(kClockEndChar) + ";\r\n"
        "\r\n"
        "// Widths in pixels, by quoted character (\".\", which a key path cannot name, by its code).\r\n";
    std::string ampm =
        "// Ferrow 64, \"a\" to \"p\": the same texture and grid from code 97.\r\n" + head +
        "StartChar    = " + std::to_string(kAmPmStartChar) + ";\r\n"
        "EndChar      = " + std::to_string(kAmPmEndChar) + ";\r\n"
        "\r\n";
    char line[160];
    for (const ClockGlyph& g : glyphs) {
        const std::string key = g.character == '.' ? "46" : Quoted(g.character);
        std::snprintf(line, sizeof line, "Sizes[%s] = %d;\r\n", key.c_str(), g.right - g.left + 1);
        (g.character >= kAmPmStartChar ? ampm : css) += line;
    }
    const ClockGlyph& space = glyphs.front();
    std::snprintf(line, sizeof line, "\r\n// The space: clear texels beside its own cell.\r\nRects[\" \"] = array(%d,%d,%d,%d);\r\n",
                  space.left, space.top, space.right, space.bottom);
    css += line;
    font.extraCharsetText = ampm;
    font.charsetText = css;
    return true;
}

bool WriteFonts(const std::string& mediaDir) {
    const std::string d = mediaDir + "/";
    BitmapFont sans, clock;
    std::vector<int> widths;
    std::vector<ClockGlyph> glyphs;
    if (!BuildSansFont(sans, widths) || !BuildClockFont(clock, glyphs)) {
        std::fprintf(stderr, "Error: cannot render the DejaVu fonts in %s\n", kDejaVuFolder);
        return false;
    }
    bool ok = WriteTextFile(d + sans.fontFileName, sans.fontText);
    ok = WriteTextFile(d + sans.charsetFileName, sans.charsetText) && ok;
    ok = WritePng(sans.texture, d + sans.textureFileName, true) && ok;
    ok = WriteTextFile(d + clock.fontFileName, clock.fontText) && ok;
    ok = WriteTextFile(d + clock.charsetFileName, clock.charsetText) && ok;
    ok = WriteTextFile(d + clock.extraCharsetFileName, clock.extraCharsetText) && ok;
    ok = WriteTga(clock.texture, d + clock.textureFileName, 32) && ok;
    return ok;
}

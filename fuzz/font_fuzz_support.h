#pragma once
// Shared by the font fuzz targets: the recording device, a media archive of the given files
// plus a 4 x 4 glyph texture "g.tga", and a walk over every glyph and a layout per style.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/text_layout.h"
#include "render/texture_cache.h"
#include "snowscape/font_files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline void MountFontFiles(std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files) {
    static RecordingDevice* device = [] {
        RecordingDevice* made = RecordingDevice::Create();
        PublishDevice(made);
        return made;
    }();
    (void)device;
    // An uncompressed 32-bit TGA, 4 x 4, top-left origin.
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2;
    tga[12] = tga[14] = 4;
    tga[16] = 32;
    tga[17] = 0x28;
    tga.resize(18 + 64, 0xFF);
    files.emplace_back("g.tga", tga);
    static std::vector<std::uint8_t> archive;
    std::vector<ArchiveFile> members;
    for (auto& [name, bytes] : files) members.push_back(ArchiveFile{String(name.c_str()), bytes});
    String error;
    archive.clear();
    if (PackArchive(kMediaFolder, members, archive, error)) MountArchiveBytes(archive.data(), archive.size());
}

inline void ExerciseFont(const BitmapFont& font) {
    for (const TextStyle& style : font.Styles()) {
        const CharsetList* list = font.Find(style);
        if (list == nullptr) __builtin_trap();
        for (const auto& cs : list->Charsets()) {
            for (int code = cs->start; code <= cs->end && code < cs->start + 4096; ++code) {
                cs->GlyphWidth(code);
                cs->Glyph(code, 1, 1, 1, 1);
            }
        }
        std::vector<GlyphBox> boxes;
        std::vector<TextureTriangles> counts;
        TextLayoutInput input;
        input.edges = ScreenBox{0, 0, 300, 200};
        input.wrap = true;
        LayOutText(font, style, u"0 1:2 ! pm\n\"#", input, boxes, counts);
        float quad[kGlyphFloats];
        for (const GlyphBox& glyph : boxes) WriteGlyphQuad(glyph, input.edges, 0.5f, quad);
    }
}

// Fuzz target: a font file (".fs") of arbitrary bytes, loaded from a mounted media archive
// that also holds a valid charset and its texture, then a text laid out in each style.

#include "core/media_archive.h"
#include "fuzz/font_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    const std::string css = "Name = \"g.tga\"; CharsPerLine = 2; StartChar = 32; EndChar = 40; Sizes[\"!\"] = 3;";
    MountFontFiles({{"f.fs", std::vector<std::uint8_t>(data, data + size)},
                    {"c.css", std::vector<std::uint8_t>(css.begin(), css.end())}});
    TextureCache textures;
    BitmapFont font;
    LoadFont(font, String(kMediaFolder) + "/f.fs", textures);
    ExerciseFont(font);
    return 0;
}

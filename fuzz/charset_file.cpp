// Fuzz target: a charset file (".css") of arbitrary bytes, loaded from a mounted media
// archive beside a small glyph texture, then every glyph of its range looked up and a text
// laid out with it.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "fuzz/font_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    MountFontFiles({{"c.css", std::vector<std::uint8_t>(data, data + size)}});
    TextureCache textures;
    auto charset = std::make_unique<Charset>();
    if (!LoadCharset(*charset, String(kMediaFolder) + "/c.css", textures)) return 0;
    BitmapFont font;
    font.ListFor(TextStyle()).Add(std::move(charset));
    ExerciseFont(font);
    return 0;
}

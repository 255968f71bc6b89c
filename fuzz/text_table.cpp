// Fuzzes the dialog text table: the first line of the input is a key to look up, the rest
// is the table.

#include "app/text_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string key = split == std::string::npos ? input : input.substr(0, split);
    const std::string table = split == std::string::npos ? std::string() : input.substr(split + 1);

    TextTable texts;
    texts.Parse(table.data(), table.size());
    for (int i = 0; i < texts.LineCount(); ++i)
        for (int j = 0; j < texts.Line(i).Length(); ++j)
            if (texts.Line(i)[j] == '\r' || texts.Line(i)[j] == '\n' || texts.Line(i)[j] == '\0') std::abort();
    const String text = texts.Text(key.c_str());
    const String percent = texts.TextWithPercent(key.c_str(), static_cast<std::int32_t>(size) - 100);
    if (percent.Length() < text.Length() + 3) std::abort();
    for (const char* shipped : {"ok", "cancel", "about", "about_window_text", "gamma_control:", "w_light"})
        texts.Text(shipped);
    return 0;
}

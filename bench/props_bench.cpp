// Parsing a settings file of about 4 KB, the size of the shipped props files.

#include "props/props_document.h"
#include "props/props_parser.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string SettingsText() {
    std::string text =
        "// Scene tuning\r\n"
        "Ambient    = array(60,60,60);\r\nFogColor   = array(156,153,146);\r\n"
        "NearPlane  = 10;\r\nFarPlane   = 1000;\r\nFogStart   = 10;\r\nFogEnd     = 700;\r\n"
        "Fov        = 70;\r\nSnowBox    = 500;\r\nSnowStrafe = 0.04;\r\nSnowSpawn  = 2;\r\n"
        "Animations = array(\r\n";
    for (int i = 1; i <= 14; ++i)
        text += std::string("  \"frostvalen") + (i < 10 ? "0" : "") + std::to_string(i) + ".cam\"" +
                (i < 14 ? ",\r\n" : "\r\n");
    text += ");\r\n";
    for (int style = 0; text.size() < 4096; ++style) {
        const std::string s = std::to_string(style);
        text += "// style " + s + "\r\nStyles[" + s + "].Size = " + std::to_string(10 + style) +
                ";\r\nStyles[" + s + "].Name = \"Style " + s + "\";\r\nStyles[" + s +
                "].Rect = array(0, " + s + ", 16, 16);\r\n";
    }
    return text;
}

void BM_ParseSettings4K(benchmark::State& state) {
    const std::string text = SettingsText();
    for (auto _ : state) {
        PropsDocument document;
        ParseProps(document, text.data(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(Find(document, "Ambient"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ParseSettings4K);

}  // namespace

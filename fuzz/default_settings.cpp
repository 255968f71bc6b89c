// Fuzzes the default-settings text: parsing, lookups and the record filled from it.

#include "app/default_settings.h"
#include "app/settings.h"
#include "platform/win/message_box.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
int Silent(LPCSTR, LPCSTR, UINT) { return IDOK; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetMessageBoxHook(&Silent);
    DefaultSettings defaults;
    defaults.Parse(reinterpret_cast<const char*>(data), size);
    if (defaults.Count() > DefaultSettings::kMaxPairs) std::abort();
    for (int i = 0; i < defaults.Count(); ++i) {
        // Keys and values never hold blanks, control characters or a ";".
        for (const String* text : {&defaults.KeyAt(i), &defaults.ValueAt(i)})
            for (int j = 0; j < text->Length(); ++j)
                if (static_cast<unsigned char>((*text)[j]) <= 32 || (*text)[j] == ';') std::abort();
        defaults.Number(defaults.KeyAt(i).CStr());
    }
    Settings settings;
    RestoreDefaults(defaults, settings);
    defaults.Value("main_web_site_url");
    return 0;
}

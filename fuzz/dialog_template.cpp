// Fuzzes the dialog template reader: any bytes either give a template within the limits or
// an error line.

#include "platform/win/dialog_template.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DialogTemplate result;
    std::string error;
    if (!ParseDialogTemplate(reinterpret_cast<const char*>(data), size, result, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (result.items.size() > 256 || result.width < 0 || result.height < 0) std::abort();
    for (const DialogItemTemplate& item : result.items)
        if (item.width < 0 || item.height < 0 || item.caption.size() > 1024) std::abort();
    return 0;
}

// Fuzz target: the JSON track description of fvtool track eval, on arbitrary bytes.

#include "scene/track_json.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string output, error;
    const bool ok = EvaluateTrackJson(std::string(reinterpret_cast<const char*>(data), size), output, error);
    if (ok == output.empty()) __builtin_trap();  // success always prints, failure never does
    if (!ok && error.empty()) __builtin_trap();
    return 0;
}

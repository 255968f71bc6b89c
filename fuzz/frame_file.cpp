// Fuzz target: the frame file the conformance replayer reads, on arbitrary bytes. A file it
// accepts writes back byte for byte; one it refuses leaves an empty frame and a reason.

#include "platform/d3d9/frame_file.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FrameFile frame;
    std::string error;
    if (!DecodeFrameFile(data, size, frame, error)) {
        if (error.empty() || !frame.ops.empty()) __builtin_trap();
        return 0;
    }
    const std::vector<std::uint8_t> written = EncodeFrameFile(frame);
    if (written.size() != size || std::memcmp(written.data(), data, size) != 0) __builtin_trap();
    return 0;
}

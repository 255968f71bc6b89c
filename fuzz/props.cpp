// Fuzz target for the props parser: arbitrary bytes as a props file. Includes are served
// from memory: "self" is the input itself (include chains), anything else is missing, so
// the disk is never read. Every node is then read through the typed getters.

#include "props/props_document.h"
#include "props/props_parser.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void ReadAll(PropsMap& map, double& sink) {
    map.Walk([&](PropsNode& node) {
        sink += AsDouble(&node) + AsInt(&node) + AsString(&node).Length();
        ReadAll(node.Children(), sink);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const PropsFileReader reader = [data, size](const String& name, std::vector<std::uint8_t>& bytes) {
        if (!(name == String("self"))) return false;
        bytes.assign(data, data + size);
        return true;
    };
    // A smaller node limit than a real document's keeps each run quick; the rules are the same.
    PropsDocument document(2048);
    ParseProps(document, reinterpret_cast<const char*>(data), static_cast<int>(size), reader);
    double sink = 0;
    ReadAll(document.TopLevel(), sink);
    Find(Find(document, "Ambient"), "0");
    return sink == 0.5 ? 1 : 0;
}

// Fuzz target: the UDF reader on arbitrary bytes, under several load options, followed by
// a walk that looks every child up and reads it through each typed read.

#include "scene/udf_reader.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace {

void Walk(UdfElement* root) {
    std::set<const UdfElement*> seen;
    std::vector<const UdfElement*> pending{root};
    while (!pending.empty()) {
        const UdfElement* element = pending.back();
        pending.pop_back();
        if (!seen.insert(element).second) continue;
        for (const UdfElement::Entry& entry : element->Entries()) {
            float matrix[16];
            std::int32_t i = 0;
            String text;
            element->ReadMatrix(entry.name, matrix);
            element->ReadColor(entry.name, matrix);
            element->ReadInt(entry.name, i);
            element->ReadReal(entry.name, matrix[0]);
            element->ReadString(entry.name, text);
            element->IsLink(entry.name);
            if (element->Child(entry.name) == nullptr) __builtin_trap();
            // Touch every byte the element claims to hold.
            volatile std::uint8_t sum = 0;
            const UdfElement* child = entry.element;
            for (std::size_t k = 0; k < child->DataSize(); k += 61) sum = static_cast<std::uint8_t>(sum + child->Data()[k]);
            for (const UdfElement* up = child->Parent(); up != nullptr; up = up->Parent())
                if (up == child) __builtin_trap();  // parents must never loop
            pending.push_back(child);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint32_t kOptionSets[] = {0, kUdfOneLevel, kUdfReadDataTree | kUdfInPlace,
                                                kUdfReadData | kUdfTypedRecords, kUdfReadDataTree};
    for (std::uint32_t options : kOptionSets) {
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(data, size));
        if (root == nullptr) return 0;
        reader.LoadElement(root, options);
        reader.LoadElement(root, options);
        Walk(root);
        for (const UdfType& type : reader.Types()) reader.TypeSize(type.name);
    }
    return 0;
}

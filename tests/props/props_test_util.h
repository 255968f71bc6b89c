#pragma once
// Compact text of a props tree for assertions: name:kind=value#counter{children}, with
// "=value" only when there is a value text, "#counter" only when it is not 0, and the
// children in walk order from the cursor, separated by ",".

#include "props/props_document.h"
#include "props/props_parser.h"

#include <string>

inline std::string DescribeNode(PropsNode& node);

inline std::string DescribeMap(PropsMap& map) {
    std::string out;
    bool first = true;
    map.Walk([&](PropsNode& child) {
        if (!first) out += ",";
        first = false;
        out += DescribeNode(child);
    });
    return out;
}

inline std::string DescribeNode(PropsNode& node) {
    std::string out = std::string(node.Name().CStr()) + ":" + std::to_string(node.Kind());
    if (!node.Value().IsEmpty()) out += std::string("=") + node.Value().CStr();
    // Appended piece by piece: g++ 12 takes "#" + ... for an overlapping copy (-Wrestrict).
    if (node.Counter() != 0) out.append("#").append(std::to_string(node.Counter()));
    if (!node.Children().IsEmpty()) out.append("{").append(DescribeMap(node.Children())).append("}");
    return out;
}

inline bool ParseText(PropsDocument& document, const std::string& text) {
    return ParseProps(document, text.data(), static_cast<int>(text.size()));
}

// The whole document after parsing text, the top level from the entry after its cursor:
// in creation order when the top level was filled statement by statement.
inline std::string DescribeTopLevel(PropsDocument& document) {
    PropsMap& top = document.TopLevel();
    top.AdvanceCursor();
    std::string out = DescribeMap(top);
    for (int i = 1; i < top.Count(); ++i) top.AdvanceCursor();
    return out;
}

inline std::string DescribeParse(const std::string& text) {
    PropsDocument document;
    ParseText(document, text);
    return DescribeTopLevel(document);
}

// fvtool props: parses a props file and shows its tree or reads keys from it.

#include "core/media_archive.h"
#include "props/props_document.h"
#include "props/props_parser.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using json = nlohmann::ordered_json;

// Props text may hold any byte, NUL included.

json NodeJson(PropsNode& node) {
    json children = json::array();
    node.Children().Walk([&](PropsNode& child) { children.push_back(NodeJson(child)); });
    json value = node.Value().IsEmpty() ? json(nullptr) : json(node.Value().ToStdString());
    return json{{"name", node.Name().ToStdString()},
                {"kind", node.Kind()},
                {"value", value},
                {"counter", node.Counter()},
                {"children", children}};
}

// Reads FILE from disk (no archive is mounted) and parses it; false when unreadable.
bool LoadDocument(const std::string& file, PropsDocument& document, bool& parsed) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(String(file.c_str()), bytes)) return false;
    parsed = ParseProps(document, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    return true;
}

void Print(const json& out) {
    // Props values are bytes, not necessarily UTF-8: replace what is not.
    std::printf("%s\n", out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
}

int RunProps(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "dump") {
        PropsDocument document;
        bool parsed = false;
        if (!LoadDocument(args[1], document, parsed)) return Fail("cannot read '" + args[1] + "'");
        json nodes = json::array();
        document.TopLevel().Walk([&](PropsNode& node) { nodes.push_back(NodeJson(node)); });
        Print(json{{"ok", parsed}, {"nodes", nodes}});
        return 0;
    }
    if (args.size() >= 3 && args[0] == "get") {
        PropsDocument document;
        bool parsed = false;
        if (!LoadDocument(args[1], document, parsed)) return Fail("cannot read '" + args[1] + "'");
        PropsNode* node = Find(document, String(args[2].c_str()));
        for (std::size_t i = 3; i < args.size(); ++i) node = Find(node, String(args[i].c_str()));
        Print(json{{"string", AsString(node).ToStdString()}, {"int", AsInt(node)}, {"double", AsDouble(node)}});
        return 0;
    }
    return Fail("usage: fvtool props dump FILE | get FILE NAME...");
}

const Subcommand kProps{"props", "dump FILE | get FILE NAME...", RunProps};

}  // namespace

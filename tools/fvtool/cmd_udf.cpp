// fvtool udf: dumps a UDF file as the reader sees it.
//
// `udf dump FILE` prints {"types": [T...], "root": E}, T = {"name", "size", "members":
// [{"name", "type", "array", "count"?}]}, E = {"name", "type", "flags", "count"?, "offset",
// "size", "link", "target"?, "children"?, "head"?}. An element is named as its container's
// directory lists it (the name Child finds it by); an entry that names the element it points
// to differently gives the element's own name as "target". Children are listed for
// containers, in directory order; a container met again (through a link or a second entry
// with the same offset) is listed without its children, so loops and shared elements print
// once. Leaves show the hex of their first 16 loaded bytes.

#include "tools/fvtool/subcommand.h"

#include "core/media_archive.h"
#include "scene/udf_reader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

using Json = nlohmann::ordered_json;

// Deeper containers are listed without children, to keep the output's nesting bounded.
constexpr int kMaxDepth = 256;


std::string Head(const UdfElement& element) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    const std::size_t n = element.Data() == nullptr ? 0 : std::min<std::size_t>(element.DataSize(), 16);
    for (std::size_t i = 0; i < n; ++i) {
        hex += kDigits[element.Data()[i] >> 4];
        hex += kDigits[element.Data()[i] & 15];
    }
    return hex;
}

Json Describe(const String& name, const UdfElement& element, bool link, int depth,
              std::set<const UdfElement*>& expanded) {
    Json out;
    out["name"] = name.ToStdString();
    out["type"] = element.TypeName().ToStdString();
    out["flags"] = element.Flags();
    if ((element.Flags() & UdfElement::kHasCount) != 0) out["count"] = element.Count();
    out["offset"] = element.Offset();
    out["size"] = element.Size();
    out["link"] = link;
    if (!name.Equals(element.Name())) out["target"] = element.Name().ToStdString();
    if (!element.IsContainer()) {
        out["head"] = Head(element);
    } else if (!link && depth < kMaxDepth && expanded.insert(&element).second) {
        Json children = Json::array();
        for (const UdfElement::Entry& entry : element.Entries())
            children.push_back(Describe(entry.name, *entry.element, entry.link, depth + 1, expanded));
        out["children"] = std::move(children);
    }
    return out;
}

Json DescribeTypes(const UdfReader& reader) {
    Json types = Json::array();
    for (const UdfType& type : reader.Types()) {
        Json members = Json::array();
        for (const UdfMember& member : type.members) {
            Json m;
            m["name"] = member.name.ToStdString();
            m["type"] = member.typeName.ToStdString();
            m["array"] = member.isArray;
            if (member.isArray) m["count"] = member.count;
            members.push_back(std::move(m));
        }
        Json t;
        t["name"] = type.name.ToStdString();
        t["size"] = reader.TypeSize(type.name);
        t["members"] = std::move(members);
        types.push_back(std::move(t));
    }
    return types;
}

int RunUdf(const std::vector<std::string>& args);
const Subcommand kUdf{"udf", "dump FILE", RunUdf};

int RunUdf(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kUdf);
    if (args.size() != 2 || args[0] != "dump") return Fail("usage: fvtool udf dump FILE");
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(String(args[1].c_str()), bytes)) return Fail("cannot read " + args[1]);
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(std::move(bytes)));
    if (root == nullptr) return Fail(args[1] + " is not a UDF Binary 1.0 file");
    reader.LoadElement(root, 0);
    std::set<const UdfElement*> expanded;
    Json out;
    out["types"] = DescribeTypes(reader);
    out["root"] = Describe(root->Name(), *root, false, 0, expanded);
    // Names are raw bytes; anything that is not UTF-8 prints as U+FFFD.
    std::printf("%s\n", out.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    return 0;
}

}  // namespace

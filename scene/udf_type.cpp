#include "scene/udf_type.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

std::uint64_t BuiltInSize(const String& name) {
    if (name == "int" || name == "real") return 4;
    if (name == "char" || name == "byte") return 1;
    return 0;
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return std::min(kUdfMaxTypeSize, a + b); }

std::uint64_t SaturatingMul(std::uint64_t a, std::uint64_t b) {
    if (a == 0 || b == 0) return 0;
    if (a > kUdfMaxTypeSize / b) return kUdfMaxTypeSize;
    return a * b;
}

}  // namespace

std::vector<std::uint64_t> ComputeUdfTypeSizes(const std::vector<UdfType>& types) {
    // A later definition of a name replaces an earlier one for lookups.
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < types.size(); ++i) byName[types[i].name.CStr()] = i;
    auto defined = [&](const String& name) -> long {
        if (BuiltInSize(name) != 0) return -1;
        const auto it = byName.find(name.CStr());
        return it == byName.end() ? -1 : static_cast<long>(it->second);
    };

    enum State : std::uint8_t { kNew, kActive, kDone };
    std::vector<State> state(types.size(), kNew);
    std::vector<std::uint64_t> sizes(types.size(), 0);
    // Post-order walk with an explicit stack, so deep chains of types cannot exhaust the
    // call stack. A member whose type is still active closes a loop and counts 0.
    struct Frame {
        std::size_t type;
        std::size_t member;
    };
    std::vector<Frame> stack;
    for (std::size_t start = 0; start < types.size(); ++start) {
        if (state[start] != kNew) continue;
        state[start] = kActive;
        stack.push_back({start, 0});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const UdfType& type = types[frame.type];
            if (frame.member == type.members.size()) {
                state[frame.type] = kDone;
                stack.pop_back();
                continue;
            }
            const UdfMember& member = type.members[frame.member];
            const long inner = defined(member.typeName);
            if (inner >= 0 && state[inner] == kNew) {
                state[inner] = kActive;
                stack.push_back({static_cast<std::size_t>(inner), 0});
                continue;  // this member is summed when the walk comes back to it
            }
            std::uint64_t one = BuiltInSize(member.typeName);
            if (inner >= 0) one = state[inner] == kDone ? sizes[inner] : 0;
            const std::uint64_t total = member.isArray ? SaturatingMul(one, member.count) : one;
            sizes[frame.type] = SaturatingAdd(sizes[frame.type], total);
            ++frame.member;
        }
    }
    return sizes;
}

#pragma once
// Type definitions of a UDF file: named records of typed members. Built-in type names are
// "int" and "real" (4 bytes) and "char" and "byte" (1 byte); a defined type counts the sum
// of its members, an array member its size times its element count, and any other name 0.

#include "core/byte_string.h"

#include <cstdint>
#include <vector>

struct UdfMember {
    String name;
    String typeName;
    bool isArray = false;
    std::uint32_t count = 0;  // elements of an array member; unused otherwise
};

struct UdfType {
    String name;
    std::vector<UdfMember> members;
};

// Sizes in bytes of each type in types (same order) by the rule above. A type that
// contains itself, directly or through others, counts 0 for the member that closes the
// loop; sizes saturate at kUdfMaxTypeSize.
constexpr std::uint64_t kUdfMaxTypeSize = 0xFFFFFFFFull;
std::vector<std::uint64_t> ComputeUdfTypeSizes(const std::vector<UdfType>& types);

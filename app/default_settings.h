#pragma once
// The built-in default settings text (resource "CustomData" 182): "Key = value" lines.
//
// Reading: lines end at "\n"; "\r" and NUL are dropped; every character of code 32 or
// less is removed wherever it stands, then everything from the first ";" on. Empty lines
// are skipped. A line is split at its first "="; a line without one shows a message box
// and is kept with the whole line as key and as value. At most 100 pairs; the rest of the
// text is ignored. Lookup compares keys with A-Z lowered on both sides; the first match
// wins; a missing key shows a message box (caption: the lowered key) and reads as "".

#include "core/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class DefaultSettings {
public:
    static constexpr int kMaxPairs = 100;
    static constexpr int kResourceNumber = 182;

    // Parses the built-in resource; false (and an empty table) when it is missing.
    bool LoadResource();
    void Parse(const char* data, std::size_t size);

    int Count() const { return static_cast<int>(pairs_.size()); }
    const String& KeyAt(int index) const { return pairs_[static_cast<std::size_t>(index)].key; }
    const String& ValueAt(int index) const { return pairs_[static_cast<std::size_t>(index)].value; }

    // The value text of key.
    String Value(const char* key) const;
    // "true" gives 1, "false" 0, anything else the decimal number at its start (clamped
    // to 32 bits; no digits give 0).
    std::int32_t Number(const char* key) const;

    static std::int32_t ToNumber(const String& value);

private:
    struct Pair {
        String key;
        String value;
    };
    std::vector<Pair> pairs_;
};

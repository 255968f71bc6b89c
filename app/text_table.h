#pragma once
// The dialog text table (resource "CustomData" 181): single-byte text, Windows-1252.
//
// Every line of the resource is kept, in order ("\r" and NUL dropped). A line starting
// with "#" is a key line; its letters A-Z from the second to the next-to-last character
// are lowered when it is read. The line after a key line is its text; "%" in a text
// marks where it is split over several labels and is kept as it is.
//
// Lookup of a key k (lowered first) takes the first key line whose characters 1 … len(k)
// equal k and whose length is len(k) + 1 or len(k) + 2 (so "#k#" and "#k" both match).

#include "core/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TextTable {
public:
    static constexpr int kResourceNumber = 181;

    // Parses the built-in resource; false (and an empty table) when it is missing.
    bool LoadResource();
    void Parse(const char* data, std::size_t size);

    int LineCount() const { return static_cast<int>(lines_.size()); }
    const String& Line(int index) const { return lines_[static_cast<std::size_t>(index)]; }

    // The text of key; empty when the key is not in the table.
    String Text(const char* key) const;
    // The text of key, one blank, value in decimal and "%" (e.g. "Gammakontrolle: 100%").
    String TextWithPercent(const char* key, std::int32_t value) const;

private:
    std::vector<String> lines_;
};

#include "app/text_table.h"

#include "platform/win/resources.h"

#include <cstring>
#include <string>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool TextTable::LoadResource() {
    lines_.clear();
    const void* data = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(kResourceNumber, "CustomData", data, size)) return false;
    Parse(static_cast<const char*>(data), size);
    return true;
}

void TextTable::Parse(const char* data, std::size_t size) {
    lines_.clear();
    std::size_t position = 0;
    while (position < size) {
        std::string line;
        for (; position < size && data[position] != '\n'; ++position)
            if (data[position] != '\r' && data[position] != '\0') line += data[position];
        ++position;  // the "\n"
        if (!line.empty() && line[0] == '#') {
            for (std::size_t i = 1; i + 1 < line.size(); ++i) line[i] = LowerAscii(line[i]);
        }
        lines_.emplace_back(line.data(), static_cast<int>(line.size()));
    }
}

String TextTable::Text(const char* key) const {
    std::string wanted(key != nullptr ? key : "");
    for (char& c : wanted) c = LowerAscii(c);
    const std::size_t length = wanted.size();
    // The last line cannot be a key with a text after it.
    for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
        const String& line = lines_[i];
        const auto lineLength = static_cast<std::size_t>(line.Length());
        // The key must lie inside the line: "#" + key, then at most one more character.
        if (lineLength < length + 1 || lineLength > length + 2 || line[0] != '#') continue;
        if (std::memcmp(line.CStr() + 1, wanted.data(), length) == 0) return lines_[i + 1];
    }
    return String();
}

String TextTable::TextWithPercent(const char* key, std::int32_t value) const {
    return Text(key) + " " + String::FromInt(value) + "%";
}

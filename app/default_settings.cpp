#include "app/default_settings.h"

#include "core/number_text.h"
#include "platform/win/message_box.h"
#include "platform/win/resources.h"

#include <string>

namespace {

const char kBadLineText[] = "неправильный формат файла def_settings.txt";
const char kMissingKeyText[] = "Не найден параметр в файле def_settings.txt";

std::string LowerAscii(const char* text, std::size_t length) {
    std::string lowered(text, length);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

}  // namespace

bool DefaultSettings::LoadResource() {
    pairs_.clear();
    const void* data = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(kResourceNumber, "CustomData", data, size)) return false;
    Parse(static_cast<const char*>(data), size);
    return true;
}

void DefaultSettings::Parse(const char* data, std::size_t size) {
    pairs_.clear();
    std::size_t position = 0;
    while (position < size && pairs_.size() < static_cast<std::size_t>(kMaxPairs)) {
        // One line, without control characters and blanks (bytes above 127 stay), cut at ";".
        std::string line;
        bool comment = false;
        for (; position < size && data[position] != '\n'; ++position) {
            const auto byte = static_cast<unsigned char>(data[position]);
            if (byte == ';') comment = true;
            if (!comment && byte > 32) line += static_cast<char>(byte);
        }
        ++position;  // the "\n"
        if (line.empty()) continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            MessageBoxA(nullptr, kBadLineText, "", MB_OK);
            const String whole(line.data(), static_cast<int>(line.size()));
            pairs_.push_back({whole, whole});
        } else {
            pairs_.push_back({String(line.data(), static_cast<int>(equals)),
                              String(line.data() + equals + 1, static_cast<int>(line.size() - equals - 1))});
        }
    }
}

String DefaultSettings::Value(const char* key) const {
    if (key == nullptr) key = "";
    const std::string wanted = LowerAscii(key, std::char_traits<char>::length(key));
    for (const Pair& pair : pairs_) {
        if (LowerAscii(pair.key.CStr(), static_cast<std::size_t>(pair.key.Length())) == wanted) return pair.value;
    }
    MessageBoxA(nullptr, kMissingKeyText, wanted.c_str(), MB_OK);
    return String();
}

std::int32_t DefaultSettings::ToNumber(const String& value) {
    if (value == String("true")) return 1;
    if (value == String("false")) return 0;
    return ParseLeadingInt(value.CStr(), static_cast<std::size_t>(value.Length()));
}

std::int32_t DefaultSettings::Number(const char* key) const { return ToNumber(Value(key)); }

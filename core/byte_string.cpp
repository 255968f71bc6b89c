#include "core/byte_string.h"

#include "core/number_text.h"

#include <cstring>
#include <utility>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int LastSlash(const char* text, int length) {
    for (int i = length - 1; i >= 0; --i)
        if (text[i] == '/' || text[i] == '\\') return i;
    return -1;
}

String UnsignedText(std::uint32_t value, int radix) {
    if (radix < 2 || radix > 36) radix = 10;
    char digits[33];
    int n = 0;
    do {
        const std::uint32_t digit = value % static_cast<std::uint32_t>(radix);
        digits[n++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= static_cast<std::uint32_t>(radix);
    } while (value != 0);
    char text[33];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    return String(text, n);
}

}  // namespace

String::String(const char* text) {
    if (text != nullptr) Assign(text, static_cast<int>(std::strlen(text)));
}

String::String(const char* buffer, int length) {
    if (buffer != nullptr && length > 0) Assign(buffer, length);
}

String::String(char c) { Assign(&c, 1); }

String::String(const String& other) { Assign(other.text_, other.length_); }

String::String(String&& other) noexcept
    : text_(std::exchange(other.text_, nullptr)), length_(std::exchange(other.length_, 0)) {}

String& String::operator=(const String& other) {
    if (this != &other) Assign(other.text_, other.length_);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        delete[] text_;
        text_ = std::exchange(other.text_, nullptr);
        length_ = std::exchange(other.length_, 0);
    }
    return *this;
}

String::~String() { delete[] text_; }

void String::Assign(const char* text, int length) {
    char* copy = nullptr;
    if (text != nullptr && length > 0) {
        copy = new char[static_cast<std::size_t>(length) + 1];
        std::memcpy(copy, text, static_cast<std::size_t>(length));
        copy[length] = '\0';
    } else {
        length = 0;
    }
    delete[] text_;
    text_ = copy;
    length_ = length;
}

String String::Adopt(char* buffer, int length) {
    String s;
    if (buffer != nullptr && length > 0) {
        s.text_ = buffer;
        s.length_ = length;
    } else {
        delete[] buffer;
    }
    return s;
}

String String::FromInt(std::int32_t value, int radix) {
    if (radix == 10 || radix < 2 || radix > 36) {
        const std::uint32_t magnitude =
            value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
        String digits = UnsignedText(magnitude, 10);
        return value < 0 ? String("-") + digits : digits;
    }
    return UnsignedText(static_cast<std::uint32_t>(value), radix);
}

String String::FromUInt16(std::uint16_t value, int radix) { return UnsignedText(value, radix); }

String String::Substring(int first, int last) const {
    if (length_ == 0) return String();
    if (last == -1) last = length_ - 1;
    if (first < 0) first = 0;
    if (length_ - 1 < first || last < first) return String();
    if (last > length_ - 1) last = length_ - 1;
    return String(text_ + first, last - first + 1);
}

int String::Find(const String& needle, bool backwards) const {
    const int n = needle.length_;
    if (n == 0 || n > length_) return -1;
    if (backwards) {
        for (int i = length_ - n; i >= 0; --i)
            if (std::memcmp(text_ + i, needle.text_, static_cast<std::size_t>(n)) == 0) return i;
    } else {
        for (int i = 0; i + n <= length_; ++i)
            if (std::memcmp(text_ + i, needle.text_, static_cast<std::size_t>(n)) == 0) return i;
    }
    return -1;
}

String& String::Append(const String& other) {
    if (other.length_ == 0) return *this;
    const int total = length_ + other.length_;
    char* joined = new char[static_cast<std::size_t>(total) + 1];
    if (length_ > 0) std::memcpy(joined, text_, static_cast<std::size_t>(length_));
    std::memcpy(joined + length_, other.text_, static_cast<std::size_t>(other.length_));
    joined[total] = '\0';
    delete[] text_;
    text_ = joined;
    length_ = total;
    return *this;
}

String String::Trim() const {
    int first = 0;
    int last = length_ - 1;
    while (first <= last && (text_[first] == ' ' || text_[first] == '\t')) ++first;
    while (last >= first && (text_[last] == ' ' || text_[last] == '\t')) --last;
    if (last < first) return String();
    return String(text_ + first, last - first + 1);
}

bool String::ToDouble(double& value) const {
    value = 0.0;
    if (length_ == 0) return true;
    const std::size_t consumed = ParseDouble(text_, static_cast<std::size_t>(length_), value);
    return consumed == static_cast<std::size_t>(length_);
}

bool String::ToFloat(float& value) const {
    double d = 0.0;
    const bool ok = ToDouble(d);
    value = static_cast<float>(d);
    return ok;
}

bool String::ToInt(int& value) const {
    double d = 0.0;
    const bool ok = ToDouble(d);
    value = ClampToInt(d);
    return ok;
}

bool String::Equals(const String& other) const {
    return length_ == other.length_ &&
           (length_ == 0 || std::memcmp(text_, other.text_, static_cast<std::size_t>(length_)) == 0);
}

int String::CompareNoCase(const String& other) const {
    const int n = length_ < other.length_ ? length_ : other.length_;
    for (int i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(Lower(text_[i]));
        const auto b = static_cast<unsigned char>(Lower(other.text_[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return length_ == other.length_ ? 0 : (length_ < other.length_ ? -1 : 1);
}

bool String::EqualsNoCase(const String& other) const { return CompareNoCase(other) == 0; }

String String::FileName() const {
    const int slash = LastSlash(text_, length_);
    return slash < 0 ? *this : Substring(slash + 1);
}

String String::Folder() const {
    const int slash = LastSlash(text_, length_);
    return slash <= 0 ? String() : Substring(0, slash - 1);
}

String String::Extension() const {
    const String name = FileName();
    const int dot = name.Find(String("."), true);
    return dot < 0 ? String() : name.Substring(dot + 1);
}

String operator+(const String& a, const String& b) {
    String joined(a);
    joined.Append(b);
    return joined;
}

String operator+(const String& a, const char* b) { return a + String(b); }
String operator+(const char* a, const String& b) { return String(a) + b; }

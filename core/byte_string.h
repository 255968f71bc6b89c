#pragma once
// String: the engine's byte string, used for every name, path and text.
//
// An empty string holds no storage; every assignment allocates exactly length + 1 bytes
// and copies. Positions and lengths are ints, as the engine's callers use them.

#include <cstddef>
#include <cstdint>
#include <string>

class String {
public:
    String() = default;
    String(const char* text);  // null or "" gives the empty string
    String(const char* buffer, int length);
    explicit String(char c);
    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    ~String();

    // Takes ownership of a buffer allocated with new char[length + 1] whose byte at
    // [length] is 0.
    static String Adopt(char* buffer, int length);
    // Decimal text of a signed value for radix 10; other radixes (2 … 36) write the
    // value's 32-bit pattern unsigned.
    static String FromInt(std::int32_t value, int radix = 10);
    static String FromUInt16(std::uint16_t value, int radix = 10);

    int Length() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    // Never null: the empty string gives "".
    const char* CStr() const { return text_ ? text_ : ""; }
    // The same bytes (embedded NULs included) as a std::string, for maps and JSON.
    std::string ToStdString() const { return std::string(CStr(), static_cast<std::size_t>(length_)); }
    // No bounds check; callers stay inside.
    char operator[](int position) const { return text_[position]; }

    // Characters first … min(last, Length() - 1); last = -1 means to the end. A negative
    // first counts as 0. Empty when the string is empty or last < first.
    String Substring(int first, int last = -1) const;
    // Position of the first (or, backwards, the last) occurrence; -1 when absent.
    int Find(const String& needle, bool backwards = false) const;

    String& Append(const String& other);
    String& operator+=(const String& other) { return Append(other); }

    // Without spaces and tabs at both ends.
    String Trim() const;

    // The whole text must be a number as strtod reads it in the C locale (leading blanks,
    // sign, digits, point, exponent); the empty string converts to 0. On failure the value
    // read so far is still delivered.
    bool ToDouble(double& value) const;
    bool ToFloat(float& value) const;
    // The double truncated toward zero, clamped to the int range.
    bool ToInt(int& value) const;

    bool Equals(const String& other) const;
    bool EqualsNoCase(const String& other) const;
    // Case-insensitive order, letters A-Z compared as lower case.
    int CompareNoCase(const String& other) const;

    // Path parts, split at the last "/" or "\".
    String FileName() const;
    String Folder() const;
    String Extension() const;

private:
    void Assign(const char* text, int length);

    char* text_ = nullptr;
    int length_ = 0;
};

String operator+(const String& a, const String& b);
String operator+(const String& a, const char* b);
String operator+(const char* a, const String& b);
inline bool operator==(const String& a, const String& b) { return a.Equals(b); }

#pragma once
// The text file that stands in for the registry, and its atomic replacement on disk.
//
// Format: a "[key path]" line opens a key's section; "Name=value" lines below it hold the
// values: a DWORD as a decimal number (a minus sign allowed), a string as "text" (with \\,
// \" and \xHH escapes), binary as hex:01,02 and any other type as hex(T):01,02 with T the
// type number in hex. Lines starting with ";" or "#" are comments. Names and key paths
// compare without regard to the case of A-Z.
//
// Invariant: a line the parser cannot read is kept byte for byte, in its place, through
// every later change; only the lines of values that are set are rewritten.

#include "platform/win/win_types.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    DWORD type = 0;
    std::string data;  // the value's bytes; a string's data ends with its zero byte
};

class RegistryFile {
public:
    // Called once for each line that cannot be read: its 1-based number and why.
    using Report = std::function<void(int lineNumber, const std::string& why)>;

    void Parse(std::string_view text, const Report& report = nullptr);
    std::string Serialize() const;

    bool HasSection(std::string_view section) const;
    // The first value of that name in the first matching section.
    bool Find(std::string_view section, std::string_view name, RegistryValue& value) const;
    // Replaces the value's line in place, or adds it at the end of the section (the section
    // is appended to the file when missing). False for a name or path the format cannot
    // hold.
    bool Set(std::string_view section, std::string_view name, const RegistryValue& value);
    // Appends an empty section when it is missing.
    bool AddSection(std::string_view section);

    // Appends "; text" as a comment line.
    void AddComment(std::string_view text);
    bool IsEmpty() const { return lines_.empty(); }

    int UnreadableCount() const;

    static bool IsValidName(std::string_view name);
    static bool IsValidSection(std::string_view section);

private:
    enum class Kind { Blank, Comment, Section, Value, Unreadable };
    struct Line {
        std::string text;     // as read, without the line end
        Kind kind = Kind::Blank;
        std::string section;  // Section: its path; Value: the section it belongs to
        std::string name;
        RegistryValue value;
    };

    static std::string Format(std::string_view name, const RegistryValue& value);
    int FindLine(std::string_view section, std::string_view name) const;

    std::vector<Line> lines_;
};

// Replaces the file at path with bytes: a temporary file in the same folder, written in
// full, flushed to disk and renamed over the old one, so a failure at any point leaves the
// old file whole. Missing folders are created with mode 0700; the file gets mode 0600.
// False with a reason in error when it fails (the temporary file is then removed).
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Test hook: after limit more bytes every write of WriteFileAtomically fails as if the disk
// were full; a negative limit removes the hook.
void SetWriteFailureAfterBytes(long long limit);

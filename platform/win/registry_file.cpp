#include "platform/win/registry_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

long long gWriteBudget = -1;  // bytes left before a simulated full disk; -1: no limit

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const char kHex[] = "0123456789abcdef";

// A DWORD: -2147483648 … 4294967295, kept as its 4 bytes.
bool ParseNumber(std::string_view text, RegistryValue& value) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return false;
    unsigned long long magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
    }
    if (negative ? magnitude > 2147483648ULL : magnitude > 4294967295ULL) return false;
    const auto bits = static_cast<DWORD>(negative ? 0ULL - magnitude : magnitude);
    value.type = kRegDword;
    value.data.assign(reinterpret_cast<const char*>(&bits), 4);
    return true;
}

bool ParseString(std::string_view text, RegistryValue& value) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
    text = text.substr(1, text.size() - 2);
    std::string data;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return false;
        if (c != '\\') {
            data += c;
            continue;
        }
        if (++i >= text.size()) return false;
        if (text[i] == '\\' || text[i] == '"') {
            data += text[i];
        } else if (text[i] == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            data += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            return false;
        }
    }
    data += '\0';
    value.type = kRegSz;
    value.data = std::move(data);
    return true;
}

// hex:01,02 (binary) or hex(T):01,02 (type T in hex).
bool ParseHex(std::string_view text, RegistryValue& value) {
    DWORD type = kRegBinary;
    if (text.substr(0, 4) == "hex:") {
        text.remove_prefix(4);
    } else if (text.substr(0, 4) == "hex(") {
        text.remove_prefix(4);
        const std::size_t close = text.find("):");
        if (close == std::string_view::npos || close == 0 || close > 8) return false;
        type = 0;
        for (std::size_t i = 0; i < close; ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0) return false;
            type = type * 16 + static_cast<DWORD>(digit);
        }
        text.remove_prefix(close + 2);
    } else {
        return false;
    }
    std::string data;
    text = Trim(text);
    while (!text.empty()) {
        text = Trim(text);
        if (text.size() < 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0) return false;
        data += static_cast<char>(HexDigit(text[0]) * 16 + HexDigit(text[1]));
        text.remove_prefix(2);
        text = Trim(text);
        if (text.empty()) break;
        if (text.front() != ',') return false;
        text.remove_prefix(1);
        if (Trim(text).empty()) return false;  // a trailing comma
    }
    value.type = type;
    value.data = std::move(data);
    return true;
}

bool ParseValue(std::string_view text, RegistryValue& value) {
    if (text.empty()) return false;
    if (text.front() == '"') return ParseString(text, value);
    if (text.front() == 'h') return ParseHex(text, value);
    return ParseNumber(text, value);
}

std::string Shorten(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte >= 0x7F ? '?' : c;
    }
    if (text.size() > 40) out += "...";
    return out;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t chunk = bytes.size();
        if (gWriteBudget >= 0) {
            if (gWriteBudget == 0) {
                errno = ENOSPC;
                return false;
            }
            if (static_cast<long long>(chunk) > gWriteBudget) chunk = static_cast<std::size_t>(gWriteBudget);
        }
        const ssize_t written = ::write(fd, bytes.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (gWriteBudget >= 0) gWriteBudget -= written;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (folder.empty() || ::stat(folder.c_str(), &info) == 0) return true;
    const std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool RegistryFile::IsValidName(std::string_view name) {
    if (name.empty() || name != Trim(name)) return false;
    if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '=') return false;
    }
    return true;
}

bool RegistryFile::IsValidSection(std::string_view section) {
    if (section.empty() || section != Trim(section)) return false;
    for (char c : section) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ']' || c == '[') return false;
    }
    return true;
}

void RegistryFile::Parse(std::string_view text, const Report& report) {
    lines_.clear();
    std::string section;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        Line line;
        line.text.assign(text.substr(start, end - start));
        start = end + 1;

        const std::string_view body = Trim(line.text);
        std::string why;
        if (body.empty()) {
            line.kind = Kind::Blank;
        } else if (body.front() == ';' || body.front() == '#') {
            line.kind = Kind::Comment;
        } else if (body.front() == '[') {
            const std::string_view path = body.back() == ']' ? Trim(body.substr(1, body.size() - 2)) : "";
            if (IsValidSection(path)) {
                line.kind = Kind::Section;
                line.section.assign(path);
                section = line.section;
                inSection = true;
            } else {
                // The values below belong to no key we know; they are kept, unread.
                line.kind = Kind::Unreadable;
                why = "a malformed key line";
                inSection = false;
            }
        } else {
            const std::size_t equals = body.find('=');
            const std::string_view name = equals == std::string_view::npos ? "" : Trim(body.substr(0, equals));
            line.kind = Kind::Unreadable;
            if (equals == std::string_view::npos || !IsValidName(name)) {
                why = "no Name=value line";
            } else if (!inSection) {
                why = "a value outside any key";
            } else if (!ParseValue(Trim(body.substr(equals + 1)), line.value)) {
                why = "the value is no number, \"text\" or hex list";
            } else {
                line.kind = Kind::Value;
                line.section = section;
                line.name.assign(name);
            }
        }
        if (line.kind == Kind::Unreadable && report)
            report(static_cast<int>(lines_.size()) + 1, why + ": " + Shorten(body));
        lines_.push_back(std::move(line));
    }
}

std::string RegistryFile::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += '\n';
    }
    return out;
}

bool RegistryFile::HasSection(std::string_view section) const {
    for (const Line& line : lines_)
        if (line.kind == Kind::Section && EqualsNoCase(line.section, section)) return true;
    return false;
}

int RegistryFile::FindLine(std::string_view section, std::string_view name) const {
    // A value line belongs to the section line above it, so the path is compared once per
    // section, not once per value.
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) inSection = EqualsNoCase(line.section, section);
        if (line.kind == Kind::Value && inSection && EqualsNoCase(line.name, name)) return static_cast<int>(i);
    }
    return -1;
}

bool RegistryFile::Find(std::string_view section, std::string_view name, RegistryValue& value) const {
    const int index = FindLine(section, name);
    if (index < 0) return false;
    value = lines_[static_cast<std::size_t>(index)].value;
    return true;
}

std::string RegistryFile::Format(std::string_view name, const RegistryValue& value) {
    std::string text(name);
    text += '=';
    const std::string& data = value.data;
    if (value.type == kRegDword && data.size() == 4) {
        std::int32_t number;
        std::memcpy(&number, data.data(), 4);
        text += std::to_string(number);  // integer formatting does not depend on the locale
        return text;
    }
    if (value.type == kRegSz && !data.empty() && data.back() == '\0') {
        text += '"';
        for (std::size_t i = 0; i + 1 < data.size(); ++i) {
            const char c = data[i];
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                text += '\\';
                text += c;
            } else if (byte < 0x20 || byte == 0x7F) {
                text += "\\x";
                text += kHex[byte >> 4];
                text += kHex[byte & 15];
            } else {
                text += c;
            }
        }
        text += '"';
        return text;
    }
    if (value.type == kRegBinary) {
        text += "hex:";
    } else {
        text += "hex(";
        char digits[9];
        int count = 0;
        DWORD type = value.type;
        do {
            digits[count++] = kHex[type & 15];
            type >>= 4;
        } while (type != 0);
        while (count > 0) text += digits[--count];
        text += "):";
    }
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) text += ',';
        const auto byte = static_cast<unsigned char>(data[i]);
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

bool RegistryFile::AddSection(std::string_view section) {
    if (!IsValidSection(section)) return false;
    if (HasSection(section)) return true;
    if (!lines_.empty() && lines_.back().kind != Kind::Blank) lines_.push_back(Line{});
    Line header;
    header.kind = Kind::Section;
    header.section.assign(section);
    header.text = "[" + header.section + "]";
    lines_.push_back(std::move(header));
    return true;
}

bool RegistryFile::Set(std::string_view section, std::string_view name, const RegistryValue& value) {
    if (!IsValidSection(section) || !IsValidName(name)) return false;
    Line line;
    line.kind = Kind::Value;
    line.section.assign(section);
    line.name.assign(name);
    line.value = value;
    line.text = Format(name, value);

    const int existing = FindLine(section, name);
    if (existing >= 0) {
        line.section = lines_[static_cast<std::size_t>(existing)].section;
        lines_[static_cast<std::size_t>(existing)] = std::move(line);
        return true;
    }
    AddSection(section);
    // After the last value or unread line of the first matching section, else its header.
    std::size_t insertAt = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section || !EqualsNoCase(lines_[i].section, section)) continue;
        line.section = lines_[i].section;
        insertAt = i + 1;
        for (std::size_t j = i + 1; j < lines_.size() && lines_[j].kind != Kind::Section; ++j) {
            if (lines_[j].kind == Kind::Unreadable && Trim(lines_[j].text).front() == '[')
                break;  // a malformed key line ends the section too
            if (lines_[j].kind == Kind::Value || lines_[j].kind == Kind::Unreadable) insertAt = j + 1;
        }
        break;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    return true;
}

void RegistryFile::AddComment(std::string_view text) {
    Line line;
    line.kind = Kind::Comment;
    line.text = "; ";
    for (char c : text) line.text += c == '\n' || c == '\r' ? ' ' : c;
    lines_.push_back(std::move(line));
}

int RegistryFile::UnreadableCount() const {
    int count = 0;
    for (const Line& line : lines_) count += line.kind == Kind::Unreadable;
    return count;
}

void SetWriteFailureAfterBytes(long long limit) { gWriteBudget = limit < 0 ? -1 : limit; }

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!MakeFolders(folder)) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::string temporary = folder + "/." + base + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create a file in " + folder + ": " + std::strerror(errno);
        return false;
    }
    const char* failed = nullptr;
    if (::fchmod(fd, 0600) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) failed = "cannot write";
    int savedErrno = errno;
    if (::close(fd) != 0 && failed == nullptr) {
        failed = "cannot write";
        savedErrno = errno;
    }
    if (failed == nullptr && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failed = "cannot replace";
        savedErrno = errno;
    }
    if (failed != nullptr) {
        error = std::string(failed) + " " + path + ": " + std::strerror(savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

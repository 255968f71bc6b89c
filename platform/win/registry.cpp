#include "platform/win/registry.h"

#include "platform/win/registry_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

struct HKEY__ {
    std::string path;  // below HKEY_CURRENT_USER, parts joined with "\"
    bool canRead = false;
    bool canWrite = false;
    RegistryFile file;  // as read when the key was opened, with this handle's own changes
};

namespace {

// Larger files are refused rather than read: nothing the program writes comes near.
constexpr long long kMaxFileBytes = 16 * 1024 * 1024;

const char kFileHeader[] =
    "Frostvale settings: Name=value under [key]; numbers in decimal, \"text\", hex:01,02 for bytes.";

RegistryLogSink gSink = nullptr;
std::set<HKEY> gOpenKeys;

void Report(const char* line) {
    if (gSink != nullptr)
        gSink(line);
    else
        std::fputs(line, stderr);
}

bool IsOpenKey(HKEY key) { return gOpenKeys.count(key) != 0; }

// The whole file; false when it exists but cannot be read (a missing file reads empty).
bool ReadSettingsFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes;
    char buffer[65536];
    while (ok) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (static_cast<long long>(text.size()) > kMaxFileBytes) ok = false;
    }
    ::close(fd);
    return ok;
}

bool LoadSettingsFile(RegistryFile& file, bool report) {
    const std::string path = RegistryFilePath();
    std::string text;
    if (!ReadSettingsFile(path, text)) {
        if (report) Report(("Error: cannot read the settings file " + path + "\n").c_str());
        return false;
    }
    RegistryFile::Report reporter;
    if (report) {
        reporter = [&path](int lineNumber, const std::string& why) {
            const std::string where = path + ":" + std::to_string(lineNumber);
            Report(("Warning: " + where + ": line kept unread, " + why + "\n").c_str());
        };
    }
    file.Parse(text, reporter);
    return true;
}

// Adds the change to a fresh reading of the file and writes it back.
LONG Store(HKEY key, const std::function<bool(RegistryFile&)>& change) {
    RegistryFile current;
    if (!LoadSettingsFile(current, false)) return ERROR_ACCESS_DENIED;
    if (current.IsEmpty()) current.AddComment(kFileHeader);
    if (!change(current)) return ERROR_INVALID_PARAMETER;
    std::string error;
    if (!WriteFileAtomically(RegistryFilePath(), current.Serialize(), error)) {
        Report(("Error: " + error + "\n").c_str());
        return ERROR_WRITE_FAULT;
    }
    change(key->file);
    return ERROR_SUCCESS;
}

std::string TrimBackslashes(const char* text) {
    std::string path = text != nullptr ? text : "";
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

std::string RegistryFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* entry = ::getpwuid(::getuid());
            home = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
        }
        folder = std::string(home) + "/.config";
    }
    return folder + "/frostvale/settings.conf";
}

void SetRegistryLogSink(RegistryLogSink sink) { gSink = sink; }

RegistryLogSink GetRegistryLogSink() { return gSink; }

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, void*, PHKEY result,
                     LPDWORD disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::string path;
    if (key != HKEY_CURRENT_USER) {
        if (!IsOpenKey(key)) return ERROR_INVALID_HANDLE;
        path = key->path;
    }
    const std::string below = TrimBackslashes(subKey);
    if (!below.empty()) path = path.empty() ? below : path + "\\" + below;
    if (!RegistryFile::IsValidSection(path)) return ERROR_INVALID_PARAMETER;

    auto handle = std::make_unique<HKEY__>();
    handle->path = path;
    handle->canRead = (access & KEY_QUERY_VALUE) != 0;
    handle->canWrite = (access & KEY_SET_VALUE) != 0;
    if (!LoadSettingsFile(handle->file, true)) return ERROR_ACCESS_DENIED;
    const bool existed = handle->file.HasSection(path);
    if (!existed && handle->canWrite) {
        const LONG stored = Store(handle.get(), [&path](RegistryFile& file) { return file.AddSection(path); });
        if (stored != ERROR_SUCCESS) return stored;
    }
    if (disposition != nullptr) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = handle.release();
    gOpenKeys.insert(*result);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (!IsOpenKey(key)) return ERROR_INVALID_HANDLE;
    if (!key->canRead) return ERROR_ACCESS_DENIED;
    if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryValue value;
    if (!key->file.Find(key->path, name != nullptr ? name : "", value)) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value.type;
    const auto full = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
        if (size != nullptr) *size = full;
        return ERROR_SUCCESS;
    }
    const DWORD copied = full < *size ? full : *size;
    std::memcpy(data, value.data.data(), copied);
    *size = full;
    return copied < full ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (!IsOpenKey(key)) return ERROR_INVALID_HANDLE;
    if (!key->canWrite) return ERROR_ACCESS_DENIED;
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    const std::string valueName = name != nullptr ? name : "";
    if (!RegistryFile::IsValidName(valueName)) return ERROR_INVALID_PARAMETER;
    RegistryValue value;
    value.type = type;
    if (size != 0) value.data.assign(reinterpret_cast<const char*>(data), size);
    const std::string path = key->path;
    return Store(key, [&](RegistryFile& file) { return file.Set(path, valueName, value); });
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    if (!IsOpenKey(key)) return ERROR_INVALID_HANDLE;
    gOpenKeys.erase(key);
    delete key;
    return ERROR_SUCCESS;
}

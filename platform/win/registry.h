#pragma once
// The registry calls the settings store makes, over one text file per user:
// ${XDG_CONFIG_HOME:-~/.config}/frostvale/settings.conf (format in registry_file.h).
//
// - RegCreateKeyExA opens a key below HKEY_CURRENT_USER (or below an open key). A missing
//   key opens empty; with KEY_WRITE access its section is written at once, with read
//   access alone the file is not touched. A file that exists but cannot be read fails the
//   call.
// - RegQueryValueExA copies as much of the value as the buffer holds: ERROR_MORE_DATA
//   with the full size when it was cut short; a missing value (ERROR_FILE_NOT_FOUND)
//   leaves the buffer untouched.
// - RegSetValueExA rewrites the file at once and atomically; lines it cannot read stay as
//   they are. A failed write leaves the old file whole and answers ERROR_WRITE_FAULT.
// - Unreadable lines of the file are reported once per open, one line each, to the log sink.

#include "platform/win/win_types.h"

#include <cstdint>
#include <string>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LPSTR = char*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     void* security, PHKEY result, LPDWORD disposition);
LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegCloseKey(HKEY key);

// The settings file's path, from the environment at the time of the call. An empty or
// relative XDG_CONFIG_HOME counts as unset; then $HOME/.config (the password database's
// home folder when HOME is unset or empty).
std::string RegistryFilePath();

// Where reports of unreadable lines go: one whole line each, ending in "\n". Null gives
// the default, stderr.
using RegistryLogSink = void (*)(const char* line);
void SetRegistryLogSink(RegistryLogSink sink);
RegistryLogSink GetRegistryLogSink();

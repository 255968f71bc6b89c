#include "app/settings.h"

#include "core/log.h"
#include "platform/win/registry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

const char kSettingsRegistryKey[] = "Software\\Kestrelworks\\Frostvale 3D Screensaver";

const SettingField kSettingFields[kSettingCount] = {
    {"UseDesktop", "UseDktpSet", SettingType::Flag, &Settings::useDesktop, nullptr, 0, 1},
    {"ShowFps", "ShowFPS", SettingType::Flag, &Settings::showFps, nullptr, 0, 0},
    {"Music", "Music", SettingType::Flag, &Settings::music, nullptr, 0, 1},
    {"ExitOnMM", "ExitOnMouseMove", SettingType::Flag, &Settings::exitOnMouseMove, nullptr, 0, 0},
    {"Width", "MW", SettingType::Int, nullptr, &Settings::width, 0, 800},
    {"Height", "MH", SettingType::Int, nullptr, &Settings::height, 0, 600},
    {"Depth", "MBitCount", SettingType::Int, nullptr, &Settings::depth, 0, 32},
    {"Adapter", "Adapter", SettingType::Int, nullptr, &Settings::adapter, 0, 0},
    {"Gamma", "GammControl", SettingType::Int, nullptr, &Settings::gamma, 100, 0},
    {"Volume", "MusicVolume", SettingType::Int, nullptr, &Settings::volume, 0, 75},
    {"ShowTime", "ShowTime", SettingType::Flag, &Settings::showTime, nullptr, 0, 1},
    {"TimeStyle", "DigClock_24H", SettingType::Flag, &Settings::timeStyle, nullptr, 0, 1},
    {"WindVelocity", "WindVel", SettingType::Int, nullptr, &Settings::windVelocity, 0, 1},
    {"ParticleCount", "PartCount", SettingType::Int, nullptr, &Settings::particleCount, 0, 2},
};

// UseDesktop, ShowFps, Width, Height, Depth, Adapter, Gamma, Volume, Music, ExitOnMM,
// ShowTime, TimeStyle, WindVelocity, ParticleCount.
const int kRegistryReadOrder[kSettingCount] = {0, 1, 4, 5, 6, 7, 8, 9, 2, 3, 10, 11, 12, 13};
// UseDesktop, ShowFps, Music, ExitOnMM, Width, Height, Depth, Adapter, Gamma, Volume,
// ShowTime, TimeStyle, WindVelocity, ParticleCount.
const int kRegistryWriteOrder[kSettingCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

const KeyValueField kKeyValueFields[static_cast<int>(KeyValue::Count)] = {
    {"FrameLimit", 0, 1000, 0},   // frames per second, 0 for no cap
    {"RenderScale", 25, 100, 100},  // percent of the window's size the scene is drawn at
};

namespace {

void LogRegistryLine(const char* line) { Log("", line); }

// Reports about the settings file go to the log unless the program routed them elsewhere.
void RouteRegistryReports() {
    if (GetRegistryLogSink() == nullptr) SetRegistryLogSink(LogRegistryLine);
}

}  // namespace

std::int32_t GetSetting(const Settings& settings, const SettingField& field) {
    return field.type == SettingType::Flag ? (settings.*field.flag ? 1 : 0) : settings.*field.number;
}

void SetSetting(Settings& settings, const SettingField& field, std::int32_t value) {
    if (field.type == SettingType::Flag)
        settings.*field.flag = (static_cast<std::uint32_t>(value) & 0xFF) != 0;
    else
        settings.*field.number = value;
}

const SettingField* FindSettingField(const char* registryName) {
    for (const SettingField& field : kSettingFields)
        if (std::strcmp(field.registryName, registryName) == 0) return &field;
    return nullptr;
}

void LoadDefaultSettings(DefaultSettings& defaults, Settings& settings) {
    defaults.LoadResource();
    RestoreDefaults(defaults, settings);
}

void RestoreDefaults(const DefaultSettings& defaults, Settings& settings) {
    for (const SettingField& field : kSettingFields) {
        const std::int32_t number = defaults.Number(field.defaultKey);
        // Flags: any non-zero number is true, not only its low byte.
        if (field.type == SettingType::Flag)
            settings.*field.flag = number != 0;
        else  // 64-bit so that a stray default near the 32-bit limit cannot overflow
            settings.*field.number = static_cast<std::int32_t>(
                std::max<std::int64_t>(INT32_MIN, std::int64_t{number} - field.defaultBias));
    }
}

bool ReadRegistrySettings(Settings& settings) {
    RouteRegistryReports();
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    for (int index : kRegistryReadOrder) {
        const SettingField& field = kSettingFields[index];
        // A value of another type or size fills as much of the four bytes as it has.
        std::uint32_t buffer = 0;
        DWORD type = 0;
        DWORD size = sizeof buffer;
        const LONG result =
            RegQueryValueExA(key, field.registryName, nullptr, &type, reinterpret_cast<BYTE*>(&buffer), &size);
        if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)
            SetSetting(settings, field, static_cast<std::int32_t>(buffer));
    }
    RegCloseKey(key);
    return true;
}

bool WriteRegistrySettings(const Settings& settings) {
    RouteRegistryReports();
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int index : kRegistryWriteOrder) {
        const SettingField& field = kSettingFields[index];
        const auto value = static_cast<std::uint32_t>(GetSetting(settings, field));
        ok = RegSetValueExA(key, field.registryName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS && ok;
    }
    RegCloseKey(key);
    return ok;
}

std::int32_t ReadKeyValue(KeyValue value) {
    const KeyValueField& field = kKeyValueFields[static_cast<int>(value)];
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return field.fallback;
    std::uint32_t buffer = 0;
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const LONG result =
        RegQueryValueExA(key, field.registryName, nullptr, &type, reinterpret_cast<BYTE*>(&buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return field.fallback;
    return std::clamp(static_cast<std::int32_t>(buffer), field.low, field.high);
}

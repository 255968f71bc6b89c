#pragma once
// The settings record and its two layers: the built-in default text, then the user's
// registry key. Every function here walks the one field table, kSettingFields, so the
// record, the default keys, the registry names and their types cannot drift apart.
//
// Registry: key "Software\Kestrelworks\Frostvale 3D Screensaver" under HKEY_CURRENT_USER,
// every value a 4-byte REG_DWORD. A flag is read from the low byte (non-zero is true);
// numbers are the signed 32-bit value; Gamma is stored as the offset -100 … 100, while
// the default text holds it plus 100.

#include "app/default_settings.h"

#include <cstdint>

struct Settings {
    bool useDesktop = false;     // full-screen in the desktop's mode; else Width x Height x Depth
    bool showFps = false;        // frame-rate text
    bool music = false;          // background music
    bool exitOnMouseMove = false;
    std::int32_t width = 0;      // full-screen mode, pixels
    std::int32_t height = 0;
    std::int32_t depth = 0;      // bits per pixel
    std::int32_t adapter = 0;    // display adapter ordinal
    std::int32_t gamma = 0;      // offset -100 … 100
    std::int32_t volume = 0;     // 0 … 100
    bool showTime = false;       // clock
    bool timeStyle = false;      // true: 24-hour clock
    std::int32_t windVelocity = 0;   // preset 0 … 2
    std::int32_t particleCount = 0;  // snow amount preset 0 … 2

    bool operator==(const Settings&) const = default;
};

enum class SettingType { Flag, Int };

struct SettingField {
    const char* registryName;
    const char* defaultKey;      // key in the default-settings text
    SettingType type;
    bool Settings::*flag;        // set for Flag
    std::int32_t Settings::*number;  // set for Int
    std::int32_t defaultBias;    // the default text holds the value plus this
    std::int32_t shippedDefault; // what the shipped default text gives
};

constexpr int kSettingCount = 14;
// In record order (the order LoadDefaultSettings fills them).
extern const SettingField kSettingFields[kSettingCount];

extern const char kSettingsRegistryKey[];

// Indices into kSettingFields in the order the registry is read and written.
extern const int kRegistryReadOrder[kSettingCount];
extern const int kRegistryWriteOrder[kSettingCount];

// A field's value as a 32-bit number (flags 0 or 1) and back (flags from the low byte).
std::int32_t GetSetting(const Settings& settings, const SettingField& field);
void SetSetting(Settings& settings, const SettingField& field, std::int32_t value);
// The registry field with that name (exact case), or null.
const SettingField* FindSettingField(const char* registryName);

// Parses the built-in default text into defaults (once, at start) and fills the record.
void LoadDefaultSettings(DefaultSettings& defaults, Settings& settings);
// Fills the whole record from the parsed default text again; the registry is not touched.
void RestoreDefaults(const DefaultSettings& defaults, Settings& settings);

// Opens the key for reading (a missing key is created empty) and takes every value that
// is present; missing values leave their fields. False, with nothing changed, when the
// key cannot be opened.
bool ReadRegistrySettings(Settings& settings);
// Writes all fourteen values; false when the key cannot be opened or a value cannot be
// stored.
bool WriteRegistrySettings(const Settings& settings);

// The numbers of the settings key outside the record: edited in the file only (no dialog,
// no default text, never written), read where they are used. One table, kKeyValueFields.
enum class KeyValue { FrameLimit, RenderScale, Count };

struct KeyValueField {
    const char* registryName;
    std::int32_t low, high;  // a number outside is clamped to this range
    std::int32_t fallback;   // taken when the value is missing or not a 4-byte REG_DWORD
};

extern const KeyValueField kKeyValueFields[static_cast<int>(KeyValue::Count)];

// The value of the settings key: the field's fallback when missing or unreadable, else the
// stored signed number clamped to the field's range.
std::int32_t ReadKeyValue(KeyValue value);

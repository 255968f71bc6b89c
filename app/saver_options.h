#pragma once
// The options that set a value of the settings record for one run ("--snow large"), with
// one dash or two. One table, kSaverOptions, drives the command-line parser and the
// XScreenSaver configuration (WriteXScreenSaverXml); the settings record's own table
// (kSettingFields) gives each option's field and its shipped default.

#include "app/settings.h"

#include <cstdint>
#include <string>
#include <vector>

// A word an option takes and the value it stores ("large" -> 2).
struct OptionWord {
    const char* word;
    std::int32_t value;
    const char* label;  // its entry in the XScreenSaver dialog
};

enum class OptionArgument { None, Word, Number };

struct SaverOption {
    const char* name;            // without dashes
    const char* field;           // the registry name of the field it sets
    OptionArgument argument;
    std::int32_t value;          // None: the value stored
    std::vector<OptionWord> words;  // Word: the words taken
    std::int32_t low, high;      // Number: the range taken
    const char* alsoField;       // a second field the option sets (null: none) ...
    std::int32_t alsoValue;      // ... to this value
    const char* label;           // the dialog's label for the field (null: not in the dialog)
    const char* help;            // one line for the manual
};

extern const std::vector<SaverOption> kSaverOptions;

// The field assignments of a run, in command-line order.
struct SettingOverride {
    const SettingField* field;
    std::int32_t value;
};

// The option called name (without dashes), or null.
const SaverOption* FindSaverOption(const std::string& name);
// Parses the option's argument (ignored for OptionArgument::None) into overrides; false,
// with a one-line message in error, for a word or number the option does not take.
bool ApplySaverOption(const SaverOption& option, const std::string& argument, std::vector<SettingOverride>& overrides,
                      std::string& error);
void ApplyOverrides(const std::vector<SettingOverride>& overrides, Settings& settings);

// The XScreenSaver hack description (share/xscreensaver/config/frostvale.xml): the command
// with --root, a delay slider, and a widget per field of the table, defaults from the
// shipped settings.
std::string WriteXScreenSaverXml();

#include "app/saver_options.h"

#include "core/number_text.h"

#include <cstring>

namespace {

// The whole text must be a decimal integer, a minus sign allowed.
bool ParseWholeNumber(const std::string& text, std::int64_t& value) {
    std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() > 11) return false;
    value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (text[0] == '-') value = -value;
    return true;
}

std::string Attribute(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + value + "\""; }

std::string Dashed(const SaverOption& option) { return std::string("--") + option.name; }

// The widget of one field: the options that set it, in table order.
std::string FieldWidget(const SettingField& field, const std::vector<const SaverOption*>& options) {
    const SaverOption& first = *options.front();
    const std::int32_t shipped = field.shippedDefault;
    std::string xml;
    if (first.argument == OptionArgument::Number) {
        xml = std::string("  <number") + Attribute("id", first.name) + Attribute("type", "slider") +
              Attribute("arg", Dashed(first) + " %") + Attribute("_label", first.label) +
              Attribute("_low-label", std::to_string(first.low)) + Attribute("_high-label", std::to_string(first.high)) +
              Attribute("low", std::to_string(first.low)) + Attribute("high", std::to_string(first.high)) +
              Attribute("default", std::to_string(shipped)) + "/>\n";
    } else if (first.argument == OptionArgument::Word) {
        xml = std::string("  <select") + Attribute("id", first.name) + ">\n";
        for (const OptionWord& word : first.words) {
            xml += std::string("    <option") + Attribute("id", std::string(first.name) + "-" + word.word) +
                   Attribute("_label", word.label);
            // The shipped choice is the one without arguments.
            if (word.value != shipped) xml += Attribute("arg-set", Dashed(first) + " " + word.word);
            xml += "/>\n";
        }
        xml += "  </select>\n";
    } else {
        // A check box: the option that stores the other value than the shipped one.
        for (const SaverOption* option : options) {
            if (option->argument != OptionArgument::None || (option->value != 0) == (shipped != 0)) continue;
            xml = std::string("  <boolean") + Attribute("id", first.name) + Attribute("_label", first.label) +
                  Attribute(option->value != 0 ? "arg-set" : "arg-unset", Dashed(*option)) + "/>\n";
        }
    }
    return xml;
}

}  // namespace

const std::vector<SaverOption> kSaverOptions = {
    {"fps", "ShowFps", OptionArgument::None, 1, {}, 0, 0, nullptr, 0, "Show frame rate",
     "show the frame rate"},
    {"clock", "TimeStyle", OptionArgument::Word, 0, {{"24", 1, "24-hour clock"}, {"12", 0, "12-hour clock"}}, 0, 0,
     "ShowTime", 1, "Clock style", "show the clock in the 12- or 24-hour style"},
    {"no-clock", "ShowTime", OptionArgument::None, 0, {}, 0, 0, nullptr, 0, "Show the clock", "hide the clock"},
    {"music", "Music", OptionArgument::None, 1, {}, 0, 0, nullptr, 0, "Play music", "play the music"},
    {"no-music", "Music", OptionArgument::None, 0, {}, 0, 0, nullptr, 0, nullptr, "no music"},
    {"volume", "Volume", OptionArgument::Number, 0, {}, 0, 100, nullptr, 0, "Music volume",
     "music volume, 0 to 100"},
    {"snow", "ParticleCount", OptionArgument::Word, 0,
     {{"small", 0, "Light snowfall"}, {"medium", 1, "Medium snowfall"}, {"large", 2, "Heavy snowfall"}}, 0, 0, nullptr,
     0, "Snow", "how much snow falls"},
    {"wind", "WindVelocity", OptionArgument::Word, 0,
     {{"light", 0, "Light wind"}, {"medium", 1, "Medium wind"}, {"strong", 2, "Strong wind"}}, 0, 0, nullptr, 0,
     "Wind", "how strong the wind blows"},
    {"gamma", "Gamma", OptionArgument::Number, 0, {}, -100, 100, nullptr, 0, "Brightness",
     "gamma offset, -100 (darker) to 100 (brighter)"},
    // Hosts decide when a hack ends, so the dialog does not offer it.
    {"exit-on-mouse-move", "ExitOnMM", OptionArgument::None, 1, {}, 0, 0, nullptr, 0, nullptr,
     "a mouse move ends the Windows-style modes after the first second"},
};

const SaverOption* FindSaverOption(const std::string& name) {
    for (const SaverOption& option : kSaverOptions)
        if (name == option.name) return &option;
    return nullptr;
}

bool ApplySaverOption(const SaverOption& option, const std::string& argument, std::vector<SettingOverride>& overrides,
                      std::string& error) {
    std::int32_t value = option.value;
    const std::string dashed = std::string("--") + option.name;
    if (option.argument == OptionArgument::Word) {
        const OptionWord* found = nullptr;
        std::string accepted;
        for (const OptionWord& word : option.words) {
            if (argument == word.word) found = &word;
            if (!accepted.empty()) accepted += '|';
            accepted += word.word;
        }
        if (found == nullptr) {
            error = dashed + " takes " + accepted + ", not '" + argument + "'";
            return false;
        }
        value = found->value;
    } else if (option.argument == OptionArgument::Number) {
        std::int64_t number = 0;
        if (!ParseWholeNumber(argument, number) || number < option.low || number > option.high) {
            error = dashed + " takes a number from " + std::to_string(option.low) + " to " +
                    std::to_string(option.high) + ", not '" + argument + "'";
            return false;
        }
        value = static_cast<std::int32_t>(number);
    }
    overrides.push_back({FindSettingField(option.field), value});
    if (option.alsoField != nullptr) overrides.push_back({FindSettingField(option.alsoField), option.alsoValue});
    return true;
}

void ApplyOverrides(const std::vector<SettingOverride>& overrides, Settings& settings) {
    for (const SettingOverride& o : overrides)
        if (o.field != nullptr) SetSetting(settings, *o.field, o.value);
}

std::string WriteXScreenSaverXml() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "\n"
        "<screensaver name=\"frostvale\" _label=\"Frostvale\" gl=\"yes\">\n"
        "\n"
        "  <command arg=\"--root\"/>\n"
        "\n"
        "  <number id=\"delay\" type=\"slider\" arg=\"--delay %\" _label=\"Frame rate\" _low-label=\"Low\"\n"
        "          _high-label=\"High\" low=\"0\" high=\"100000\" default=\"30000\" convert=\"invert\"/>\n";
    // One widget per field, in the order the table first names each field.
    std::vector<const char*> fields;
    for (const SaverOption& option : kSaverOptions) {
        bool seen = false;
        for (const char* field : fields) seen = seen || std::strcmp(field, option.field) == 0;
        if (!seen) fields.push_back(option.field);
    }
    for (const char* name : fields) {
        std::vector<const SaverOption*> options;
        for (const SaverOption& option : kSaverOptions)
            if (std::strcmp(option.field, name) == 0) options.push_back(&option);
        if (options.front()->label == nullptr) continue;
        xml += FieldWidget(*FindSettingField(name), options);
    }
    xml +=
        "\n"
        "  <_description>\n"
        "A snowy village on a winter afternoon, flown through by a camera along\n"
        "recorded paths: falling snow, drifting snow dust, sparkles, swaying firs,\n"
        "a clock and frame-rate overlay, and music.\n"
        "  </_description>\n"
        "</screensaver>\n";
    return xml;
}

// fvtool settings show | path: the settings the screensaver would use, and their file.

#include "app/settings.h"
#include "platform/win/registry.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

void ReportToStderr(const char* line) { std::fputs(line, stderr); }

int RunSettings(const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail("settings needs one of: show, path");
    if (args[0] == "path") {
        std::printf("%s\n", RegistryFilePath().c_str());
        return 0;
    }
    if (args[0] != "show") return Fail("unknown settings command '" + args[0] + "' (show, path)");

    SetRegistryLogSink(ReportToStderr);
    DefaultSettings defaults;
    Settings settings;
    LoadDefaultSettings(defaults, settings);
    if (!ReadRegistrySettings(settings)) return Fail("cannot read the settings file " + RegistryFilePath());
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const SettingField& field : kSettingFields) {
        const std::int32_t value = GetSetting(settings, field);
        if (field.type == SettingType::Flag)
            out[field.registryName] = value != 0;
        else
            out[field.registryName] = value;
    }
    std::printf("%s\n", out.dump(2).c_str());
    return 0;
}

const Subcommand kSettings{"settings", "show | path", RunSettings};

}  // namespace

#pragma once
// A settings folder of a test's own: XDG_CONFIG_HOME points at a fresh folder while the
// object lives, and the folder is removed with it.

#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class ConfigHome {
public:
    ConfigHome() {
        std::string pattern = ::testing::TempDir() + "/fv-config-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
        folder_ = pattern;
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }
    ~ConfigHome() {
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(folder_);
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string SettingsPath() const { return folder_ + "/frostvale/settings.conf"; }
    // Replaces the settings file with the settings key's section holding these lines.
    void WriteSettings(const std::string& lines) const {
        std::filesystem::create_directories(folder_ + "/frostvale");
        std::ofstream(SettingsPath(), std::ios::trunc) << "[" << kSettingsRegistryKey << "]\n" << lines;
    }

private:
    std::string folder_;
};

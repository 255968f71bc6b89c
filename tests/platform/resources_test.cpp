#include "platform/win/resources.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string ResourceText(int number, const char* type) {
    HRSRC found = FindResourceA(nullptr, number, type);
    if (found == nullptr) return {};
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return std::string(bytes, SizeofResource(nullptr, found));
}
}  // namespace

TEST(ResourcesTest, TypeNamesMatchInAnyCase) {
    for (const char* type : {"CustomData", "CUSTOMDATA", "customdata", "cUsToMdAtA"}) {
        EXPECT_NE(FindResourceA(nullptr, 182, type), nullptr) << type;
    }
    EXPECT_EQ(FindResourceA(nullptr, 182, "MemFile"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, 999, "CustomData"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, 182, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(ResourcesTest, EmbeddedBytesAreTheListedFiles) {
    const std::string defaults = ResourceText(182, "CustomData");
    EXPECT_NE(defaults.find("UseDktpSet"), std::string::npos);
    EXPECT_NE(defaults.find("main_web_site_url"), std::string::npos);
    const std::string texts = ResourceText(181, "CustomData");
    EXPECT_NE(texts.find("#screensaver_configuration#"), std::string::npos);
    // Windows-1252: the a-umlaut of "Qualit\xe4t" is one byte.
    EXPECT_NE(texts.find("Qualit\xe4t"), std::string::npos);
}

// Scene.props as shipped: every key with its value, in the props statement form.

#include "tests/tools/mediagen_formats.h"
#include "tools/mediagen/scene_settings.h"

#include <gtest/gtest.h>

#include <map>

using namespace mediagen_test;

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Statements of a props text the way the reader sees them: "//" comments dropped to the end
// of their line, line breaks removed, ";" outside quotes ending a statement.
std::vector<std::string> Statements(const std::string& text) {
    std::vector<std::string> statements;
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            statements.push_back(Trim(current));
            current.clear();
            continue;
        }
        current += c;
    }
    if (!Trim(current).empty()) statements.push_back(Trim(current));
    return statements;
}

// Key → value text; array values become their items joined by "|" with quotes removed.
std::map<std::string, std::string> Assignments(const std::string& text) {
    std::map<std::string, std::string> values;
    for (const std::string& statement : Statements(text)) {
        const size_t eq = statement.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trim(statement.substr(0, eq));
        std::string value = Trim(statement.substr(eq + 1));
        if (value.rfind("array(", 0) == 0 && value.back() == ')') {
            std::string items, item;
            const std::string inner = value.substr(6, value.size() - 7) + ",";
            for (char c : inner) {
                if (c == ',') {
                    std::string t = Trim(item);
                    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
                    items += (items.empty() ? "" : "|") + t;
                    item.clear();
                } else {
                    item += c;
                }
            }
            value = items;
        }
        values[key] = value;
    }
    return values;
}

}  // namespace

TEST(MediagenSettingsTest, SceneSettingsCarryTheShippedValues) {
    const std::string text = SceneSettingsText();
    const std::map<std::string, std::string> values = Assignments(text);
    std::string animations;
    for (int i = 1; i <= 14; ++i) animations += (i > 1 ? "|frostvalen" : "frostvalen") + std::string(i < 10 ? "0" : "") +
                                                std::to_string(i) + ".cam";
    const std::pair<const char*, std::string> cases[] = {
        {"Ambient", "60|60|60"}, {"FogColor", "156|153|146"}, {"NearPlane", "10"},   {"FarPlane", "1000"},
        {"FogStart", "10"},      {"FogEnd", "700"},           {"Fov", "70"},         {"MaxSnow", "2000"},
        {"SnowBox", "500"},      {"SnowFall", "0.14"},        {"SnowStrafe", "0.04"}, {"SnowSpawn", "2"},
        {"DustTime", "5"},       {"DustWait", "1000"},        {"DustDist", "100"},   {"BlissTime", "2"},
        {"BlissWait", "10000"},  {"Animations", animations},
    };
    for (const auto& [key, expected] : cases) {
        ASSERT_EQ(values.count(key), 1u) << key;
        EXPECT_EQ(values.at(key), expected) << key;
    }
    EXPECT_EQ(values.size(), std::size(cases));
}

TEST(MediagenSettingsTest, SceneSettingsFileIsTheTextWithCommentsAndASpreadArray) {
    const std::vector<unsigned char> file = ReadAll(MediaDir() + "/Scene.props");
    const std::string text = SceneSettingsText();
    EXPECT_EQ(std::string(file.begin(), file.end()), text);
    EXPECT_EQ(text.rfind("//", 0), 0u);
    // The camera paths stand one to a line, every line but the last ending in a comma, so
    // no two names are joined into one item when the line breaks are dropped.
    const size_t open = text.find("Animations = array(");
    ASSERT_NE(open, std::string::npos);
    const std::string list = text.substr(open);
    int lines = 0;
    for (size_t at = list.find("\"frostvalen"); at != std::string::npos; at = list.find("\"frostvalen", at + 1)) {
        ++lines;
        const size_t end = list.find('\n', at);
        const std::string line = Trim(list.substr(at, end - at - 1));
        EXPECT_EQ(line.back() == ',', lines < 14) << line;
    }
    EXPECT_EQ(lines, 14);
    // Eighteen statements, one per key, and nothing else.
    EXPECT_EQ(Statements(text).size(), 18u);
}

TEST(MediagenSettingsTest, CameraPathNamesAreNumberedFromOne) {
    const std::pair<int, const char*> cases[] = {{0, "frostvalen01.cam"}, {8, "frostvalen09.cam"}, {13, "frostvalen14.cam"}};
    for (const auto& [index, name] : cases) EXPECT_EQ(CameraPathName(index), name);
}

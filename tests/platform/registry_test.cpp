#include "platform/win/registry.h"
#include "platform/win/registry_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kKey[] = "Software\\Kestrelworks\\Frostvale 3D Screensaver";

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes) out += static_cast<char>(b);
    return out;
}

TEST(RegistryFileTest, ValueLinesParseByType) {
    struct Case {
        const char* line;
        bool readable;
        DWORD type;
        std::string data;
    };
    const Case cases[] = {
        {"V=0", true, REG_DWORD, Bytes({0, 0, 0, 0})},
        {"V=42", true, REG_DWORD, Bytes({42, 0, 0, 0})},
        {"V=-1", true, REG_DWORD, Bytes({255, 255, 255, 255})},
        {"V=-2147483648", true, REG_DWORD, Bytes({0, 0, 0, 128})},
        {"V=4294967295", true, REG_DWORD, Bytes({255, 255, 255, 255})},
        {"  V  =  7  ", true, REG_DWORD, Bytes({7, 0, 0, 0})},
        {"V=7\r", true, REG_DWORD, Bytes({7, 0, 0, 0})},
        {"V=\"a b\"", true, REG_SZ, std::string("a b", 4)},
        {"V=\"q\\\"\\\\\\x01\"", true, REG_SZ, std::string("q\"\\\x01", 5)},
        {"V=\"\"", true, REG_SZ, std::string("", 1)},
        {"V=hex:01,ff, 0A", true, REG_BINARY, Bytes({1, 255, 10})},
        {"V=hex:", true, REG_BINARY, ""},
        {"V=hex(b):01,02", true, 11, Bytes({1, 2})},
        {"V=4294967296", false, 0, ""},
        {"V=1099511627776", false, 0, ""},
        {"V=-2147483649", false, 0, ""},
        {"V=12abc", false, 0, ""},
        {"V=1.5", false, 0, ""},
        {"V=", false, 0, ""},
        {"V=-", false, 0, ""},
        {"V=\"open", false, 0, ""},
        {"V=\"a\"b\"", false, 0, ""},
        {"V=\"\\q\"", false, 0, ""},
        {"V=\"\\x4\"", false, 0, ""},
        {"V=hex:1", false, 0, ""},
        {"V=hex:01,", false, 0, ""},
        {"V=hex(zz):01", false, 0, ""},
        {"V=dword:00000001", false, 0, ""},
        {"=5", false, 0, ""},
        {"just text", false, 0, ""},
    };
    for (const Case& c : cases) {
        RegistryFile file;
        int reports = 0;
        file.Parse(std::string("[K]\n") + c.line + "\n", [&](int line, const std::string&) {
            EXPECT_EQ(line, 2);
            ++reports;
        });
        RegistryValue value;
        EXPECT_EQ(file.Find("K", "v", value), c.readable) << c.line;
        EXPECT_EQ(reports, c.readable ? 0 : 1) << c.line;
        if (!c.readable) continue;
        EXPECT_EQ(value.type, c.type) << c.line;
        EXPECT_EQ(value.data, c.data) << c.line;
    }
}

TEST(RegistryFileTest, SectionsCommentsAndStrayLines) {
    RegistryFile file;
    std::vector<int> reported;
    file.Parse("; comment\n# comment\nLoose=1\n[A]\nX=1\n[broken\nY=2\n[ b\\c ]\nZ=3\n[a]\nW=4\n",
               [&](int line, const std::string&) { reported.push_back(line); });
    EXPECT_EQ(reported, (std::vector<int>{3, 6, 7}));
    EXPECT_EQ(file.UnreadableCount(), 3);
    RegistryValue value;
    EXPECT_TRUE(file.Find("a", "x", value));
    EXPECT_TRUE(file.Find("A", "W", value));  // a second section of the same key
    EXPECT_FALSE(file.Find("A", "Y", value));
    EXPECT_TRUE(file.Find("B\\C", "Z", value));
    EXPECT_FALSE(file.Find("", "Loose", value));

    // A new value goes into the first section of its key, never below a malformed key line.
    ASSERT_TRUE(file.Set("A", "New", RegistryValue{REG_BINARY, "\x01"}));
    EXPECT_EQ(file.Serialize(),
              "; comment\n# comment\nLoose=1\n[A]\nX=1\nNew=hex:01\n[broken\nY=2\n[ b\\c ]\nZ=3\n[a]\nW=4\n");
}

TEST(RegistryFileTest, SetRewritesOnlyTheValueLine) {
    const std::string original =
        "; my settings\r\n[Other]\nWidth=1\n\n[K]\nwidth = 5 \n%%garbage\n\n; trailing comment\n[Z]\nQ=1";
    RegistryFile file;
    file.Parse(original);
    const auto dword = [](std::int32_t n) {
        RegistryValue value;
        value.type = REG_DWORD;
        value.data.assign(reinterpret_cast<const char*>(&n), 4);
        return value;
    };
    ASSERT_TRUE(file.Set("k", "Width", dword(-9)));
    ASSERT_TRUE(file.Set("K", "Height", dword(600)));
    ASSERT_TRUE(file.Set("New\\Key", "Gamma", dword(3)));
    EXPECT_FALSE(file.Set("K", "Bad=Name", dword(1)));
    EXPECT_FALSE(file.Set("K", "", dword(1)));
    EXPECT_FALSE(file.Set("K", "Line\nBreak", dword(1)));
    EXPECT_FALSE(file.Set("Bad]Key", "X", dword(1)));
    EXPECT_EQ(file.Serialize(),
              "; my settings\r\n[Other]\nWidth=1\n\n[K]\nWidth=-9\n%%garbage\nHeight=600\n\n; trailing comment\n"
              "[Z]\nQ=1\n\n[New\\Key]\nGamma=3\n");
}

TEST(RegistryFileTest, EveryTypeSurvivesSerializeAndParse) {
    std::vector<RegistryValue> values;
    for (std::int32_t n : {0, 1, -1, 2147483647, -2147483647 - 1}) {
        RegistryValue value{REG_DWORD, std::string(4, '\0')};
        std::memcpy(value.data.data(), &n, 4);
        values.push_back(value);
    }
    values.push_back({REG_SZ, std::string("say \"hi\"\\ \x01\x7f\xe4\n", 14)});
    values.push_back({REG_SZ, std::string("a\0b", 4)});
    values.push_back({REG_BINARY, Bytes({0, 1, 128, 255})});
    values.push_back({REG_BINARY, ""});
    values.push_back({REG_DWORD, Bytes({1, 2})});  // a DWORD of the wrong size stays as it is
    values.push_back({0xFFFFFFFF, Bytes({9})});
    RegistryFile file;
    // Appended, not "V" + ...: g++ 12 takes that for an overlapping copy (-Wrestrict).
    auto nameOf = [](std::size_t i) { return std::string("V").append(std::to_string(i)); };
    for (std::size_t i = 0; i < values.size(); ++i) ASSERT_TRUE(file.Set("K", nameOf(i), values[i]));
    RegistryFile reread;
    int reports = 0;
    reread.Parse(file.Serialize(), [&](int, const std::string&) { ++reports; });
    EXPECT_EQ(reports, 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        RegistryValue value;
        ASSERT_TRUE(reread.Find("K", nameOf(i), value)) << i;
        EXPECT_EQ(value.type, values[i].type) << i;
        EXPECT_EQ(value.data, values[i].data) << i;
    }
}

// The calls, over a settings file in a fresh XDG_CONFIG_HOME.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "fv-registry-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        Reports().clear();
        SetRegistryLogSink(&Collect);
    }
    void TearDown() override {
        SetWriteFailureAfterBytes(-1);
        SetRegistryLogSink(nullptr);
        unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(folder_);
    }
    static std::vector<std::string>& Reports() {
        static std::vector<std::string> reports;
        return reports;
    }
    static void Collect(const char* line) { Reports().push_back(line); }

    std::string FilePath() const { return folder_ + "/frostvale/settings.conf"; }
    void WriteFile(const std::string& text) const {
        fs::create_directories(folder_ + "/frostvale");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }
    std::string ReadFile() const {
        std::ifstream in(FilePath(), std::ios::binary);
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static HKEY Open(REGSAM access, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, access, nullptr, &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }
    static LONG SetDword(HKEY key, const char* name, std::int32_t value) {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    }

    std::string folder_;
};

TEST_F(RegistryTest, PathFollowsTheEnvironment) {
    const char* home = std::getenv("HOME");
    const std::string saved = home != nullptr ? home : "";
    setenv("HOME", "/home/someone", 1);
    struct Case {
        const char* config;  // null: unset
        const char* path;
    };
    for (const Case& c : {Case{"/tmp/cfg", "/tmp/cfg/frostvale/settings.conf"},
                          Case{"", "/home/someone/.config/frostvale/settings.conf"},
                          Case{"relative/cfg", "/home/someone/.config/frostvale/settings.conf"},
                          Case{nullptr, "/home/someone/.config/frostvale/settings.conf"}}) {
        if (c.config != nullptr)
            setenv("XDG_CONFIG_HOME", c.config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(RegistryFilePath(), c.path);
    }
    if (home != nullptr) setenv("HOME", saved.c_str(), 1);
    else unsetenv("HOME");
}

TEST_F(RegistryTest, OpeningCreatesKeysButReadingNeverWrites) {
    DWORD disposition = 0;
    HKEY reader = Open(KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    std::uint32_t buffer = 0xABCDABCD;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(reader, "Width", nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer), &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(buffer, 0xABCDABCDu);
    EXPECT_EQ(SetDword(reader, "Width", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(FilePath()));

    HKEY writer = Open(KEY_WRITE, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    // A new file starts with a comment saying how it is written.
    EXPECT_EQ(ReadFile(), std::string("; Frostvale settings: Name=value under [key]; numbers in decimal, \"text\", "
                                      "hex:01,02 for bytes.\n\n[") + kKey + "]\n");
    EXPECT_EQ(fs::status(folder_ + "/frostvale").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(RegQueryValueExA(writer, "Width", nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer), &size),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(writer), ERROR_INVALID_HANDLE);

    HKEY again = Open(KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
}

TEST_F(RegistryTest, QueryCopiesWhatTheBufferHolds) {
    WriteFile(std::string("[") + kKey + "]\nLong=hex:01,02,03,04,05,06\nShort=hex:07\nNum=-2\n");
    HKEY key = Open(KEY_READ);
    struct Case {
        const char* name;
        LONG result;
        std::uint32_t buffer;
        DWORD size;
    };
    for (const Case& c : {Case{"Long", ERROR_MORE_DATA, 0x04030201u, 6}, Case{"Short", ERROR_SUCCESS, 0x07u, 1},
                          Case{"num", ERROR_SUCCESS, 0xFFFFFFFEu, 4}}) {
        std::uint32_t buffer = 0;
        DWORD size = 4;
        DWORD type = 0;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer), &size), c.result)
            << c.name;
        EXPECT_EQ(buffer, c.buffer) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
        DWORD needed = 0;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, nullptr, &needed), ERROR_SUCCESS);
        EXPECT_EQ(needed, c.size) << c.name;
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, FailedWriteLeavesTheOldFileWhole) {
    const std::string original = std::string("; keep me\n[") + kKey + "]\nWidth=640\n";
    WriteFile(original);
    HKEY key = Open(KEY_WRITE);
    for (long long limit : {0LL, 1LL, 10LL, 30LL}) {
        SetWriteFailureAfterBytes(limit);
        EXPECT_EQ(SetDword(key, "Width", 1920), ERROR_WRITE_FAULT) << limit;
        EXPECT_EQ(ReadFile(), original) << limit;
        // No temporary file is left behind.
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ + "/frostvale"))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"settings.conf"}) << limit;
    }
    SetWriteFailureAfterBytes(-1);
    EXPECT_EQ(SetDword(key, "Width", 1920), ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(), std::string("; keep me\n[") + kKey + "]\nWidth=1920\n");
    EXPECT_EQ(fs::status(FilePath()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    RegCloseKey(key);
}

TEST_F(RegistryTest, UnreadableLinesAreReportedOncePerOpenAndKept) {
    const std::string original = std::string("[") + kKey + "]\nWidth=1099511627776\n\x01\x02garbage\nHeight=9\n";
    WriteFile(original);
    HKEY key = Open(KEY_ALL_ACCESS);
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_NE(Reports()[0].find(":2:"), std::string::npos) << Reports()[0];
    EXPECT_NE(Reports()[1].find(":3:"), std::string::npos) << Reports()[1];
    EXPECT_EQ(Reports()[0].rfind("Warning: ", 0), 0u);
    EXPECT_EQ(Reports()[0].back(), '\n');
    EXPECT_EQ(SetDword(key, "Height", 10), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key, "Depth", 16), ERROR_SUCCESS);
    EXPECT_EQ(Reports().size(), 2u);
    EXPECT_EQ(ReadFile(), std::string("[") + kKey + "]\nWidth=1099511627776\n\x01\x02garbage\nHeight=10\nDepth=16\n");
    std::uint32_t buffer = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "Depth", nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(buffer, 16u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, BadArgumentsAreRefused) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExA(reinterpret_cast<HKEY>(&key), kKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a]b", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    HKEY parent = Open(KEY_ALL_ACCESS);
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExA(parent, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(child, "X", 1), ERROR_SUCCESS);
    EXPECT_NE(ReadFile().find(std::string("[") + kKey + "\\Sub]\nX=1\n"), std::string::npos);
    EXPECT_EQ(SetDword(child, "a=b", 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(child, "X", 0, REG_DWORD, nullptr, 4), ERROR_INVALID_PARAMETER);
    std::uint32_t buffer = 0;
    EXPECT_EQ(RegQueryValueExA(child, "X", nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
}

}  // namespace

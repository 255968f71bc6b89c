#include "app/settings.h"
#include "platform/win/registry.h"
#include "tests/app/config_home.h"
#include "tests/app/message_box_capture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryLogSink(&IgnoreReport); }
    void TearDown() override { SetRegistryLogSink(nullptr); }
    static void IgnoreReport(const char*) {}

    std::string FilePath() const { return home_.SettingsPath(); }
    void WriteFile(const std::string& text) const {
        fs::create_directories(fs::path(FilePath()).parent_path());
        std::ofstream(FilePath(), std::ios::binary) << text;
    }
    std::string ReadFile() const {
        std::ifstream in(FilePath(), std::ios::binary);
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static Settings Defaults() {
        DefaultSettings defaults;
        Settings settings;
        LoadDefaultSettings(defaults, settings);
        return settings;
    }

    ConfigHome home_;
    MessageBoxCapture capture_;
};

const char kSection[] = "[Software\\Kestrelworks\\Frostvale 3D Screensaver]\n";
const char kHeader[] =
    "; Frostvale settings: Name=value under [key]; numbers in decimal, \"text\", hex:01,02 for bytes.\n\n";

TEST_F(SettingsTest, OneTableDescribesEveryValue) {
    std::set<std::string> names;
    std::set<std::string> keys;
    for (const SettingField& field : kSettingFields) {
        names.insert(field.registryName);
        keys.insert(field.defaultKey);
        EXPECT_EQ(field.flag != nullptr, field.type == SettingType::Flag) << field.registryName;
        EXPECT_EQ(field.number != nullptr, field.type == SettingType::Int) << field.registryName;
        EXPECT_EQ(FindSettingField(field.registryName), &field);
    }
    EXPECT_EQ(names.size(), 14u);
    EXPECT_EQ(keys.size(), 14u);
    EXPECT_EQ(std::set<int>(std::begin(kRegistryReadOrder), std::end(kRegistryReadOrder)).size(), 14u);
    EXPECT_EQ(std::set<int>(std::begin(kRegistryWriteOrder), std::end(kRegistryWriteOrder)).size(), 14u);
    const char* readOrder[] = {"UseDesktop", "ShowFps", "Width", "Height", "Depth", "Adapter", "Gamma",
                               "Volume", "Music", "ExitOnMM", "ShowTime", "TimeStyle", "WindVelocity",
                               "ParticleCount"};
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_STREQ(kSettingFields[kRegistryReadOrder[i]].registryName, readOrder[i]);
}

TEST_F(SettingsTest, ShippedDefaultsGiveTheFirstRunRecord) {
    DefaultSettings defaults;
    Settings settings;
    LoadDefaultSettings(defaults, settings);
    EXPECT_TRUE(capture_.boxes().empty());
    for (const SettingField& field : kSettingFields)
        EXPECT_EQ(GetSetting(settings, field), field.shippedDefault) << field.registryName;
    EXPECT_STREQ(defaults.Value("main_web_site_url").CStr(), "https://frostvale.example.org/");

    // First run: no file, no key. Reading keeps every default and writes nothing.
    Settings read = settings;
    EXPECT_TRUE(ReadRegistrySettings(read));
    EXPECT_EQ(read, settings);
    EXPECT_TRUE(read.useDesktop && read.showTime && read.timeStyle && read.music);
    EXPECT_FALSE(read.showFps || read.exitOnMouseMove);
    EXPECT_EQ(read.volume, 75);
    EXPECT_EQ(read.gamma, 0);
    EXPECT_EQ(read.windVelocity, 1);
    EXPECT_EQ(read.particleCount, 2);
    EXPECT_FALSE(fs::exists(FilePath()));
}

TEST_F(SettingsTest, GammaDefaultIsTheTextMinusHundred) {
    struct Case {
        const char* text;
        std::int32_t gamma;
    };
    for (const Case& c : {Case{"GammControl=100", 0}, Case{"GammControl=150", 50}, Case{"GammControl=0", -100},
                          Case{"GammControl=-99999999999", INT32_MIN}}) {
        DefaultSettings defaults;
        defaults.Parse(c.text, std::char_traits<char>::length(c.text));
        Settings settings;
        RestoreDefaults(defaults, settings);
        EXPECT_EQ(settings.gamma, c.gamma) << c.text;
    }
    // The thirteen other keys are missing: one message box each, fields 0.
    EXPECT_EQ(capture_.boxes().size(), 4u * 13u);
}

TEST_F(SettingsTest, FlagsReadFromTheLowByte) {
    struct Case {
        const char* line;
        bool useDesktop;
    };
    const Case cases[] = {{"UseDesktop=0", false},     {"UseDesktop=1", true},   {"UseDesktop=256", false},
                          {"UseDesktop=257", true},    {"UseDesktop=-256", false}, {"UseDesktop=-1", true},
                          {"UseDesktop=hex:00,01", false}, {"UseDesktop=hex:02", true}};
    for (const Case& c : cases) {
        WriteFile(std::string(kSection) + c.line + "\n");
        Settings settings = Defaults();
        settings.useDesktop = !c.useDesktop;
        ASSERT_TRUE(ReadRegistrySettings(settings));
        EXPECT_EQ(settings.useDesktop, c.useDesktop) << c.line;
    }
}

TEST_F(SettingsTest, ValuesOfOtherTypesFillAsMuchOfFourBytesAsTheyHave) {
    struct Case {
        const char* line;
        std::int32_t width;
    };
    const Case cases[] = {
        {"Width=1024", 1024},
        {"Width=-5", -5},
        {"Width=4294967295", -1},
        {"Width=hex:05", 5},
        {"Width=hex:01,02,03,04,05,06", 0x04030201},
        {"Width=\"ab\"", 0x6261},  // the string's bytes and its zero byte
        {"Width=hex(b):00,01,00,00,00,00,00,00", 256},
        {"Width=hex:", 0},
    };
    for (const Case& c : cases) {
        WriteFile(std::string(kSection) + c.line + "\n");
        Settings settings = Defaults();
        ASSERT_TRUE(ReadRegistrySettings(settings));
        EXPECT_EQ(settings.width, c.width) << c.line;
        EXPECT_EQ(settings.height, 600) << c.line;  // missing: left as it was
    }
}

TEST_F(SettingsTest, EveryValueSurvivesWriteAndRead) {
    Settings written;
    written.useDesktop = false;
    written.showFps = true;
    written.music = false;
    written.exitOnMouseMove = true;
    written.width = 1920;
    written.height = 1080;
    written.depth = 16;
    written.adapter = 2;
    written.gamma = -37;
    written.volume = 3;
    written.showTime = false;
    written.timeStyle = false;
    written.windVelocity = 2;
    written.particleCount = 0;
    ASSERT_TRUE(WriteRegistrySettings(written));

    Settings read = Defaults();
    ASSERT_TRUE(ReadRegistrySettings(read));
    EXPECT_EQ(read, written);
    EXPECT_EQ(ReadFile(), std::string(kHeader) + kSection +
                              "UseDesktop=0\nShowFps=1\nMusic=0\nExitOnMM=1\nWidth=1920\nHeight=1080\n"
                              "Depth=16\nAdapter=2\nGamma=-37\nVolume=3\nShowTime=0\nTimeStyle=0\n"
                              "WindVelocity=2\nParticleCount=0\n");
    EXPECT_EQ(fs::status(FilePath()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsTest, RestoreDefaultsTouchesOnlyTheRecord) {
    Settings edited = Defaults();
    edited.gamma = 40;
    edited.volume = 10;
    ASSERT_TRUE(WriteRegistrySettings(edited));
    const std::string before = ReadFile();

    DefaultSettings defaults;
    Settings settings;
    LoadDefaultSettings(defaults, settings);
    ASSERT_TRUE(ReadRegistrySettings(settings));
    EXPECT_EQ(settings.gamma, 40);
    RestoreDefaults(defaults, settings);  // then Cancel
    EXPECT_EQ(settings, Defaults());
    EXPECT_EQ(ReadFile(), before);

    ASSERT_TRUE(WriteRegistrySettings(settings));  // then OK
    const std::string after = ReadFile();
    EXPECT_NE(after.find("Gamma=0\n"), std::string::npos);
    EXPECT_NE(after.find("Volume=75\n"), std::string::npos);
    EXPECT_NE(after.find("Width=800\n"), std::string::npos);
}

TEST_F(SettingsTest, DamagedFileKeepsReadableValuesAndUnknownLines) {
    const std::string big(1 << 20, 'x');
    const std::string text = std::string("garbage \x01\x02\xff\n") + kSection + "Width=1099511627776\n" + big +
                             "\nHeight=768\nVolume = 20\n[Other\\Key]\nGamma=5\n" + kSection + "Depth=\"16\n";
    WriteFile(text);
    Settings settings = Defaults();
    ASSERT_TRUE(ReadRegistrySettings(settings));
    EXPECT_EQ(settings.width, 800);  // 2^40 is no DWORD: kept unread
    EXPECT_EQ(settings.height, 768);
    EXPECT_EQ(settings.volume, 20);
    EXPECT_EQ(settings.gamma, 0);    // another key's value
    EXPECT_EQ(settings.depth, 32);   // unclosed string

    settings.height = 600;
    ASSERT_TRUE(WriteRegistrySettings(settings));
    const std::string after = ReadFile();
    for (const std::string& kept : {std::string("garbage \x01\x02\xff\n"), std::string("Width=1099511627776\n"),
                                    big + "\n", std::string("[Other\\Key]\nGamma=5\n"), std::string("Depth=\"16\n")})
        EXPECT_NE(after.find(kept), std::string::npos) << kept.substr(0, 30);
    EXPECT_NE(after.find("Height=600\n"), std::string::npos);
    EXPECT_EQ(after.find("Height=768"), std::string::npos);

    Settings reread = Defaults();
    ASSERT_TRUE(ReadRegistrySettings(reread));
    EXPECT_EQ(reread, settings);
}

TEST_F(SettingsTest, NumbersIgnoreTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    Settings written = Defaults();
    written.gamma = -1234567;
    written.width = 1000000;
    EXPECT_TRUE(WriteRegistrySettings(written));
    Settings read;
    EXPECT_TRUE(ReadRegistrySettings(read));
    const std::string file = ReadFile();
    DefaultSettings defaults;
    defaults.Parse("MW=1.024,5\nMH=-2.000\n", 21);
    const std::int32_t width = defaults.Number("MW");
    const std::int32_t height = defaults.Number("MH");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(read, written);
    EXPECT_NE(file.find("Gamma=-1234567\n"), std::string::npos);
    EXPECT_NE(file.find("Width=1000000\n"), std::string::npos);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, -2);
}

TEST_F(SettingsTest, UnreadableFileIsNeitherReadNorOverwritten) {
    fs::create_directories(FilePath());  // a folder where the file should be
    Settings settings = Defaults();
    EXPECT_FALSE(ReadRegistrySettings(settings));
    EXPECT_EQ(settings, Defaults());
    EXPECT_FALSE(WriteRegistrySettings(settings));
    EXPECT_TRUE(fs::is_directory(FilePath()));
}

}  // namespace

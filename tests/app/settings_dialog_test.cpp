#include "app/settings_dialog.h"
#include "platform/win/dialog_memory.h"
#include "platform/win/registry.h"
#include "platform/win/shell.h"
#include "tests/app/config_home.h"
#include "tests/app/message_box_capture.h"
#include "tests/render/device_fake_direct3d.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using namespace settings_control;

std::vector<std::string> gOpened;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistryLogSink([](const char*) {});
        gOpened.clear();
        SetShellExecuteHook([](LPCSTR verb, LPCSTR target) { gOpened.push_back(std::string(verb) + " " + target); });
        ASSERT_TRUE(texts_.LoadResource());
        LoadDefaultSettings(defaults_, settings_);
        FakeAdapter adapter;
        adapter.modes = StandardModes(D3DFMT_X8R8G8B8);
        adapters_ = {adapter};
    }
    void TearDown() override {
        SetShellExecuteHook(nullptr);
        SetRegistryLogSink(nullptr);
    }

    INT_PTR Run(MemoryDialogHost::Script script) {
        host_.OnShow(SettingsDialog::kTemplate, std::move(script));
        SettingsDialog dialog(settings_, defaults_, texts_, [this]() -> IDirect3D9* {
            if (noDirect3D_) return nullptr;
            auto* d3d = new FakeDirect3D();
            d3d->adapters = adapters_;
            return d3d;
        });
        return dialog.Run(nullptr);
    }

    std::string FilePath() const { return home_.SettingsPath(); }
    std::string ReadFile() const {
        std::ifstream in(FilePath(), std::ios::binary);
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }
    Settings Stored() const {
        Settings stored{};
        ReadRegistrySettings(stored);
        return stored;
    }

    static std::string Text(Dialog& dialog, int id) { return dialog.Item(id)->text; }
    static std::vector<std::string> Entries(Dialog& dialog, int id) {
        std::vector<std::string> texts;
        for (const DialogEntry& entry : dialog.Item(id)->entries) texts.push_back(entry.text);
        return texts;
    }
    static std::string Selected(Dialog& dialog, int id) {
        const DialogItem& item = *dialog.Item(id);
        return item.selection < 0 ? "" : item.entries[static_cast<std::size_t>(item.selection)].text;
    }

    ConfigHome home_;
    MessageBoxCapture boxes_;
    MemoryDialogHost host_;
    TextTable texts_;
    DefaultSettings defaults_;
    Settings settings_;
    std::vector<FakeAdapter> adapters_;
    bool noDirect3D_ = false;
};

TEST_F(SettingsDialogTest, FirstRunShowsTheDefaultsInGerman) {
    EXPECT_EQ(Run([](Dialog& d) {
                  EXPECT_EQ(d.title, "Frostvale 3D Bildschirmschoner Konfiguration");
                  EXPECT_EQ(Text(d, kVolumeLabel), "Lautst\xE4rke:");
                  EXPECT_EQ(Text(d, kCancel), "Abbrechen");
                  EXPECT_EQ(Text(d, kAbout), "\xDC" "ber");
                  // Buttons 47 pixels up, the dialog 54 shorter, centred as if 530 x 440.
                  EXPECT_EQ(d.Item(kOk)->rect.top, 242 * 13 / 8 - 47);
                  EXPECT_EQ(d.Item(kRestoreDefaults)->rect.top, 242 * 13 / 8 - 47);
                  EXPECT_EQ(d.Item(kOk)->rect.left, 248 * 6 / 4);
                  EXPECT_EQ(d.rect.bottom - d.rect.top, 263 * 13 / 8 - 54);
                  EXPECT_EQ(d.rect.left, (1024 - 530) / 2);
                  EXPECT_EQ(d.rect.top, (768 - 440) / 2);
                  const DialogItem& gamma = *d.Item(kGammaBar);
                  EXPECT_EQ(gamma.rangeMin, -100);
                  EXPECT_EQ(gamma.rangeMax, 100);
                  EXPECT_EQ(gamma.position, 0);
                  EXPECT_EQ(Text(d, kGammaLabel), "Gammakontrolle: 100%");
                  EXPECT_EQ(d.Item(kVolumeBar)->position, 75);
                  EXPECT_TRUE(d.Item(kTwentyFourHour)->checked);
                  EXPECT_FALSE(d.Item(kTwelveHour)->checked);
                  EXPECT_EQ(Entries(d, kWindList), (std::vector<std::string>{"Leicht", "Medium", "Stark"}));
                  EXPECT_EQ(Entries(d, kSnowList), (std::vector<std::string>{"Unbedeutend", "Medium", "Gro\xDF"}));
                  EXPECT_EQ(d.Item(kWindList)->entries[2].data, 2);
                  EXPECT_EQ(Selected(d, kWindList), "Medium");
                  EXPECT_EQ(Selected(d, kSnowList), "Gro\xDF");
                  EXPECT_TRUE(d.Item(kShowTime)->checked);
                  EXPECT_TRUE(d.Item(kMusic)->checked);
                  EXPECT_FALSE(d.Item(kShowFps)->checked);
                  EXPECT_FALSE(d.Item(kExitOnMouseMove)->checked);
                  EXPECT_TRUE(d.Item(kUseDesktop)->checked);
                  // The mode list is disabled with UseDesktop on, and still filled and selected.
                  EXPECT_FALSE(d.Item(kModeList)->enabled);
                  // The stored 800 x 600 x 32 is listed, so it wins over the desktop's mode.
                  EXPECT_EQ(Selected(d, kModeList), "800x600x32bit");
                  EXPECT_TRUE(d.Item(kVolumeBar)->enabled);
                  EXPECT_TRUE(d.Item(kTwelveHour)->enabled);
                  CommandDialog(d, kCancel);
              }),
              kCancel);
    EXPECT_FALSE(fs::exists(FilePath()));
}

TEST_F(SettingsDialogTest, EachCommandChangesItsSettingAndTheControlsItGoverns) {
    struct Case {
        const char* name;
        std::function<void(Dialog&)> act;
        std::function<void(Dialog&, const Settings&)> check;
    };
    const Case cases[] = {
        {"desktop off", [](Dialog& d) { ClickDialogItem(d, kUseDesktop); },
         [](Dialog& d, const Settings& s) {
             EXPECT_FALSE(s.useDesktop);
             EXPECT_TRUE(d.Item(kModeList)->enabled);
         }},
        {"music off", [](Dialog& d) { ClickDialogItem(d, kMusic); },
         [](Dialog& d, const Settings& s) {
             EXPECT_FALSE(s.music);
             EXPECT_FALSE(d.Item(kVolumeBar)->enabled);
             EXPECT_FALSE(d.Item(kVolumeLabel)->enabled);
         }},
        {"fps on", [](Dialog& d) { ClickDialogItem(d, kShowFps); },
         [](Dialog&, const Settings& s) { EXPECT_TRUE(s.showFps); }},
        {"mouse exit on", [](Dialog& d) { ClickDialogItem(d, kExitOnMouseMove); },
         [](Dialog&, const Settings& s) { EXPECT_TRUE(s.exitOnMouseMove); }},
        {"clock off", [](Dialog& d) { ClickDialogItem(d, kShowTime); },
         [](Dialog& d, const Settings& s) {
             EXPECT_FALSE(s.showTime);
             EXPECT_FALSE(d.Item(kTwelveHour)->enabled);
             EXPECT_FALSE(d.Item(kTwentyFourHour)->enabled);
         }},
        {"12 hours", [](Dialog& d) { ClickDialogItem(d, kTwelveHour); },
         [](Dialog& d, const Settings& s) {
             EXPECT_FALSE(s.timeStyle);
             EXPECT_FALSE(d.Item(kTwentyFourHour)->checked);
         }},
        {"12 then 24 hours", [](Dialog& d) { ClickDialogItem(d, kTwelveHour); ClickDialogItem(d, kTwentyFourHour); },
         [](Dialog& d, const Settings& s) {
             EXPECT_TRUE(s.timeStyle);
             EXPECT_FALSE(d.Item(kTwelveHour)->checked);
         }},
        {"volume", [](Dialog& d) { SlideDialogTrackBar(d, kVolumeBar, 30); },
         [](Dialog&, const Settings& s) { EXPECT_EQ(s.volume, 30); }},
        {"gamma left end", [](Dialog& d) { SlideDialogTrackBar(d, kGammaBar, -100); },
         [](Dialog& d, const Settings& s) {
             EXPECT_EQ(s.gamma, -100);
             EXPECT_EQ(Text(d, kGammaLabel), "Gammakontrolle: 0%");
         }},
        {"gamma right end", [](Dialog& d) { SlideDialogTrackBar(d, kGammaBar, 250); },
         [](Dialog& d, const Settings& s) {
             EXPECT_EQ(s.gamma, 100);
             EXPECT_EQ(Text(d, kGammaLabel), "Gammakontrolle: 200%");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadDefaultSettings(defaults_, settings_);
        EXPECT_EQ(Run([&](Dialog& d) {
                      c.act(d);
                      c.check(d, settings_);
                      CommandDialog(d, kCancel);
                  }),
                  kCancel);
    }
    // The record changed, the file did not.
    EXPECT_FALSE(fs::exists(FilePath()));
}

TEST_F(SettingsDialogTest, OkStoresTheChosenModeAndPresets) {
    settings_.adapter = 3;
    EXPECT_EQ(Run([](Dialog& d) {
                  ClickDialogItem(d, kUseDesktop);
                  SelectDialogEntry(d, kModeList, 0);  // 640x480x32bit
                  SelectDialogEntry(d, kWindList, 2);
                  SelectDialogEntry(d, kSnowList, 0);
                  SlideDialogTrackBar(d, kGammaBar, -40);
                  CommandDialog(d, kOk);
              }),
              kOk);
    const Settings stored = Stored();
    EXPECT_EQ(stored, settings_);
    EXPECT_FALSE(stored.useDesktop);
    EXPECT_EQ(stored.width, 640);
    EXPECT_EQ(stored.height, 480);
    EXPECT_EQ(stored.depth, 32);
    EXPECT_EQ(stored.adapter, 0);
    EXPECT_EQ(stored.windVelocity, 2);
    EXPECT_EQ(stored.particleCount, 0);
    EXPECT_EQ(stored.gamma, -40);
}

TEST_F(SettingsDialogTest, RestoreDefaultsThenCancelKeepsTheFileThenOkWritesTheDefaults) {
    settings_.gamma = 55;
    settings_.volume = 10;
    settings_.showFps = true;
    settings_.width = 1280;
    settings_.height = 1024;
    ASSERT_TRUE(WriteRegistrySettings(settings_));
    const std::string before = ReadFile();
    RECT moved{};
    EXPECT_EQ(Run([&](Dialog& d) {
                  SetWindowPos(d.handle, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                  ClickDialogItem(d, kRestoreDefaults);
                  moved = d.rect;
                  EXPECT_EQ(Text(d, kGammaLabel), "Gammakontrolle: 100%");
                  EXPECT_EQ(d.Item(kVolumeBar)->position, 75);
                  EXPECT_FALSE(d.Item(kShowFps)->checked);
                  CommandDialog(d, kCancel);
              }),
              kCancel);
    EXPECT_EQ(moved.left, 5);  // no second centring
    EXPECT_EQ(moved.top, 6);
    EXPECT_EQ(ReadFile(), before);

    EXPECT_EQ(Run([](Dialog& d) {
                  ClickDialogItem(d, kRestoreDefaults);
                  CommandDialog(d, kOk);
              }),
              kOk);
    Settings expected;
    DefaultSettings defaults;
    LoadDefaultSettings(defaults, expected);
    const Settings stored = Stored();
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(stored.gamma, 0);
}

TEST_F(SettingsDialogTest, ModeListHoldsEachModeOnceAndSelectsByTheRule) {
    const D3DFORMAT x8 = D3DFMT_X8R8G8B8, r5 = D3DFMT_R5G6B5;
    struct Case {
        const char* name;
        std::vector<std::vector<D3DDISPLAYMODE>> adapters;
        D3DDISPLAYMODE desktop;
        int width, height, depth, adapter;  // stored
        std::vector<std::string> entries;
        std::string selected;
    };
    const std::vector<Case> cases = {
        {"refresh rates once, small modes left out",
         {{{512, 384, 60, x8}, {640, 400, 60, x8}, {800, 600, 60, x8}, {800, 600, 75, x8}, {800, 600, 85, x8}}},
         {800, 600, 60, x8}, 1, 1, 32, 0, {"800x600x32bit"}, "800x600x32bit"},
        {"stored mode beats the desktop",
         {{{800, 600, 60, x8}, {1024, 768, 60, x8}, {1280, 1024, 60, x8}}},
         {1280, 1024, 60, x8}, 1024, 768, 32, 0,
         {"800x600x32bit", "1024x768x32bit", "1280x1024x32bit"}, "1024x768x32bit"},
        {"stored mode on another adapter does not count",
         {{{800, 600, 60, x8}, {1024, 768, 60, x8}}},
         {800, 600, 60, x8}, 1024, 768, 32, 1, {"800x600x32bit", "1024x768x32bit"}, "800x600x32bit"},
        {"16-bit 800 x 600 without locking",
         {{{800, 600, 60, r5}, {1024, 768, 60, r5}}},
         {1280, 1024, 60, x8}, 1, 1, 32, 0, {"800x600x16bit", "1024x768x16bit"}, "800x600x16bit"},
        {"second adapter adds only new texts",
         {{{800, 600, 60, x8}}, {{800, 600, 60, x8}, {1600, 1200, 60, x8}}},
         {640, 480, 60, x8}, 1600, 1200, 32, 1, {"800x600x32bit", "1600x1200x32bit"}, "1600x1200x32bit"},
        {"nothing matches", {{{1024, 768, 60, x8}}}, {640, 480, 60, x8}, 1, 1, 32, 0, {"1024x768x32bit"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        adapters_.clear();
        for (const auto& modes : c.adapters) {
            FakeAdapter adapter;
            adapter.modes = modes;
            adapter.desktop = c.desktop;
            adapters_.push_back(adapter);
        }
        settings_.width = c.width;
        settings_.height = c.height;
        settings_.depth = c.depth;
        settings_.adapter = c.adapter;
        Run([&](Dialog& d) {
            EXPECT_EQ(Entries(d, kModeList), c.entries);
            EXPECT_EQ(Selected(d, kModeList), c.selected);
            CommandDialog(d, kCancel);
        });
    }
}

TEST_F(SettingsDialogTest, OkWithAnEmptyModeListKeepsTheStoredMode) {
    FakeAdapter adapter;
    adapter.modes = {{512, 384, 60, D3DFMT_X8R8G8B8}};
    adapters_ = {adapter};
    settings_.width = 1920;
    settings_.height = 1080;
    settings_.depth = 16;
    settings_.adapter = 2;
    EXPECT_EQ(Run([](Dialog& d) {
                  EXPECT_TRUE(d.Item(kModeList)->entries.empty());
                  CommandDialog(d, kOk);
              }),
              kOk);
    const Settings stored = Stored();
    EXPECT_EQ(stored.width, 1920);
    EXPECT_EQ(stored.height, 1080);
    EXPECT_EQ(stored.depth, 16);
    EXPECT_EQ(stored.adapter, 2);
}

TEST_F(SettingsDialogTest, WithoutDirect3DTheDialogEndsWithZeroAfterAMessage) {
    noDirect3D_ = true;
    EXPECT_EQ(Run({}), 0);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Cannot initialize D3D, please reinstall DX9");
    EXPECT_EQ(boxes_.boxes()[0].caption, "Error");
    EXPECT_TRUE(host_.shown.empty());  // ended during its initialisation, never shown
    EXPECT_FALSE(fs::exists(FilePath()));
}

TEST_F(SettingsDialogTest, AboutBoxShowsSevenLinesBehindTheDialog) {
    std::vector<std::string> lines;
    RECT settingsRect{}, aboutRect{};
    HWND settingsHandle = nullptr, behind = nullptr;
    std::string title, ok;
    host_.OnShow(SettingsDialog::kAboutTemplate, [&](Dialog& about) {
        for (int id = 1025; id <= 1031; ++id) lines.push_back(Text(about, id));
        aboutRect = about.rect;
        behind = about.insertAfter;
        title = about.title;
        ok = Text(about, kOk);
        CommandDialog(about, kOk);
    });
    Run([&](Dialog& d) {
        settingsRect = d.rect;
        settingsHandle = d.handle;
        ClickDialogItem(d, kAbout);
        ClickDialogItem(d, kVisit);
        CommandDialog(d, kCancel);
    });
    EXPECT_EQ(host_.shown, (std::vector<int>{SettingsDialog::kTemplate, SettingsDialog::kAboutTemplate}));
    EXPECT_EQ(title, "\xDC" "ber");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(lines, (std::vector<std::string>{"Frostvale 3D Bildschirmschoner", "Version 1.0", "",
                                               "Szene, Musik und Programm:", "Kestrelworks",
                                               "\xA9 2026 Kestrelworks", "Alle Rechte vorbehalten."}));
    EXPECT_EQ(aboutRect.left, settingsRect.left + 140);
    EXPECT_EQ(aboutRect.top, settingsRect.top + 150);
    EXPECT_EQ(behind, settingsHandle);
    EXPECT_EQ(gOpened, (std::vector<std::string>{"open https://frostvale.example.org/"}));
}

TEST_F(SettingsDialogTest, OkThatCannotStoreKeepsTheDialogOpen) {
    // A file where the settings folder should be: nothing can be written below it.
    const std::string blocker = home_.Folder() + "/frostvale";
    std::ofstream(blocker) << "x";
    INT_PTR result = Run([](Dialog& d) {
        CommandDialog(d, kOk);
        EXPECT_FALSE(d.ended);
        CommandDialog(d, kCancel);
    });
    EXPECT_EQ(result, kCancel);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].caption, "Error");
    EXPECT_EQ(boxes_.boxes()[0].text, "Cannot save the settings in " + blocker + "/settings.conf");
}

}  // namespace

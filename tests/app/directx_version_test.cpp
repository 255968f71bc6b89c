#include "app/directx_version.h"
#include "app/runtime_gate.h"
#include "platform/win/dialog_memory.h"
#include "platform/win/shell.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD V(DWORD a, DWORD b) { return (a << 16) | b; }

struct Installed {
    bool provider = false;
    DWORD major = 0, minor = 0;
    std::string letter;
    std::map<std::string, FileVersion> files;
};

DirectXProbes ProbesFor(const Installed& installed) {
    DirectXProbes probes;
    probes.provider = [installed](DWORD& major, DWORD& minor, std::string& letter) {
        if (!installed.provider) return false;
        major = installed.major;
        minor = installed.minor;
        letter = installed.letter;
        return true;
    };
    probes.fileVersion = [installed](const char* file, FileVersion& version) {
        const auto found = installed.files.find(file);
        if (found == installed.files.end()) return false;
        version = found->second;
        return true;
    };
    return probes;
}

const std::map<std::string, FileVersion> kDirectX81Files = {
    {"\\ddraw.dll", {V(5, 1), V(2600, 881)}},
    {"\\d3d8.dll", {V(5, 1), V(2600, 881)}},
    {"\\dinput.dll", {V(5, 1), V(2600, 881)}},
};

TEST(DirectXVersionTest, PacksWhatTheProbesReport) {
    struct Case {
        const char* name;
        Installed installed;
        DWORD packed;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"provider 9.0c", {true, 9, 0, "c", {}}, 0x90003, "9.0c"},
        {"provider, upper-case letter", {true, 9, 0, "C", {}}, 0x90003, "9.0C"},
        {"provider, empty letter", {true, 9, 0, "", {}}, 0x90000, "9.0"},
        {"provider wins over files", {true, 9, 0, "b", kDirectX81Files}, 0x90002, "9.0b"},
        {"only d3d9.dll", {false, 0, 0, "", {{"\\d3d9.dll", {V(1, 2), 3}}}}, 0x90000, "9.0"},
        {"only 8.1 files", {false, 0, 0, "", kDirectX81Files}, 0x80100, "8.1"},
        {"8.1a by the d3d8 build", {false, 0, 0, "", {{"\\d3d8.dll", {V(4, 8), V(1, 901)}}}}, 0x80101, "8.1a"},
        {"a major 6 ddraw passes no major-4-or-5 row",
         {false, 0, 0, "", {{"\\ddraw.dll", {V(6, 0), 0}}}}, 0x70000, "7.0"},
        {"6.1a by dplayx", {false, 0, 0, "", {{"\\dplayx.dll", {V(4, 6), V(3, 518)}}}}, 0x60101, "6.1a"},
        {"nothing installed", {}, 0, "0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD packed = 1;
        char text[10] = "x";
        EXPECT_EQ(GetDirectXVersion(&packed, text, sizeof text, ProbesFor(c.installed)), 0);
        EXPECT_EQ(packed, c.packed);
        EXPECT_STREQ(text, c.text);
    }
}

std::vector<std::string> gOpened;

TEST(RuntimeGateTest, OnlyAnOldRuntimeShowsTheDownloadDialog) {
    SetShellExecuteHook([](LPCSTR, LPCSTR target) { gOpened.push_back(target); });
    MemoryDialogHost host;
    EXPECT_TRUE(PassRuntimeGate(ProbesFor({true, 9, 0, "c", {}}), "https://runtime.example/"));
    EXPECT_TRUE(host.shown.empty());

    for (int button : {1, 2}) {
        SCOPED_TRACE(button);
        gOpened.clear();
        RECT rect{};
        host.OnShow(kRuntimeDialog, [&](Dialog& dialog) {
            rect = dialog.rect;
            CommandDialog(dialog, button);
        });
        EXPECT_FALSE(PassRuntimeGate(ProbesFor({false, 0, 0, "", kDirectX81Files}), "https://runtime.example/"));
        EXPECT_EQ(rect.left, 300);
        EXPECT_EQ(rect.top, 300);
        EXPECT_EQ(rect.right - rect.left, 390);
        EXPECT_EQ(rect.bottom - rect.top, 131);
        EXPECT_EQ(gOpened, button == 1 ? std::vector<std::string>{"https://runtime.example/"}
                                       : std::vector<std::string>{});
    }
    SetShellExecuteHook(nullptr);
}

}  // namespace

#pragma once
// The settings dialog (dialog 132) and its About box (dialog 103). Every visible word
// comes from the text table. The dialog edits the settings record in place; OK writes it to
// the registry, Cancel leaves the registry as it was.
//
// The mode list holds each mode of at least 640 × 480 once ("800x600x32bit"); the stored
// mode on the stored adapter wins the selection, else the desktop's mode, else 800 × 600 at
// 16 bits.

#include "app/default_settings.h"
#include "app/settings.h"
#include "app/text_table.h"
#include "platform/d3d9/d3d9.h"
#include "platform/win/dialog.h"

#include <functional>
#include <vector>

class DeviceEnumeration;

// The controls of dialog 132, by id.
namespace settings_control {
enum : int {
    kOk = 1,
    kCancel = 2,
    kVideoGroup = 1008,
    kSoundGroup = 1009,
    kGraphicsGroup = 1010,
    kModeList = 1011,
    kUseDesktop = 1012,
    kWindList = 1013,
    kSnowList = 1014,
    kSnowGroup = 1015,
    kWindLabel = 1016,
    kSnowLabel = 1017,
    kProductsGroup = 1018,
    kMiscGroup = 1019,
    kVolumeBar = 1020,
    kMusic = 1021,
    kVolumeLabel = 1023,
    kVisitLabel = 1024,
    kShowFps = 1044,
    kExitOnMouseMove = 1045,
    kGammaBar = 1046,
    kVisit = 1061,
    kAbout = 1062,
    kRestoreDefaults = 1063,
    kGammaLabel = 1106,
    kTwelveHour = 1111,
    kTwentyFourHour = 1112,
    kShowTime = 1119,
    kFirstAboutLine = 1025,
};
}  // namespace settings_control

class SettingsDialog {
public:
    static constexpr int kTemplate = 132;
    static constexpr int kAboutTemplate = 103;
    static constexpr int kAboutLines = 7;
    using Direct3DFactory = std::function<IDirect3D9*()>;

    // factory makes the Direct3D object that lists the modes; empty: Direct3DCreate9.
    SettingsDialog(Settings& settings, const DefaultSettings& defaults, const TextTable& texts,
                   Direct3DFactory factory = {});
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Runs the dialog owned by owner: 1 after OK, 2 after Cancel, 0 without a Direct3D
    // object, -1 when no dialog can be shown.
    INT_PTR Run(HWND owner);

private:
    struct Mode {
        int width, height, bitsPerPixel;
        UINT adapter;
    };

    static INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void SetDialogTexts(HWND dialog);
    // Everything but the texts; false when the dialog ended for want of Direct3D.
    bool Initialise(HWND dialog);
    void FillModeList(HWND dialog, DeviceEnumeration& enumeration, const D3DDISPLAYMODE& desktop);
    void Command(HWND dialog, int id);
    void TrackBarMoved(HWND dialog, int id);
    void ShowGamma(HWND dialog);
    void Accept(HWND dialog);
    void InitialiseAbout(HWND about);

    Settings& settings_;
    const DefaultSettings& defaults_;
    const TextTable& texts_;
    Direct3DFactory factory_;
    HWND dialog_ = nullptr;
    bool centred_ = false;
    std::vector<Mode> modes_;  // the mode list's item data are indices into this
};

#include "app/settings_dialog.h"

#include "platform/win/dialog.h"
#include "platform/win/message_box.h"
#include "platform/win/message_queue.h"
#include "platform/win/registry.h"
#include "platform/win/cursor.h"
#include "platform/win/shell.h"
#include "platform/win/window.h"
#include "render/device_enumeration.h"
#include "render/device_settings.h"

#include <algorithm>
#include <string>

using namespace settings_control;

namespace {


struct Caption {
    int id;
    const char* key;
};
constexpr Caption kCaptions[] = {
    {kSnowGroup, "qustomize_snow_quality"},  {kWindLabel, "wind_speed"},
    {kSnowLabel, "the_amount_of_snow"},      {kVideoGroup, "video_mode_selection"},
    {kSoundGroup, "sound_control"},          {kGraphicsGroup, "graphics"},
    {kProductsGroup, "products"},            {kMiscGroup, "misc_options"},
    {kUseDesktop, "use_desktop_settings"},   {kMusic, "enable_music"},
    {kVolumeLabel, "master_volume:"},        {kGammaLabel, "gamma_control:"},
    {kVisitLabel, "visit_our_official_web-site_for_more_great_3d_screensavers"},
    {kRestoreDefaults, "restore_defaults"},  {kVisit, "visit..."},
    {kOk, "ok"},                             {kCancel, "cancel"},
    {kShowFps, "show_fps"},                  {kShowTime, "show_time"},
    {kTwentyFourHour, "24h_style"},          {kTwelveHour, "12h_style"},
    {kExitOnMouseMove, "exit_on_mouse_move"}, {kAbout, "about"},
};

constexpr const char* kWindKeys[] = {"w_light", "w_medium", "w_strong"};
constexpr const char* kSnowKeys[] = {"s_insignificant", "s_medium", "s_large"};

// The space below the Products group that the dialog closes when it opens, in pixels.
constexpr int kButtonLift = 47;
constexpr int kDialogShrink = 54;
// The dialog is centred as if it had this size, in pixels.
constexpr int kCentringWidth = 530;
constexpr int kCentringHeight = 440;

SettingsDialog* gOpen = nullptr;

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

void MoveUp(HWND dialog, int id, int pixels) {
    const HWND item = GetDlgItem(dialog, id);
    RECT rect{};
    if (!GetWindowRect(item, &rect)) return;
    POINT corner{rect.left, rect.top};
    ScreenToClient(dialog, &corner);
    SetWindowPos(item, nullptr, corner.x, corner.y - pixels, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void FillPresetList(HWND dialog, int id, const TextTable& texts, const char* const (&keys)[3], int selected) {
    Send(dialog, id, CB_RESETCONTENT);
    for (int i = 0; i < 3; ++i) {
        const LRESULT index = Send(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts.Text(keys[i]).CStr()));
        Send(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), i);
    }
    Send(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected));
}

std::int32_t SelectedData(HWND dialog, int id) {
    const LRESULT index = Send(dialog, id, CB_GETCURSEL);
    return index == CB_ERR ? 0 : static_cast<std::int32_t>(Send(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

}  // namespace

SettingsDialog::SettingsDialog(Settings& settings, const DefaultSettings& defaults, const TextTable& texts,
                               Direct3DFactory factory)
    : settings_(settings), defaults_(defaults), texts_(texts), factory_(std::move(factory)) {
    if (!factory_) factory_ = [] { return Direct3DCreate9(D3D_SDK_VERSION); };
}

INT_PTR SettingsDialog::Run(HWND owner) {
    const INT_PTR result =
        DialogBoxParamA(nullptr, kTemplate, owner, &SettingsDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    gOpen = nullptr;
    dialog_ = nullptr;
    return result;
}

INT_PTR SettingsDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) gOpen = reinterpret_cast<SettingsDialog*>(lParam);
    return gOpen != nullptr ? gOpen->HandleMessage(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR SettingsDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            dialog_ = dialog;
            SetDialogTexts(dialog);
            Initialise(dialog);
            return TRUE;
        case WM_COMMAND:
            Command(dialog, LOWORD(wParam));
            return TRUE;
        case WM_HSCROLL:
            TrackBarMoved(dialog, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            return TRUE;
        default: return FALSE;
    }
}

void SettingsDialog::SetDialogTexts(HWND dialog) {
    SetWindowTextA(dialog, texts_.Text("screensaver_configuration").CStr());
    for (const Caption& caption : kCaptions) SetDlgItemTextA(dialog, caption.id, texts_.Text(caption.key).CStr());
    for (int id : {kRestoreDefaults, kOk, kCancel}) MoveUp(dialog, id, kButtonLift);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top - kDialogShrink,
                 SWP_NOMOVE | SWP_NOZORDER);
}

bool SettingsDialog::Initialise(HWND dialog) {
    IDirect3D9* d3d = factory_();
    if (d3d == nullptr) {
        MessageBoxA(nullptr, "Cannot initialize D3D, please reinstall DX9", "Error", MB_OK);
        EndDialog(dialog, 0);
        return false;
    }

    PostMessageA(GetDlgItem(dialog, kGammaBar), TBM_SETRANGEMAX, TRUE, 100);
    PostMessageA(GetDlgItem(dialog, kGammaBar), TBM_SETRANGEMIN, TRUE, -100);
    PostMessageA(GetDlgItem(dialog, kGammaBar), TBM_SETPOS, TRUE, settings_.gamma);
    ShowGamma(dialog);
    PostMessageA(GetDlgItem(dialog, kVolumeBar), TBM_SETRANGEMAX, TRUE, 100);
    PostMessageA(GetDlgItem(dialog, kVolumeBar), TBM_SETRANGEMIN, TRUE, 0);
    PostMessageA(GetDlgItem(dialog, kVolumeBar), TBM_SETPOS, TRUE, settings_.volume);

    CheckRadioButton(dialog, kTwelveHour, kTwentyFourHour, settings_.timeStyle ? kTwentyFourHour : kTwelveHour);
    FillPresetList(dialog, kWindList, texts_, kWindKeys, settings_.windVelocity);
    FillPresetList(dialog, kSnowList, texts_, kSnowKeys, settings_.particleCount);

    Check(dialog, kShowTime, settings_.showTime);
    Enable(dialog, kTwelveHour, settings_.showTime);
    Enable(dialog, kTwentyFourHour, settings_.showTime);
    Check(dialog, kMusic, settings_.music);
    Enable(dialog, kVolumeBar, settings_.music);
    Check(dialog, kShowFps, settings_.showFps);
    Check(dialog, kExitOnMouseMove, settings_.exitOnMouseMove);
    Check(dialog, kUseDesktop, settings_.useDesktop);
    Enable(dialog, kModeList, !settings_.useDesktop);

    D3DDISPLAYMODE desktop{};
    d3d->GetAdapterDisplayMode(0, &desktop);
    if (!centred_) {
        centred_ = true;
        SetWindowPos(dialog, nullptr, (static_cast<int>(desktop.Width) - kCentringWidth) / 2,
                     (static_cast<int>(desktop.Height) - kCentringHeight) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    DeviceEnumeration enumeration(d3d);
    enumeration.Enumerate();
    FillModeList(dialog, enumeration, desktop);
    enumeration.SetDirect3D(nullptr);
    d3d->Release();
    return true;
}

void SettingsDialog::FillModeList(HWND dialog, DeviceEnumeration& enumeration, const D3DDISPLAYMODE& desktop) {
    Send(dialog, kModeList, CB_RESETCONTENT);
    modes_.clear();
    bool locked = false;
    enumeration.Adapters().ForEachFromHead([&](const std::unique_ptr<AdapterInfo>& adapter) {
        adapter->modes.ForEachFromHead([&](const D3DDISPLAYMODE& mode) {
            if (mode.Width <= 639 || mode.Height <= 479) return;
            const int bits = FormatBitsPerPixel(mode.Format);
            const std::string text = std::to_string(mode.Width) + "x" + std::to_string(mode.Height) + "x" +
                                     std::to_string(bits) + "bit";
            if (Send(dialog, kModeList, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(text.c_str())) != CB_ERR)
                return;
            const LRESULT index = Send(dialog, kModeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            modes_.push_back({static_cast<int>(mode.Width), static_cast<int>(mode.Height), bits, adapter->ordinal});
            Send(dialog, kModeList, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(modes_.size() - 1));
            const bool stored = static_cast<int>(mode.Width) == settings_.width &&
                                static_cast<int>(mode.Height) == settings_.height && bits == settings_.depth &&
                                static_cast<std::int32_t>(adapter->ordinal) == settings_.adapter;
            const bool desktopMode =
                mode.Width == desktop.Width && mode.Height == desktop.Height && mode.Format == desktop.Format;
            const bool fallback = mode.Width == 800 && mode.Height == 600 && bits == 16;
            if (stored || (!locked && (desktopMode || fallback))) {
                Send(dialog, kModeList, CB_SETCURSEL, static_cast<WPARAM>(index));
                if (stored || desktopMode) locked = true;
            }
        });
    });
}

void SettingsDialog::ShowGamma(HWND dialog) {
    SetDlgItemTextA(dialog, kGammaLabel, texts_.TextWithPercent("gamma_control:", settings_.gamma + 100).CStr());
}

void SettingsDialog::TrackBarMoved(HWND dialog, int id) {
    const auto position = static_cast<std::int32_t>(Send(dialog, id, TBM_GETPOS));
    if (id == kVolumeBar) {
        settings_.volume = position;
    } else if (id == kGammaBar) {
        settings_.gamma = position;
        ShowGamma(dialog);
    }
}

void SettingsDialog::Accept(HWND dialog) {
    const LRESULT index = Send(dialog, kModeList, CB_GETCURSEL);
    if (index != CB_ERR) {
        const auto data = static_cast<std::size_t>(Send(dialog, kModeList, CB_GETITEMDATA, static_cast<WPARAM>(index)));
        if (data < modes_.size()) {
            settings_.width = modes_[data].width;
            settings_.height = modes_[data].height;
            settings_.depth = modes_[data].bitsPerPixel;
            settings_.adapter = 0;
        }
    }
    settings_.windVelocity = SelectedData(dialog, kWindList);
    settings_.particleCount = SelectedData(dialog, kSnowList);
    // A choice that cannot be stored is not taken for stored: the dialog stays open.
    if (!WriteRegistrySettings(settings_)) {
        const std::string message = "Cannot save the settings in " + RegistryFilePath();
        MessageBoxA(dialog, message.c_str(), "Error", MB_OK | MB_ICONERROR);
        return;
    }
    EndDialog(dialog, kOk);
}

void SettingsDialog::Command(HWND dialog, int id) {
    switch (id) {
        case kOk: Accept(dialog); break;
        case kCancel: EndDialog(dialog, kCancel); break;
        case kUseDesktop:
            settings_.useDesktop = Checked(dialog, kUseDesktop);
            Enable(dialog, kModeList, !settings_.useDesktop);
            break;
        case kMusic:
            settings_.music = Checked(dialog, kMusic);
            Enable(dialog, kVolumeBar, settings_.music);
            Enable(dialog, kVolumeLabel, settings_.music);
            break;
        case kShowFps: settings_.showFps = Checked(dialog, kShowFps); break;
        case kExitOnMouseMove: settings_.exitOnMouseMove = Checked(dialog, kExitOnMouseMove); break;
        case kShowTime:
            settings_.showTime = Checked(dialog, kShowTime);
            Enable(dialog, kTwelveHour, settings_.showTime);
            Enable(dialog, kTwentyFourHour, settings_.showTime);
            break;
        case kTwelveHour: settings_.timeStyle = !Checked(dialog, kTwelveHour); break;
        case kTwentyFourHour: settings_.timeStyle = Checked(dialog, kTwentyFourHour); break;
        case kVolumeBar: settings_.volume = static_cast<std::int32_t>(Send(dialog, kVolumeBar, TBM_GETPOS)); break;
        case kVisit:
            ShellExecuteA(dialog, "open", defaults_.Value("main_web_site_url").CStr(), nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case kAbout:
            DialogBoxParamA(nullptr, kAboutTemplate, dialog, &SettingsDialog::AboutProc,
                            reinterpret_cast<LPARAM>(this));
            break;
        case kRestoreDefaults:
            RestoreDefaults(defaults_, settings_);
            Initialise(dialog);
            break;
        default: break;
    }
}

INT_PTR SettingsDialog::AboutProc(HWND about, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG && gOpen != nullptr) {
        gOpen->InitialiseAbout(about);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == kOk || LOWORD(wParam) == kCancel)) {
        EndDialog(about, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void SettingsDialog::InitialiseAbout(HWND about) {
    SetWindowTextA(about, texts_.Text("about").CStr());
    SetDlgItemTextA(about, kOk, texts_.Text("ok").CStr());
    const String text = texts_.Text("about_window_text");
    std::string line;
    int lineIndex = 0;
    for (int i = 0; i <= text.Length() && lineIndex < kAboutLines; ++i) {
        if (i < text.Length() && text[i] != '%') {
            line += text[i];
            continue;
        }
        SetDlgItemTextA(about, kFirstAboutLine + lineIndex++, line.c_str());
        line.clear();
    }
    RECT owner{};
    GetWindowRect(dialog_, &owner);
    SetWindowPos(about, dialog_, owner.left + 140, owner.top + 150, 0, 0, SWP_NOSIZE);
}

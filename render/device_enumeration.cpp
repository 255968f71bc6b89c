#include "render/device_enumeration.h"

#include "core/log.h"

#include <algorithm>
#include <vector>

namespace {

const D3DFORMAT kAdapterFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_A2R10G10B10};
const D3DDEVTYPE kDeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_SW, D3DDEVTYPE_REF};
const D3DFORMAT kBackBufferFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A2R10G10B10,
                                        D3DFMT_R5G6B5,   D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5};
const D3DFORMAT kDepthFormats[] = {D3DFMT_D16,   D3DFMT_D15S1,   D3DFMT_D24X8,
                                   D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
const DWORD kPresentIntervals[] = {D3DPRESENT_INTERVAL_IMMEDIATE, D3DPRESENT_INTERVAL_DEFAULT,
                                   D3DPRESENT_INTERVAL_ONE,       D3DPRESENT_INTERVAL_TWO,
                                   D3DPRESENT_INTERVAL_THREE,     D3DPRESENT_INTERVAL_FOUR};

bool ModeLess(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
    if (a.Width != b.Width) return a.Width < b.Width;
    if (a.Height != b.Height) return a.Height < b.Height;
    if (a.Format != b.Format) return int(a.Format) < int(b.Format);
    return a.RefreshRate < b.RefreshRate;
}

}  // namespace

bool DeviceEnumeration::Enumerate() {
    adapters_.Clear();
    if (d3d_ == nullptr) return false;
    const UINT count = d3d_->GetAdapterCount();
    for (UINT ordinal = 0; ordinal < count; ++ordinal) {
        auto adapter = std::make_unique<AdapterInfo>();
        adapter->ordinal = ordinal;
        d3d_->GetAdapterIdentifier(ordinal, 0, &adapter->identifier);
        std::vector<D3DFORMAT> adapterFormats;
        std::vector<D3DDISPLAYMODE> modes;
        for (D3DFORMAT format : kAdapterFormats) {
            const UINT modeCount = d3d_->GetAdapterModeCount(ordinal, format);
            for (UINT i = 0; i < modeCount; ++i) {
                D3DDISPLAYMODE mode{};
                if (FAILED(d3d_->EnumAdapterModes(ordinal, format, i, &mode))) continue;
                modes.push_back(mode);
                if (std::find(adapterFormats.begin(), adapterFormats.end(), mode.Format) == adapterFormats.end())
                    adapterFormats.push_back(mode.Format);
            }
        }
        std::sort(modes.begin(), modes.end(), ModeLess);
        for (const D3DDISPLAYMODE& mode : modes) adapter->modes.Insert(mode);
        if (!EnumerateDevices(*adapter, adapterFormats) || adapter->devices.IsEmpty()) continue;
        adapters_.Insert(std::move(adapter));
    }
    return true;
}

bool DeviceEnumeration::EnumerateDevices(AdapterInfo& adapter, const std::vector<D3DFORMAT>& adapterFormats) {
    for (D3DDEVTYPE type : kDeviceTypes) {
        auto device = std::make_unique<DeviceInfo>();
        device->adapter = adapter.ordinal;
        device->type = type;
        if (FAILED(d3d_->GetDeviceCaps(adapter.ordinal, type, &device->caps))) continue;
        EnumerateCombos(*device, adapterFormats);
        if (device->combos.IsEmpty()) continue;
        adapter.devices.Insert(std::move(device));
    }
    return true;
}

void DeviceEnumeration::EnumerateCombos(DeviceInfo& device, const std::vector<D3DFORMAT>& adapterFormats) {
    const UINT ordinal = device.adapter;
    const D3DDEVTYPE type = device.type;
    for (D3DFORMAT adapterFormat : adapterFormats) {
        for (D3DFORMAT backBuffer : kBackBufferFormats) {
            for (bool windowed : {false, true}) {
                if (FAILED(d3d_->CheckDeviceType(ordinal, type, adapterFormat, backBuffer, windowed))) continue;
                auto combo = std::make_unique<DeviceCombo>();
                combo->adapter = ordinal;
                combo->deviceType = type;
                combo->adapterFormat = adapterFormat;
                combo->backBufferFormat = backBuffer;
                combo->windowed = windowed;
                for (D3DFORMAT depth : kDepthFormats) {
                    if (SUCCEEDED(d3d_->CheckDeviceFormat(ordinal, type, adapterFormat, D3DUSAGE_DEPTHSTENCIL,
                                                          D3DRTYPE_SURFACE, depth)) &&
                        SUCCEEDED(d3d_->CheckDepthStencilMatch(ordinal, type, adapterFormat, backBuffer, depth)))
                        combo->depthFormats.Insert(depth);
                }
                if (combo->depthFormats.IsEmpty()) continue;
                for (DWORD t = 0; t <= 16; ++t) {
                    DWORD levels = 0;
                    if (SUCCEEDED(d3d_->CheckDeviceMultiSampleType(ordinal, type, backBuffer, windowed,
                                                                   D3DMULTISAMPLE_TYPE(t), &levels)))
                        combo->multisamples.Insert(MultisampleLevels{D3DMULTISAMPLE_TYPE(t), levels});
                }
                if (combo->multisamples.IsEmpty()) continue;
                combo->depthFormats.ForEachFromHead([&](D3DFORMAT depth) {
                    combo->multisamples.ForEachFromHead([&](const MultisampleLevels& ms) {
                        if (FAILED(d3d_->CheckDeviceMultiSampleType(ordinal, type, depth, windowed, ms.type, nullptr)))
                            combo->conflicts.Insert(DepthMultisampleConflict{depth, ms.type});
                    });
                });
                const DWORD devCaps = device.caps.DevCaps;
                if (devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
                    if (devCaps & D3DDEVCAPS_PUREDEVICE) combo->vertexProcessing.Insert(PURE_HARDWARE_VP);
                    combo->vertexProcessing.Insert(HARDWARE_VP);
                    combo->vertexProcessing.Insert(MIXED_VP);
                }
                combo->vertexProcessing.Insert(SOFTWARE_VP);
                for (DWORD interval : kPresentIntervals) {
                    if (windowed && (interval == D3DPRESENT_INTERVAL_TWO || interval == D3DPRESENT_INTERVAL_THREE ||
                                     interval == D3DPRESENT_INTERVAL_FOUR))
                        continue;
                    if (interval == D3DPRESENT_INTERVAL_DEFAULT || (device.caps.PresentationIntervals & interval))
                        combo->presentIntervals.Insert(interval);
                }
                device.combos.Insert(std::move(combo));
            }
        }
    }
}

void DeviceEnumeration::ChooseSettings(AdapterInfo* adapter, DeviceInfo* device, DeviceCombo* combo,
                                       const D3DDISPLAYMODE& mode, bool windowed, DeviceSettings& settings) {
    settings = DeviceSettings();
    settings.adapter = adapter;
    settings.device = device;
    settings.combo = combo;
    settings.width = mode.Width;
    settings.height = mode.Height;
    settings.refreshRate = mode.RefreshRate;
    settings.displayFormat = mode.Format;
    settings.windowed = windowed;

    const int bits = FormatBitsPerPixel(combo->backBufferFormat);
    bool found = false;
    if (bits == 16) found = ScanRing(combo->depthFormats, [](D3DFORMAT f) { return f == D3DFMT_D16; });
    else if (bits == 32) found = ScanRing(combo->depthFormats, [](D3DFORMAT f) { return f == D3DFMT_D32; });
    if (!found) ScanRing(combo->depthFormats, [bits](D3DFORMAT f) { return FormatBitsPerPixel(f) == bits; });
    settings.depthStencilFormat = combo->depthFormats.Current();

    ScanRing(combo->multisamples, [](const MultisampleLevels& m) { return m.type == D3DMULTISAMPLE_NONE; });
    settings.multisampleType = combo->multisamples.Current().type;
    const DWORD levels = combo->multisamples.Current().levels;
    settings.multisampleQuality = levels > 0 ? levels - 1 : 0;

    ScanRing(combo->vertexProcessing, [](DWORD vp) { return vp == HARDWARE_VP; });
    settings.vertexProcessing = combo->vertexProcessing.Current();
    // The interval list is not consulted: frames are never held for the display.
    settings.presentInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
}

bool DeviceEnumeration::FindBestFullscreenSettings(DeviceSettings& settings) {
    if (d3d_ == nullptr) return false;
    AdapterInfo* bestAdapter = nullptr;
    DeviceInfo* bestDevice = nullptr;
    DeviceCombo* bestCombo = nullptr;
    D3DDISPLAYMODE bestDesktop{};
    ScanRing(adapters_, [&](std::unique_ptr<AdapterInfo>& adapter) {
        D3DDISPLAYMODE desktop{};
        d3d_->GetAdapterDisplayMode(adapter->ordinal, &desktop);
        return ScanRing(adapter->devices, [&](std::unique_ptr<DeviceInfo>& device) {
            const bool hal = device->type == D3DDEVTYPE_HAL;
            return ScanRing(device->combos, [&](std::unique_ptr<DeviceCombo>& combo) {
                if (combo->windowed) return false;
                const bool desktopMatch = combo->adapterFormat == desktop.Format;
                const bool bbMatch = combo->adapterFormat == combo->backBufferFormat;
                const bool take = bestCombo == nullptr || (bestDevice->type != D3DDEVTYPE_HAL && hal) ||
                                  (hal && bestCombo->adapterFormat != desktop.Format && desktopMatch) ||
                                  (hal && desktopMatch && bbMatch);
                if (!take) return false;
                bestAdapter = adapter.get();
                bestDevice = device.get();
                bestCombo = combo.get();
                bestDesktop = desktop;
                return hal && desktopMatch && bbMatch;
            });
        });
    });
    if (bestCombo == nullptr) return false;

    D3DDISPLAYMODE chosen{};
    bool taken = false;
    ScanRing(bestAdapter->modes, [&](const D3DDISPLAYMODE& mode) {
        if (mode.Format != bestCombo->adapterFormat) return false;
        if (mode.Width == bestDesktop.Width && mode.Height == bestDesktop.Height &&
            mode.RefreshRate == bestDesktop.RefreshRate) {
            chosen = mode;
            return true;
        }
        if (mode.Width == bestDesktop.Width || !taken) {
            chosen = mode;
            taken = true;
        }
        return false;
    });

    ChooseSettings(bestAdapter, bestDevice, bestCombo, chosen, false, settings);
    return true;
}

bool DeviceEnumeration::FindBestWindowedSettings(DeviceSettings& settings) {
    if (d3d_ == nullptr) return false;
    D3DDISPLAYMODE desktop{};
    d3d_->GetAdapterDisplayMode(0, &desktop);
    AdapterInfo* bestAdapter = nullptr;
    DeviceInfo* bestDevice = nullptr;
    DeviceCombo* bestCombo = nullptr;
    ScanRing(adapters_, [&](std::unique_ptr<AdapterInfo>& adapter) {
        return ScanRing(adapter->devices, [&](std::unique_ptr<DeviceInfo>& device) {
            const bool hal = device->type == D3DDEVTYPE_HAL;
            return ScanRing(device->combos, [&](std::unique_ptr<DeviceCombo>& combo) {
                if (!combo->windowed || combo->adapterFormat != desktop.Format) return false;
                const bool same = combo->adapterFormat == combo->backBufferFormat;
                const bool take = bestCombo == nullptr || (bestDevice->type != D3DDEVTYPE_HAL && hal) || (hal && same);
                if (!take) return false;
                bestAdapter = adapter.get();
                bestDevice = device.get();
                bestCombo = combo.get();
                return hal && same;
            });
        });
    });
    if (bestCombo == nullptr) return false;
    ChooseSettings(bestAdapter, bestDevice, bestCombo, desktop, true, settings);
    return true;
}

bool DeviceEnumeration::FindSettingsForMode(DeviceSettings& settings, UINT width, UINT height, int bitsPerPixel) {
    AdapterInfo* foundAdapter = nullptr;
    DeviceInfo* foundDevice = nullptr;
    DeviceCombo* foundCombo = nullptr;
    ScanRing(adapters_, [&](std::unique_ptr<AdapterInfo>& adapter) {
        return ScanRing(adapter->devices, [&](std::unique_ptr<DeviceInfo>& device) {
            if (device->type != D3DDEVTYPE_HAL) return false;
            return ScanRing(device->combos, [&](std::unique_ptr<DeviceCombo>& combo) {
                if (combo->windowed || FormatBitsPerPixel(combo->backBufferFormat) != bitsPerPixel) return false;
                foundAdapter = adapter.get();
                foundDevice = device.get();
                foundCombo = combo.get();
                return true;
            });
        });
    });
    if (foundCombo == nullptr) {
        Log("", String("No full-screen device for ") + String::FromInt(bitsPerPixel) +
                    " bits per pixel; using the desktop mode\n");
        return false;
    }
    D3DDISPLAYMODE chosen{};
    bool matched = false;
    ScanRing(foundAdapter->modes, [&](const D3DDISPLAYMODE& mode) {
        if (mode.Format == foundCombo->adapterFormat && mode.Width == width && mode.Height == height &&
            (!matched || mode.RefreshRate >= chosen.RefreshRate)) {
            chosen = mode;
            matched = true;
        }
        return false;
    });
    if (!matched) {
        // The monitor changed since the mode was stored: the desktop mode is used instead.
        Log("", String("Display mode ") + String::FromInt(int(width)) + "x" + String::FromInt(int(height)) +
                    " is not offered; using the desktop mode\n");
        return false;
    }
    ChooseSettings(foundAdapter, foundDevice, foundCombo, chosen, false, settings);
    return true;
}

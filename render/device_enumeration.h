#pragma once
// DeviceEnumeration: what the Direct3D adapters can do, and the default choices of settings.
//
// Every list is a ring with a current element: appending inserts after the current element
// and makes the new one current (a fresh list has its last element current); a scan visits
// each element once from the current one; a search scans until the value is current and
// stops there, and when nothing matches leaves the current element where it was. The value
// a settings field takes from a list is the current element after the searches.

#include "core/ring_list.h"
#include "render/device_settings.h"

#include <memory>
#include <vector>

struct MultisampleLevels {
    D3DMULTISAMPLE_TYPE type;
    DWORD levels;
};

struct DepthMultisampleConflict {
    D3DFORMAT depthFormat;
    D3DMULTISAMPLE_TYPE type;
};

struct DeviceCombo {
    UINT adapter = 0;
    D3DDEVTYPE deviceType = D3DDEVTYPE_HAL;
    D3DFORMAT adapterFormat = D3DFMT_UNKNOWN;
    D3DFORMAT backBufferFormat = D3DFMT_UNKNOWN;
    bool windowed = false;
    RingList<D3DFORMAT> depthFormats;
    RingList<MultisampleLevels> multisamples;
    RingList<DepthMultisampleConflict> conflicts;
    RingList<DWORD> vertexProcessing;
    RingList<DWORD> presentIntervals;
};

struct DeviceInfo {
    UINT adapter = 0;
    D3DDEVTYPE type = D3DDEVTYPE_HAL;
    D3DCAPS9 caps{};
    RingList<std::unique_ptr<DeviceCombo>> combos;
};

struct AdapterInfo {
    UINT ordinal = 0;
    D3DADAPTER_IDENTIFIER9 identifier{};
    RingList<D3DDISPLAYMODE> modes;  // ascending by width, height, format, refresh rate
    RingList<std::unique_ptr<DeviceInfo>> devices;
};

class DeviceEnumeration {
public:
    // d3d is not owned; it must outlive the enumeration.
    explicit DeviceEnumeration(IDirect3D9* d3d = nullptr) : d3d_(d3d) {}
    void SetDirect3D(IDirect3D9* d3d) { d3d_ = d3d; }

    // False only without a Direct3D object.
    bool Enumerate();
    bool FindBestFullscreenSettings(DeviceSettings& settings);
    bool FindBestWindowedSettings(DeviceSettings& settings);
    // The full-screen settings for a mode the user picked. False (with a log line) when no
    // combo has that depth or no adapter offers width x height in it.
    bool FindSettingsForMode(DeviceSettings& settings, UINT width, UINT height, int bitsPerPixel);

    RingList<std::unique_ptr<AdapterInfo>>& Adapters() { return adapters_; }

private:
    bool EnumerateDevices(AdapterInfo& adapter, const std::vector<D3DFORMAT>& adapterFormats);
    void EnumerateCombos(DeviceInfo& device, const std::vector<D3DFORMAT>& adapterFormats);
    // What the three finders share: the settings of a combo in a display mode, with the
    // depth/stencil format, multisampling and vertex processing chosen from the combo.
    void ChooseSettings(AdapterInfo* adapter, DeviceInfo* device, DeviceCombo* combo, const D3DDISPLAYMODE& mode,
                        bool windowed, DeviceSettings& settings);

    IDirect3D9* d3d_;
    RingList<std::unique_ptr<AdapterInfo>> adapters_;
};

// Scans the ring from its current element; visit returns true to stop there (the stopping
// element stays current). True when stopped.
template <typename T, typename Visit>
bool ScanRing(RingList<T>& list, Visit&& visit) {
    for (int i = 0, n = list.Count(); i < n; ++i) {
        if (visit(list.Current())) return true;
        list.Advance();
    }
    return false;
}

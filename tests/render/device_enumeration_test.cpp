// Device enumeration and the default choices, against made-up adapters.

#include "device_fake_direct3d.h"
#include "render/device_enumeration.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Enumerated {
    FakeDirect3D* d3d = new FakeDirect3D();
    DeviceEnumeration enumeration{d3d};
    ~Enumerated() { d3d->Release(); }
};

FakeAdapter Adapter32() {
    FakeAdapter adapter;
    adapter.modes = StandardModes(D3DFMT_X8R8G8B8);
    return adapter;
}

std::vector<D3DFORMAT> ComboAdapterFormats(DeviceEnumeration& enumeration) {
    std::vector<D3DFORMAT> formats;
    enumeration.Adapters().ForEachFromHead([&](const std::unique_ptr<AdapterInfo>& adapter) {
        adapter->devices.ForEachFromHead([&](const std::unique_ptr<DeviceInfo>& device) {
            device->combos.ForEachFromHead(
                [&](const std::unique_ptr<DeviceCombo>& combo) { formats.push_back(combo->adapterFormat); });
        });
    });
    return formats;
}

TEST(DeviceEnumerationTest, RingSearchKeepsTheCurrentElementWhenNothingMatches) {
    RingList<int> ring;
    for (int v : {1, 2, 3, 4}) ring.Insert(v);
    EXPECT_EQ(ring.Current(), 4);  // a fresh list has its last element current
    EXPECT_FALSE(ScanRing(ring, [](int v) { return v == 9; }));
    EXPECT_EQ(ring.Current(), 4);
    EXPECT_TRUE(ScanRing(ring, [](int v) { return v == 2; }));
    EXPECT_EQ(ring.Current(), 2);
    EXPECT_TRUE(ScanRing(ring, [](int v) { return v % 2 == 0; }));  // starts at the current element
    EXPECT_EQ(ring.Current(), 2);
}

TEST(DeviceEnumerationTest, WithoutDirect3DNothingIsEnumerated) {
    DeviceEnumeration enumeration(nullptr);
    DeviceSettings settings;
    EXPECT_FALSE(enumeration.Enumerate());
    EXPECT_FALSE(enumeration.FindBestFullscreenSettings(settings));
    EXPECT_FALSE(enumeration.FindBestWindowedSettings(settings));
}

TEST(DeviceEnumerationTest, AdaptersWithoutModesOrDevicesAreDiscarded) {
    Enumerated e;
    FakeAdapter noModes;
    FakeAdapter noDevice = Adapter32();
    noDevice.types.clear();
    e.d3d->adapters = {noModes, noDevice, Adapter32()};
    ASSERT_TRUE(e.enumeration.Enumerate());
    ASSERT_EQ(e.enumeration.Adapters().Count(), 1);
    EXPECT_EQ(e.enumeration.Adapters().Current()->ordinal, 2u);
    // Modes sorted ascending: the last one (current) is the largest.
    EXPECT_EQ(e.enumeration.Adapters().Current()->modes.Count(), 5);
    EXPECT_EQ(e.enumeration.Adapters().Current()->modes.Current().Width, 1280u);
}

TEST(DeviceEnumerationTest, R5G6B5OnlyAdapterPicksTheDesktopWidthModeOfThatFormat) {
    Enumerated e;
    FakeAdapter adapter;
    adapter.modes = StandardModes(D3DFMT_R5G6B5);
    adapter.desktop = {1024, 768, 85, D3DFMT_R5G6B5};  // refresh rate not offered
    e.d3d->adapters = {adapter};
    ASSERT_TRUE(e.enumeration.Enumerate());
    for (D3DFORMAT f : ComboAdapterFormats(e.enumeration)) EXPECT_EQ(f, D3DFMT_R5G6B5);
    DeviceSettings s;
    ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(s));
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_EQ(s.displayFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(s.combo->backBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(s.depthStencilFormat, D3DFMT_D16);
    EXPECT_FALSE(s.windowed);
}

TEST(DeviceEnumerationTest, FullscreenTakesTheExactDesktopMode) {
    Enumerated e;
    FakeAdapter adapter = Adapter32();
    adapter.desktop = {1024, 768, 75, D3DFMT_X8R8G8B8};
    e.d3d->adapters = {adapter};
    ASSERT_TRUE(e.enumeration.Enumerate());
    DeviceSettings s;
    ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(s));
    EXPECT_EQ(s.refreshRate, 75u);
    EXPECT_EQ(s.combo->adapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(s.combo->backBufferFormat, D3DFMT_X8R8G8B8);  // HAL, desktop and back buffer agree
    EXPECT_EQ(s.depthStencilFormat, D3DFMT_D32);
}

TEST(DeviceEnumerationTest, RefOnlyAdaptersGetRefCombos) {
    Enumerated e;
    FakeAdapter adapter = Adapter32();
    adapter.types = {D3DDEVTYPE_REF};
    e.d3d->adapters = {adapter};
    ASSERT_TRUE(e.enumeration.Enumerate());
    DeviceSettings full, windowed;
    ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(full));
    ASSERT_TRUE(e.enumeration.FindBestWindowedSettings(windowed));
    EXPECT_EQ(full.device->type, D3DDEVTYPE_REF);
    EXPECT_EQ(windowed.device->type, D3DDEVTYPE_REF);
    EXPECT_TRUE(windowed.windowed);
    EXPECT_EQ(windowed.width, 1024u);
}

TEST(DeviceEnumerationTest, HalIsPreferredOverEarlierSoftwareDevices) {
    Enumerated e;
    FakeAdapter adapter = Adapter32();
    adapter.types = {D3DDEVTYPE_REF, D3DDEVTYPE_HAL};
    e.d3d->adapters = {adapter};
    ASSERT_TRUE(e.enumeration.Enumerate());
    DeviceSettings full, windowed;
    ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(full));
    ASSERT_TRUE(e.enumeration.FindBestWindowedSettings(windowed));
    EXPECT_EQ(full.device->type, D3DDEVTYPE_HAL);
    EXPECT_EQ(windowed.device->type, D3DDEVTYPE_HAL);
}

TEST(DeviceEnumerationTest, DepthFormatFollowsTheBackBufferBits) {
    struct Case {
        D3DFORMAT desktopFormat;
        std::vector<D3DFORMAT> depths;
        D3DFORMAT expected;
    };
    const Case cases[] = {
        {D3DFMT_R5G6B5, {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8}, D3DFMT_D16},
        {D3DFMT_R5G6B5, {D3DFMT_D15S1, D3DFMT_D24X8}, D3DFMT_D15S1},  // 16 bits without D16
        {D3DFMT_X8R8G8B8, {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D32}, D3DFMT_D32},
        // 32 bits without D32: the first 32-bit format from the current (last appended) one.
        {D3DFMT_X8R8G8B8, {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8}, D3DFMT_D24S8},
        {D3DFMT_X8R8G8B8, {D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4}, D3DFMT_D24X4S4},
        {D3DFMT_X8R8G8B8, {D3DFMT_D16, D3DFMT_D24X8}, D3DFMT_D24X8},
        {D3DFMT_X8R8G8B8, {D3DFMT_D16}, D3DFMT_D16},  // nothing of 32 bits: current stays
    };
    for (const Case& c : cases) {
        Enumerated e;
        FakeAdapter adapter;
        adapter.modes = StandardModes(c.desktopFormat);
        adapter.desktop = {1024, 768, 60, c.desktopFormat};
        adapter.backBuffers = {c.desktopFormat};
        adapter.depths = c.depths;
        e.d3d->adapters = {adapter};
        ASSERT_TRUE(e.enumeration.Enumerate());
        DeviceSettings s;
        ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(s));
        EXPECT_EQ(s.depthStencilFormat, c.expected) << FormatName(c.desktopFormat) << " " << c.depths.size();
    }
}

TEST(DeviceEnumerationTest, VertexProcessingFromTheTransformCaps) {
    struct Case {
        DWORD devCaps;
        int listLength;
        DWORD chosen;
        DWORD behaviour;
    };
    const Case cases[] = {
        {0, 1, SOFTWARE_VP, 0x20},
        {D3DDEVCAPS_HWTRANSFORMANDLIGHT, 3, HARDWARE_VP, 0x40},
        {D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE, 4, HARDWARE_VP, 0x40},
    };
    for (const Case& c : cases) {
        Enumerated e;
        FakeAdapter adapter = Adapter32();
        adapter.devCaps = c.devCaps;
        e.d3d->adapters = {adapter};
        ASSERT_TRUE(e.enumeration.Enumerate());
        DeviceSettings s;
        ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(s));
        EXPECT_EQ(s.combo->vertexProcessing.Count(), c.listLength);
        EXPECT_EQ(s.vertexProcessing, c.chosen);
        EXPECT_EQ(BehaviourFlags(s.vertexProcessing), c.behaviour);
    }
    EXPECT_EQ(BehaviourFlags(PURE_HARDWARE_VP), 0x50u);
    EXPECT_EQ(BehaviourFlags(MIXED_VP), 0x80u);
}

TEST(DeviceEnumerationTest, IntervalIsAlwaysImmediate) {
    for (DWORD intervals : {DWORD(0), DWORD(D3DPRESENT_INTERVAL_ONE), DWORD(0x8000000F)}) {
        Enumerated e;
        FakeAdapter adapter = Adapter32();
        adapter.presentIntervals = intervals;
        e.d3d->adapters = {adapter};
        ASSERT_TRUE(e.enumeration.Enumerate());
        DeviceSettings full, windowed, mode;
        ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(full));
        ASSERT_TRUE(e.enumeration.FindBestWindowedSettings(windowed));
        ASSERT_TRUE(e.enumeration.FindSettingsForMode(mode, 800, 600, 32));
        EXPECT_EQ(full.presentInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
        EXPECT_EQ(windowed.presentInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
        EXPECT_EQ(mode.presentInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
        // The interval lists: DEFAULT always; TWO ... FOUR never for windowed combos.
        EXPECT_GE(full.combo->presentIntervals.Count(), 1);
        bool windowedHasTwo = false;
        windowed.combo->presentIntervals.ForEachFromHead(
            [&](DWORD i) { windowedHasTwo = windowedHasTwo || i == D3DPRESENT_INTERVAL_TWO; });
        EXPECT_FALSE(windowedHasTwo);
    }
}

TEST(DeviceEnumerationTest, RequestedModeTakesTheHighestRefreshOrFails) {
    Enumerated e;
    e.d3d->adapters = {Adapter32()};
    ASSERT_TRUE(e.enumeration.Enumerate());
    DeviceSettings s;
    ASSERT_TRUE(e.enumeration.FindSettingsForMode(s, 1024, 768, 32));
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.refreshRate, 75u);
    EXPECT_EQ(FormatBitsPerPixel(s.combo->backBufferFormat), 32);
    EXPECT_FALSE(s.windowed);

    // A mode no adapter offers: no settings (the desktop default is used), nothing changed.
    DeviceSettings untouched;
    untouched.width = 7;
    EXPECT_FALSE(e.enumeration.FindSettingsForMode(untouched, 1600, 1200, 32));
    EXPECT_EQ(untouched.width, 7u);
    EXPECT_FALSE(e.enumeration.FindSettingsForMode(untouched, 1024, 768, 24));
    EXPECT_EQ(untouched.width, 7u);
}

TEST(DeviceEnumerationTest, FormatTables) {
    struct Case {
        D3DFORMAT format;
        int bits;
        bool alpha;
        const char* name;
    };
    const Case cases[] = {
        {D3DFMT_R8G8B8, 24, false, "R8G8B8"},     {D3DFMT_A8R8G8B8, 32, true, "A8R8G8B8"},
        {D3DFMT_X8R8G8B8, 32, false, "X8R8G8B8"}, {D3DFMT_R5G6B5, 16, false, "R5G6B5"},
        {D3DFMT_A1R5G5B5, 16, true, "A1R5G5B5"},  {D3DFMT_A4L4, 8, true, "A4L4"},
        {D3DFMT_D24S8, 32, false, "D24S8"},       {D3DFMT_D15S1, 16, false, "D15S1"},
        {D3DFMT_A16B16G16R16F, 64, true, "A16B16G16R16F"}, {D3DFMT_A32B32G32R32F, 128, true, "A32B32G32R32F"},
        {D3DFMT_DXT1, 0, false, "DXT1"},          {D3DFMT_MULTI2_ARGB8, 0, true, "MULTI2_ARGB8"},
        {D3DFMT_UNKNOWN, 0, false, "UNKNOWN"},    {D3DFMT_D32F_LOCKABLE, 0, false, "Unknown format"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatBitsPerPixel(c.format), c.bits) << c.name;
        EXPECT_EQ(FormatHasAlpha(c.format), c.alpha) << c.name;
        EXPECT_STREQ(FormatName(c.format), c.name);
    }
}

TEST(DeviceEnumerationTest, NameTables) {
    EXPECT_STREQ(MultisampleName(D3DMULTISAMPLE_NONE).CStr(), "D3DMULTISAMPLE_NONE");
    EXPECT_STREQ(MultisampleName(D3DMULTISAMPLE_NONMASKABLE).CStr(), "D3DMULTISAMPLE_NONMASKABLE");
    EXPECT_STREQ(MultisampleName(D3DMULTISAMPLE_2_SAMPLES).CStr(), "D3DMULTISAMPLE_2_SAMPLES");
    EXPECT_STREQ(MultisampleName(D3DMULTISAMPLE_16_SAMPLES).CStr(), "D3DMULTISAMPLE_16_SAMPLES");
    EXPECT_STREQ(MultisampleName(D3DMULTISAMPLE_TYPE(17)).CStr(), "Unknown Multisample Type");
    EXPECT_STREQ(VertexProcessingName(PURE_HARDWARE_VP), "PURE_HARDWARE_VP");
    EXPECT_STREQ(VertexProcessingName(4), "Unknown VertexProcessingType");
    EXPECT_STREQ(PresentIntervalName(D3DPRESENT_INTERVAL_THREE), "D3DPRESENT_INTERVAL_THREE");
    EXPECT_STREQ(PresentIntervalName(D3DPRESENT_INTERVAL_IMMEDIATE), "D3DPRESENT_INTERVAL_IMMEDIATE");
    EXPECT_STREQ(PresentIntervalName(3), "Unknown PresentInterval");
}

TEST(DeviceEnumerationTest, FormatKeywordsAreExact) {
    struct Case {
        const char* text;
        D3DFORMAT format;
    };
    const Case cases[] = {
        {"D3DFMT_R8G8B8", D3DFMT_R8G8B8},     {"D3DFMT_A8R8G8B8", D3DFMT_A8R8G8B8},
        {"D3DFMT_X8R8G8B8", D3DFMT_X8R8G8B8}, {"D3DFMT_R5G6B5", D3DFMT_R5G6B5},
        {"D3DFMT_X1R5G5B5", D3DFMT_X1R5G5B5}, {"D3DFMT_A1R5G5B5", D3DFMT_A1R5G5B5},
        {"D3DFMT_A4R4G4B4", D3DFMT_A4R4G4B4}, {"d3dfmt_a8r8g8b8", D3DFMT_UNKNOWN},
        {"D3DFMT_DXT1", D3DFMT_UNKNOWN},      {"", D3DFMT_UNKNOWN},
        {"D3DFMT_A8R8G8B8 ", D3DFMT_UNKNOWN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFormatKeyword(c.text), c.format) << c.text;
}

TEST(DeviceEnumerationTest, PresentParametersAndReport) {
    Enumerated e;
    e.d3d->adapters = {Adapter32()};
    ASSERT_TRUE(e.enumeration.Enumerate());
    DeviceSettings s;
    ASSERT_TRUE(e.enumeration.FindBestFullscreenSettings(s));
    D3DPRESENT_PARAMETERS full = BuildPresentParameters(s, nullptr, 300, 200);
    EXPECT_EQ(full.BackBufferWidth, 1024u);
    EXPECT_EQ(full.FullScreen_RefreshRateInHz, 60u);
    EXPECT_EQ(full.Windowed, FALSE);
    EXPECT_EQ(full.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(full.Flags, D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL);
    EXPECT_EQ(full.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(full.BackBufferCount, 1u);
    EXPECT_EQ(full.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    s.windowed = true;
    D3DPRESENT_PARAMETERS windowed = BuildPresentParameters(s, nullptr, 300, 200);
    EXPECT_EQ(windowed.BackBufferWidth, 300u);
    EXPECT_EQ(windowed.BackBufferHeight, 200u);
    EXPECT_EQ(windowed.FullScreen_RefreshRateInHz, 0u);
    s.windowed = false;
    EXPECT_STREQ(DeviceReport(s).CStr(),
                 "----------------------\n"
                 "Fullscreen 1024x768, X8R8G8B8, D32\n"
                 "Present Interval: D3DPRESENT_INTERVAL_IMMEDIATE\n"
                 "Vertex Proccessing: HARDWARE_VP\n"
                 "MultiSample: D3DMULTISAMPLE_NONE , Quality:0\n"
                 "----------------------\n");
}

}  // namespace

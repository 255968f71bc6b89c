// The device session: creation with the chosen settings, reset, the device check, release,
// the device-object registry and the gamma ramp, through a recording device.

#include "device_fake_direct3d.h"
#include "render/device_globals.h"
#include "render/device_object.h"
#include "tests/render/counting_device_object.h"
#include "render/device_session.h"
#include "render/render_state_cache.h"

#include <gtest/gtest.h>

namespace {

FakeDirect3D* MakeD3D() {
    auto* d3d = new FakeDirect3D();
    FakeAdapter adapter;
    adapter.modes = StandardModes(D3DFMT_X8R8G8B8);
    adapter.devCaps = 0;
    d3d->adapters = {adapter};
    return d3d;
}

TEST(DeviceSessionTest, CreateFailsAndReleasesWithoutUsableAdapters) {
    int destroyed = 0;
    auto* d3d = new FakeDirect3D();
    d3d->destroyed = &destroyed;
    DeviceSession session;
    EXPECT_FALSE(session.Create(d3d));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(session.Direct3D(), nullptr);
    EXPECT_FALSE(session.SelectSettings(true, nullptr, 640, 480));
}

TEST(DeviceSessionTest, SelectSettingsCreatesAndPublishesTheDevice) {
    auto* d3d = MakeD3D();
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    CountingObject object;
    ASSERT_TRUE(session.SelectSettings(true, nullptr, 640, 480));
    ASSERT_NE(d3d->lastDevice, nullptr);
    EXPECT_EQ(CurrentDevice(), d3d->lastDevice);
    EXPECT_EQ(d3d->lastBehaviour, DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));  // no hardware T&L
    EXPECT_EQ(d3d->lastParameters.BackBufferWidth, 1024u);
    EXPECT_EQ(d3d->lastParameters.Windowed, FALSE);
    EXPECT_EQ(d3d->lastParameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(object.restores, 1);
    EXPECT_TRUE(session.ObjectsRestored());

    // Windowed: the client size; a second selection releases the first device first.
    ASSERT_TRUE(session.SelectSettings(false, nullptr, 320, 240));
    EXPECT_EQ(object.invalidates, 1);
    EXPECT_EQ(object.restores, 2);
    EXPECT_EQ(d3d->lastParameters.BackBufferWidth, 320u);
    EXPECT_EQ(d3d->lastParameters.Windowed, TRUE);

    session.ReleaseDevice();
    EXPECT_EQ(CurrentDevice(), nullptr);
    EXPECT_EQ(object.invalidates, 2);
    EXPECT_FALSE(session.CheckDevice());
}

// A filter's device is the one published and used; calls reach the made device through it.
// A filter that answers null fails the creation.
TEST(DeviceSessionTest, DeviceFilterStandsBetweenTheEngineAndTheDevice) {
    auto* d3d = MakeD3D();
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    IDirect3DDevice9* made = nullptr;
    RecordingDevice* between = nullptr;
    session.SetDeviceFilter([&](IDirect3DDevice9* device) {
        made = device;
        between = RecordingDevice::Create(device);
        return between;
    });
    ASSERT_TRUE(session.SelectSettings(false, nullptr, 320, 240));
    EXPECT_EQ(made, d3d->lastDevice);
    EXPECT_EQ(session.Device(), between);
    EXPECT_EQ(CurrentDevice(), between);
    session.Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    EXPECT_EQ(between->Count("Clear"), 1);
    EXPECT_EQ(d3d->lastDevice->Count("Clear"), 1);
    session.ReleaseDevice();

    session.SetDeviceFilter([](IDirect3DDevice9*) -> IDirect3DDevice9* { return nullptr; });
    EXPECT_FALSE(session.SelectSettings(false, nullptr, 320, 240));
    EXPECT_EQ(session.Device(), nullptr);
}

TEST(DeviceSessionTest, FailedRestoreInvalidatesEverything) {
    DeviceSession session;
    ASSERT_TRUE(session.Create(MakeD3D()));
    CountingObject good, bad;
    bad.restoreResult = false;
    ASSERT_TRUE(session.SelectSettings(true, nullptr, 640, 480));  // the device stays
    EXPECT_FALSE(session.ObjectsRestored());
    EXPECT_EQ(good.restores, 1);
    EXPECT_EQ(good.invalidates, 1);
    EXPECT_EQ(bad.invalidates, 1);
    EXPECT_NE(CurrentDevice(), nullptr);
    session.ReleaseDevice();
}

TEST(DeviceSessionTest, CheckDeviceResetsOnlyWhenTheDeviceAsks) {
    auto* d3d = MakeD3D();
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    CountingObject object;
    ASSERT_TRUE(session.SelectSettings(true, nullptr, 640, 480));
    RecordingDevice* device = d3d->lastDevice;
    struct Case {
        HRESULT cooperative;
        bool result;
        int resets;
    };
    const Case cases[] = {
        {D3D_OK, true, 0},
        {D3DERR_DEVICELOST, true, 0},
        {D3DERR_DEVICENOTRESET, true, 1},
        {D3DERR_DRIVERINTERNALERROR, true, 0},
    };
    for (const Case& c : cases) {
        device->ClearCalls();
        device->SetCooperativeLevel(c.cooperative);
        EXPECT_EQ(session.CheckDevice(), c.result) << std::hex << c.cooperative;
        EXPECT_EQ(device->Count("Reset"), c.resets) << std::hex << c.cooperative;
    }
    EXPECT_EQ(object.invalidates, 1);  // around the one reset
    EXPECT_EQ(object.restores, 2);

    // A failing reset is reported.
    device->SetCooperativeLevel(D3DERR_DEVICENOTRESET);
    device->SetResult("Reset", D3DERR_INVALIDCALL);
    EXPECT_FALSE(session.CheckDevice());
    EXPECT_FALSE(session.ObjectsRestored());
    session.ReleaseDevice();
}

TEST(DeviceSessionTest, CacheIsEmptyAfterCreationAndReset) {
    auto* d3d = MakeD3D();
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    ASSERT_TRUE(session.SelectSettings(true, nullptr, 640, 480));
    RecordingDevice* device = d3d->lastDevice;
    SetRenderStateCached(D3DRS_LIGHTING, FALSE);
    SetRenderStateCached(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(device->Count("SetRenderState"), 1);
    ASSERT_TRUE(session.Reset(640, 480));
    SetRenderStateCached(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(device->Count("SetRenderState"), 2);
    session.ReleaseDevice();
}

TEST(DeviceSessionTest, GammaRampIsAppliedBeforeEveryRestore) {
    struct Case {
        int gamma;
        int k;
        WORD value;
    };
    const Case cases[] = {{0, 0, 0}, {0, 255, 65280}, {100, 255, 65535}, {-100, 0, 0}, {-100, 100, 5600},
                          {50, 1, 10256}};
    for (const Case& c : cases) {
        D3DGAMMARAMP ramp = GammaRamp(c.gamma);
        EXPECT_EQ(ramp.red[c.k], c.value) << c.gamma << " " << c.k;
        EXPECT_EQ(ramp.blue[c.k], c.value);
    }
    auto* d3d = MakeD3D();
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    session.SetGamma(10);
    ASSERT_TRUE(session.SelectSettings(true, nullptr, 640, 480));
    RecordingDevice* device = d3d->lastDevice;
    EXPECT_EQ(device->CallsOf("SetGammaRamp"), std::vector<std::string>{"SetGammaRamp(0, 1, 2000, 65535)"});
    ASSERT_TRUE(session.Reset(640, 480));
    EXPECT_EQ(device->Count("SetGammaRamp"), 2);
    session.ReleaseDevice();
}

TEST(DeviceSessionTest, FailedCreationReturnsFalse) {
    auto* d3d = MakeD3D();
    d3d->createResult = D3DERR_NOTAVAILABLE;
    DeviceSession session;
    ASSERT_TRUE(session.Create(d3d));
    EXPECT_FALSE(session.SelectSettings(true, nullptr, 640, 480));
    EXPECT_EQ(CurrentDevice(), nullptr);
}

}  // namespace

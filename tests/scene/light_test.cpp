// Lights: loading from a scene file, the reach of each kind, and the device calls.

#include "platform/d3d9/recording_device.h"
#include "scene/light_set.h"
#include "scene/udf_reader.h"
#include "scene/udf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kIdentity16[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct LoadedLights {
    std::vector<std::uint8_t> bytes;
    UdfReader reader;
    UdfElement* lights = nullptr;
};

// Opens a file written by the writer and returns its "Lights" element.
void Load(UdfWriter& writer, LoadedLights& out) {
    ASSERT_TRUE(writer.Write(out.bytes));
    UdfElement* root = out.reader.Open(MemoryStream(out.bytes));
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(out.reader.LoadElement(root, 0));
    out.lights = root->Child("Lights");
    ASSERT_NE(out.lights, nullptr);
}

UdfWriter::Node* AddLight(UdfWriter::Node* lights, const char* name, const char* type, const float* nodeTM) {
    UdfWriter::Node* light = lights->AddContainer(name, type);
    light->AddMatrix("NodeTM", nodeTM);
    light->AddMatrix("ObjectTM", kIdentity16);
    return light;
}

LightBox Box(float x, float y, float z, float edge) { return LightBox{D3DXVECTOR3(x, y, z), D3DXVECTOR3(edge, edge, edge)}; }

}  // namespace

// Each light type is read with its fields; colours are stored alpha first.
TEST(LightLoad, ThreeKindsWithTheirFields) {
    UdfWriter writer;
    UdfWriter::Node* lights = writer.Root()->AddContainer("Lights", "Light");
    const float at[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    UdfWriter::Node* point = AddLight(lights, "Lamp", "PointLight", at);
    const float argb[4] = {1.0f, 0.5f, 0.25f, 0.125f};
    point->AddColor("Diffuse", argb);
    point->AddReal("AttStart", 4);
    point->AddReal("AttEnd", 20);
    point->AddReal("Active", 0);  // no effect
    // A directional light turned a quarter about x: (0, -1, 0) becomes (0, 0, -1).
    const float turned[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};
    AddLight(lights, "Sun", "DirLight", turned);
    UdfWriter::Node* spot = AddLight(lights, "Spot", "SpotLight", at);
    spot->AddReal("HotSpot", 0.25f);
    spot->AddReal("FallOff", 0.5f);
    spot->AddReal("AttStart", 0);
    AddLight(lights, "Glow", "PointLight", at)->AddReal("AttStart", 0);
    LoadedLights loaded;
    Load(writer, loaded);

    LightSet set;
    ASSERT_TRUE(LoadLights(loaded.lights, set));
    ASSERT_EQ(set.Count(), 4);
    const D3DLIGHT9& p = set.At(0)->Light();
    EXPECT_EQ(p.Type, D3DLIGHT_POINT);
    EXPECT_EQ(p.Position.x, 1);
    EXPECT_EQ(p.Position.z, 3);
    EXPECT_EQ(p.Diffuse.r, 0.5f);
    EXPECT_EQ(p.Diffuse.b, 0.125f);
    EXPECT_EQ(p.Diffuse.a, 1.0f);
    EXPECT_EQ(p.Attenuation0, 0);
    EXPECT_EQ(p.Attenuation1, 0.25f);
    EXPECT_EQ(p.Attenuation2, 0);
    EXPECT_EQ(p.Range, 20);
    EXPECT_EQ(p.Specular.r, 0);
    EXPECT_EQ(p.Ambient.g, 0);
    EXPECT_EQ(set.At(0)->Index(), -1);
    EXPECT_EQ(set.At(0)->Enabled(), 0);

    const D3DLIGHT9& d = set.At(1)->Light();
    EXPECT_EQ(d.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_NEAR(d.Direction.y, 0, 1e-6f);
    EXPECT_NEAR(d.Direction.z, -1, 1e-6f);
    EXPECT_EQ(d.Diffuse.r, 0);  // no colour: zero

    const D3DLIGHT9& s = set.At(2)->Light();
    EXPECT_EQ(s.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(s.Theta, 0.25f);
    EXPECT_EQ(s.Phi, 0.5f);
    EXPECT_NEAR(s.Direction.y, -1, 1e-6f);
    // AttStart 0: all attenuation factors zero; no AttEnd: range 0.
    EXPECT_EQ(s.Attenuation0, 0);
    EXPECT_EQ(s.Attenuation1, 0);
    EXPECT_EQ(s.Attenuation2, 0);
    EXPECT_EQ(s.Range, 0);
    const D3DLIGHT9& glow = set.At(3)->Light();  // a point light with AttStart 0 likewise
    EXPECT_EQ(glow.Type, D3DLIGHT_POINT);
    EXPECT_EQ(std::vector<float>({glow.Attenuation0, glow.Attenuation1, glow.Attenuation2}), std::vector<float>(3, 0.0f));

    EXPECT_EQ(set.At(0)->ClassNames()[0].CStr(), std::string("D3DPointLight"));
    EXPECT_EQ(set.At(2)->ClassNames()[1].CStr(), std::string("D3DLight"));
    EXPECT_EQ(set.At(1)->ClassNames().back().CStr(), std::string("Object"));
}

// A degenerate or skewed matrix, or an unknown type, stops the pass with a failure.
TEST(LightLoad, InvalidLightsFail) {
    struct Case {
        const char* type;
        float m[16];
        bool ok;
    };
    const Case cases[] = {
        {"PointLight", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, true},
        {"PointLight", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}, false},
        {"PointLight", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 1}, false},
        {"PointLight", {1, 0, 0, 0, 0, 1, 0, 0, 0.5f, 0, 1, 0, 0, 0, 0, 1}, false},
        {"PointLight", {0.003f, 0, 0, 0, 0, 0.003f, 0, 0, 0, 0, 0.003f, 0, 0, 0, 0, 1}, false},
        {"OmniLight", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, false},
        {"pointlight", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, false},
    };
    for (const Case& c : cases) {
        UdfWriter writer;
        UdfWriter::Node* lights = writer.Root()->AddContainer("Lights", "Light");
        AddLight(lights, "First", "DirLight", kIdentity16);
        AddLight(lights, "Tested", c.type, c.m);
        AddLight(lights, "Last", "DirLight", kIdentity16);
        LoadedLights loaded;
        Load(writer, loaded);
        LightSet set;
        EXPECT_EQ(LoadLights(loaded.lights, set), c.ok) << c.type;
        EXPECT_EQ(set.Count(), c.ok ? 3 : 1) << c.type;
    }
    LightSet empty;
    EXPECT_TRUE(LoadLights(nullptr, empty));
    EXPECT_FALSE(empty.Add(nullptr));
}

// Reach: the point light's cube, the spot light's cone cube, the directional light always.
TEST(LightAffects, RegionsPerKind) {
    D3DPointLight point;
    point.Light().Range = 2;  // cube of edge 4 around the origin: -2..2
    struct Case {
        LightBox box;
        bool expected;
    };
    const Case pointCases[] = {
        {Box(3, 0, 0, 2), true},       // touches the face x = 2
        {Box(3.01f, 0, 0, 2), false},  // just apart
        {Box(0, 0, 0, 0.1f), true},    // inside
        {Box(3, 3, 0, 2), true},       // touches an edge
        {Box(0, 0, -50, 100), true},   // holds the cube
        {Box(0, 5, 0, 1), false},
    };
    for (const Case& c : pointCases) EXPECT_EQ(point.Affects(c.box), c.expected) << c.box.centre.x;

    D3DSpotLight spot;
    spot.Light().Direction = D3DVECTOR{0, 0, 2};  // not unit: the centre uses the unit vector
    spot.Light().Phi = 0.5f;
    EXPECT_FALSE(spot.Affects(Box(0, 0, 0, 1000)));  // no range (AttEnd missing)
    spot.Light().Range = 10;
    // Centre (0, 0, 5), edge 2 sqrt((10 tan 0.5)^2 + 100).
    const float edge = 2 * std::sqrt(std::pow(10 * std::tan(0.5f), 2.0f) + 100);
    EXPECT_TRUE(spot.Affects(Box(0, 0, 5 + edge / 2 + 0.5f, 1)));
    EXPECT_FALSE(spot.Affects(Box(0, 0, 5 + edge / 2 + 0.6f, 1)));
    EXPECT_FALSE(spot.Affects(Box(0, 0, 5 - edge / 2 - 0.6f, 1)));
    spot.Light().Direction = D3DVECTOR{0, 0, 0};
    EXPECT_FALSE(spot.Affects(Box(0, 0, 5, 1)));

    D3DDirLight sun;
    for (const Case& c : pointCases) EXPECT_TRUE(sun.Affects(c.box));
    EXPECT_TRUE(sun.Affects(Box(1e30f, -1e30f, 0, 0)));
}

// UploadAll numbers the lights and passes them to SetLight; the enable calls follow the
// flags; without a device only the flags change.
TEST(LightSetDevice, UploadEnableDisable) {
    LightSet set;
    auto point = std::make_unique<D3DPointLight>();
    point->Light().Range = 1;
    point->Light().Position = D3DVECTOR{100, 0, 0};
    set.Add(std::move(point));
    set.Add(std::make_unique<D3DDirLight>());
    auto spot = std::make_unique<D3DSpotLight>();
    set.Add(std::move(spot));

    RecordingDevice* device = RecordingDevice::Create();
    set.EnableAll(device);  // nothing uploaded yet: flags only
    EXPECT_EQ(device->Count("LightEnable"), 0);
    set.UploadAll(device);
    EXPECT_EQ(device->Count("SetLight"), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(set.At(i)->Index(), i);
    D3DLIGHT9 light;
    ASSERT_EQ(device->GetLight(0, &light), D3D_OK);
    EXPECT_EQ(light.Position.x, 100);
    ASSERT_EQ(device->GetLight(1, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);

    device->ClearCalls();
    set.EnableFor(device, Box(0, 0, 0, 2));
    EXPECT_EQ(device->CallsOf("LightEnable"),
              (std::vector<std::string>{"LightEnable(0, 0)", "LightEnable(1, 1)", "LightEnable(2, 0)"}));
    EXPECT_EQ(set.At(1)->Enabled(), 1);
    EXPECT_EQ(set.At(0)->Enabled(), 0);

    device->ClearCalls();
    set.EnableAll(device);
    EXPECT_EQ(device->Count("LightEnable"), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(set.At(i)->Enabled(), 1);
    BOOL on = FALSE;
    device->GetLightEnable(2, &on);
    EXPECT_EQ(on, TRUE);

    device->ClearCalls();
    set.DisableAll(device);
    EXPECT_EQ(device->CallsOf("LightEnable"),
              (std::vector<std::string>{"LightEnable(0, 0)", "LightEnable(1, 0)", "LightEnable(2, 0)"}));

    set.EnableAll(nullptr);
    EXPECT_EQ(set.At(0)->Enabled(), 1);
    device->ClearCalls();
    set.UploadAll(nullptr);
    set.EnableFor(nullptr, Box(0, 0, 0, 1));
    EXPECT_EQ(device->Calls().size(), 0u);
    EXPECT_EQ(set.At(1)->Enabled(), 1);
    device->Release();
}

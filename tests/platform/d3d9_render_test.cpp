// Rendering through the OpenGL device, read back pixel by pixel.

#include "d3d9_fixture.h"

#include "platform/d3dx/d3dx_math.h"

#include <cmath>
#include <cstring>

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class D3D9RenderTest : public D3D9DeviceTest {
protected:
    void SetUp() override {
        D3D9DeviceTest::SetUp();
        if (!device_) return;
        D3DXMATRIX identity, projection;
        D3DXMatrixIdentity(&identity);
        // A 90 degree field of view: at depth z the screen spans -z..z on both axes.
        D3DXMatrixPerspectiveFovLH(&projection, float(M_PI) / 2.0f, 1.0f, 1.0f, 100.0f);
        device_->SetTransform(D3DTS_WORLD, &identity);
        device_->SetTransform(D3DTS_VIEW, &identity);
        device_->SetTransform(D3DTS_PROJECTION, &projection);
    }

    // The pixel that the camera-space point (x, y, z) lands on.
    static void PixelOf(float x, float y, float z, int& px, int& py) {
        px = int(std::lround((x / z + 1.0f) * 0.5f * kWidth));
        py = int(std::lround((1.0f - y / z) * 0.5f * kHeight));
    }

    // A small quad facing the camera, centred on (cx, cy, cz).
    void DrawLitQuad(float cx, float cy, float cz, float half) {
        const LitVertex tl{cx - half, cy + half, cz, 0, 0, -1}, tr{cx + half, cy + half, cz, 0, 0, -1};
        const LitVertex br{cx + half, cy - half, cz, 0, 0, -1}, bl{cx - half, cy - half, cz, 0, 0, -1};
        const LitVertex v[6] = {tl, tr, br, tl, br, bl};
        device_->SetFVF(kLitFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(LitVertex)), D3D_OK);
    }

    void DrawColorQuad(float cx, float cy, float cz, float half, D3DCOLOR color) {
        const ColorVertex tl{cx - half, cy + half, cz, color}, tr{cx + half, cy + half, cz, color};
        const ColorVertex br{cx + half, cy - half, cz, color}, bl{cx - half, cy - half, cz, color};
        const ColorVertex v[6] = {tl, tr, br, tl, br, bl};
        device_->SetFVF(kColorFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColorVertex)), D3D_OK);
    }

    void SetMaterial(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient) {
        D3DMATERIAL9 material{};
        material.Diffuse = diffuse;
        material.Ambient = ambient;
        device_->SetMaterial(&material);
    }
};

TEST_F(D3D9RenderTest, PointLightHonoursRangeAndAttenuation) {
    struct Case {
        float range, a0, a1, a2;
        float factor;  // expected attenuation at distance 5 (0: out of range)
    };
    const Case cases[] = {
        {10.0f, 1.0f, 0.0f, 0.0f, 1.0f},  {4.9f, 1.0f, 0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.4f, 0.0f, 0.5f},
        {10.0f, 0.0f, 0.0f, 0.04f, 1.0f}, {10.0f, 0.5f, 0.1f, 0.0f, 1.0f}, {10.0f, 0.0f, 0.0f, 0.08f, 0.5f},
    };
    SetMaterial({0.6f, 0.4f, 0.2f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f});
    for (const Case& c : cases) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_POINT;
        light.Diffuse = {1, 1, 1, 1};
        light.Ambient = {0.2f, 0.2f, 0.2f, 1};
        light.Range = c.range;
        light.Attenuation0 = c.a0;
        light.Attenuation1 = c.a1;
        light.Attenuation2 = c.a2;
        ASSERT_EQ(device_->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device_->LightEnable(0, TRUE), D3D_OK);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
        DrawLitQuad(0.0f, 0.0f, 5.0f, 0.25f);
        const auto frame = Frame();
        const Rgba expected{int(std::lround(std::min(1.0f, 0.8f * c.factor) * 255)),
                            int(std::lround(0.6f * c.factor * 255)), int(std::lround(0.4f * c.factor * 255)), 255};
        EXPECT_TRUE(Near(Pixel(frame, kWidth / 2, kHeight / 2), expected, 3))
            << "range " << c.range << " attenuation " << c.a0 << ", " << c.a1 << ", " << c.a2;
    }
}

TEST_F(D3D9RenderTest, LightsAndSpecularAreInWorldSpace) {
    // The camera moves back by 5 and the light sits on it: only a light moved by the view
    // matrix is within its range of the quad.
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device_->SetTransform(D3DTS_VIEW, &view);
    SetMaterial({0.6f, 0.4f, 0.2f, 1.0f}, {0, 0, 0, 0});
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -5};
    light.Range = 5.1f;
    light.Attenuation0 = 1.0f;
    device_->SetLight(0, &light);
    device_->LightEnable(0, TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    DrawLitQuad(0.0f, 0.0f, 0.0f, 0.25f);
    EXPECT_TRUE(Near(Pixel(Frame(), kWidth / 2, kHeight / 2), {153, 102, 51, 255}, 3));

    // Specular: a head-on directional light with a non-local viewer gives N.H = 1.
    D3DMATERIAL9 material{};
    material.Specular = {1.0f, 0.5f, 0.25f, 1.0f};
    material.Power = 8.0f;
    device_->SetMaterial(&material);
    D3DLIGHT9 head{};
    head.Type = D3DLIGHT_DIRECTIONAL;
    head.Direction = {0, 0, 1};
    head.Specular = {1, 1, 1, 1};
    device_->SetLight(0, &head);
    device_->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    struct Case {
        BOOL specularEnable;
        Rgba expected;
    };
    for (const Case& c : {Case{TRUE, {255, 128, 64, 255}}, Case{FALSE, {0, 0, 0, 255}}}) {
        device_->SetRenderState(D3DRS_SPECULARENABLE, c.specularEnable);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        DrawLitQuad(0.0f, 0.0f, 0.0f, 0.25f);
        EXPECT_TRUE(Near(Pixel(Frame(), kWidth / 2, kHeight / 2), c.expected, 1)) << "specular " << c.specularEnable;
    }
    EXPECT_TRUE(PrepareProgram(device_));
}

TEST_F(D3D9RenderTest, SpotConeFallsOffBetweenThetaAndPhi) {
    SetMaterial({1.0f, 1.0f, 1.0f, 1.0f}, {0, 0, 0, 0});
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_SPOT;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    light.Range = 100.0f;
    light.Attenuation0 = 1.0f;
    light.Theta = float(20.0 * M_PI / 180.0);
    light.Phi = float(60.0 * M_PI / 180.0);
    light.Falloff = 1.0f;
    ASSERT_EQ(device_->SetLight(0, &light), D3D_OK);
    ASSERT_EQ(device_->LightEnable(0, TRUE), D3D_OK);
    const double cosTheta = std::cos(10.0 * M_PI / 180.0), cosPhi = std::cos(30.0 * M_PI / 180.0);
    for (double degrees : {0.0, 5.0, 18.0, 22.0, 26.0, 35.0}) {
        const double angle = degrees * M_PI / 180.0;
        // A square inscribed in the circle where the cone of this angle meets the plane z = 5:
        // its four vertices, and so every pixel of it, receive the same light.
        const float r = float(5.0 * std::tan(std::max(angle, 0.02)));
        auto corner = [&](double at) {
            return LitVertex{r * float(std::cos(at * M_PI / 180.0)), r * float(std::sin(at * M_PI / 180.0)), 5.0f,
                             0, 0, -1};
        };
        const LitVertex v[6] = {corner(135), corner(45), corner(315), corner(135), corner(315), corner(225)};
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        device_->SetFVF(kLitFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(LitVertex)), D3D_OK);
        const double rho = std::cos(std::max(angle, 0.02));
        const double spot = rho > cosTheta ? 1.0 : rho <= cosPhi ? 0.0 : (rho - cosPhi) / (cosTheta - cosPhi);
        const int value = int(std::lround(spot * rho * 255.0));  // N.L is cos(angle) on this plane
        EXPECT_TRUE(Near(Pixel(Frame(), kWidth / 2, kHeight / 2), {value, value, value, 255}, 2))
            << degrees << " degrees";
    }
}

TEST_F(D3D9RenderTest, LinearFogByDistanceOrDepth) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device_->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(255, 0, 0));
    device_->SetRenderState(D3DRS_FOGSTART, FloatBits(10.0f));
    device_->SetRenderState(D3DRS_FOGEND, FloatBits(20.0f));
    struct Case {
        float x, z;
        bool rangeFog;
        float fog;  // expected factor: 1 = no fog colour
    };
    const Case cases[] = {
        {0.0f, 10.0f, false, 1.0f}, {0.0f, 20.0f, false, 0.0f}, {0.0f, 15.0f, false, 0.5f},
        {0.0f, 10.0f, true, 1.0f},  {0.0f, 20.0f, true, 0.0f},
        // Off the axis: |V| = 15 while z = 12.
        {9.0f, 12.0f, true, 0.5f},  {9.0f, 12.0f, false, 0.8f},
    };
    for (const Case& c : cases) {
        device_->SetRenderState(D3DRS_RANGEFOGENABLE, c.rangeFog);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        DrawColorQuad(c.x, 0.0f, c.z, c.z * 0.01f, D3DCOLOR_XRGB(255, 255, 255));
        int px, py;
        PixelOf(c.x, 0.0f, c.z, px, py);
        const int g = int(std::lround(c.fog * 255));
        EXPECT_TRUE(Near(Pixel(Frame(), px, py), {255, g, g, 255}, 4))
            << "x " << c.x << " z " << c.z << " range fog " << c.rangeFog;
    }
}

TEST_F(D3D9RenderTest, AlphaTestAtReferenceOne) {
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 1);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    struct Case {
        DWORD alpha;
        bool drawn;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{255, true}}) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        DrawRhwQuad(8, 8, 24, 24, D3DCOLOR_ARGB(c.alpha, 0, 255, 0));
        EXPECT_EQ(Pixel(Frame(), 16, 16)[1], c.drawn ? 255 : 0) << "alpha " << c.alpha;
    }
}

TEST_F(D3D9RenderTest, BlendingAddsOrMixes) {
    struct Case {
        DWORD source, destination;
        Rgba expected;
    };
    // Destination (100, 50, 0), source (50, 100, 200) with alpha 51 (0.2).
    const Case cases[] = {
        {D3DBLEND_ONE, D3DBLEND_ONE, {150, 150, 200, 255}},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, {90, 60, 40, 255}},
        {D3DBLEND_SRCALPHA, D3DBLEND_ONE, {110, 70, 40, 255}},
        {D3DBLEND_ONE, D3DBLEND_ZERO, {50, 100, 200, 255}},
        // The cleared target holds alpha 0x40 (0.25).
        {D3DBLEND_DESTALPHA, D3DBLEND_ZERO, {13, 25, 50, 255}},
    };
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    for (const Case& c : cases) {
        device_->SetRenderState(D3DRS_SRCBLEND, c.source);
        device_->SetRenderState(D3DRS_DESTBLEND, c.destination);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(0x40, 100, 50, 0), 1.0f, 0);
        DrawRhwQuad(0, 0, kWidth, kHeight, D3DCOLOR_ARGB(51, 50, 100, 200));
        EXPECT_TRUE(Near(Pixel(Frame(), 20, 30), c.expected, 1)) << c.source << " " << c.destination;
    }
}

TEST_F(D3D9RenderTest, PretransformedQuadCoversExactlyItsPixels) {
    struct Case {
        float x0, y0, x1, y1;
    };
    for (const Case& c : {Case{10, 10, 20, 20}, Case{0, 0, 1, 1}, Case{5, 30, 63, 31}, Case{0, 0, 64, 64}}) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        DrawRhwQuad(c.x0, c.y0, c.x1, c.y1, D3DCOLOR_XRGB(255, 255, 255));
        const auto frame = Frame();
        int wrong = 0, covered = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool inside = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
                const bool lit = Pixel(frame, x, y)[0] == 255;
                covered += lit;
                wrong += inside != lit;
            }
        EXPECT_EQ(wrong, 0) << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1;
        EXPECT_EQ(covered, int((c.x1 - c.x0) * (c.y1 - c.y0)));
    }
}

TEST_F(D3D9RenderTest, PixelCentresOnSlopedEdgesFollowTheTopLeftRule) {
    // Diamonds on integer vertices, so many pixel centres lie exactly on their edges: such a
    // pixel is drawn only on a left edge (or a top one), never on a right edge. Edges up to
    // 1:2 from the vertical.
    struct Case {
        int halfX, halfY;
    };
    const int cx = kWidth / 2, cy = kHeight / 2;
    for (const Case& c : {Case{20, 20}, Case{27, 21}, Case{21, 27}, Case{24, 13}, Case{6, 24}}) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        const float top = float(cy - c.halfY), bottom = float(cy + c.halfY);
        const float left = float(cx - c.halfX), right = float(cx + c.halfX);
        const RhwVertex v[6] = {{float(cx), top, 0.5f, 1, 0xFFFFFFFF},    {right, float(cy), 0.5f, 1, 0xFFFFFFFF},
                                {float(cx), bottom, 0.5f, 1, 0xFFFFFFFF}, {float(cx), top, 0.5f, 1, 0xFFFFFFFF},
                                {float(cx), bottom, 0.5f, 1, 0xFFFFFFFF}, {left, float(cy), 0.5f, 1, 0xFFFFFFFF}};
        device_->SetFVF(kRhwFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(RhwVertex)), D3D_OK);
        const auto frame = Frame();
        // The diamond clockwise on screen; an edge is top-left when it runs up, or right along the top.
        const int corners[5][2] = {{cx, cy - c.halfY}, {cx + c.halfX, cy}, {cx, cy + c.halfY}, {cx - c.halfX, cy},
                                   {cx, cy - c.halfY}};
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool inside = true;
                for (int e = 0; e < 4; ++e) {
                    const int dx = corners[e + 1][0] - corners[e][0], dy = corners[e + 1][1] - corners[e][1];
                    const int side = dx * (y - corners[e][1]) - dy * (x - corners[e][0]);
                    inside = inside && (side > 0 || (side == 0 && (dy < 0 || (dy == 0 && dx > 0))));
                }
                wrong += inside != (Pixel(frame, x, y)[0] == 255);
            }
        EXPECT_EQ(wrong, 0) << "diamond " << c.halfX << " x " << c.halfY;
    }
}

TEST_F(D3D9RenderTest, CullingRemovesTheNamedWinding) {
    struct Case {
        DWORD cullMode;
        bool clockwiseDrawn, counterClockwiseDrawn;
    };
    const RhwVertex clockwise[3] = {{4, 4, 0.5f, 1, 0xFFFFFFFF}, {28, 4, 0.5f, 1, 0xFFFFFFFF}, {4, 28, 0.5f, 1, 0xFFFFFFFF}};
    const RhwVertex counter[3] = {{36, 4, 0.5f, 1, 0xFFFFFFFF}, {36, 28, 0.5f, 1, 0xFFFFFFFF}, {60, 4, 0.5f, 1, 0xFFFFFFFF}};
    for (const Case& c : {Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_NONE, true, true}}) {
        device_->SetRenderState(D3DRS_CULLMODE, c.cullMode);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        device_->SetFVF(kRhwFvf);
        device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(RhwVertex));
        device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(RhwVertex));
        const auto frame = Frame();
        EXPECT_EQ(Pixel(frame, 8, 8)[0] == 255, c.clockwiseDrawn) << "cull " << c.cullMode;
        EXPECT_EQ(Pixel(frame, 40, 8)[0] == 255, c.counterClockwiseDrawn) << "cull " << c.cullMode;
    }
}

TEST_F(D3D9RenderTest, TextureModulatesWithTextureFactor) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] =
                D3DCOLOR_ARGB(128, 200, 100, 50);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    const D3DCOLOR white = 0xFFFFFFFF;
    const Vertex v[4] = {{0, 0, 0.5f, 1, white, 0, 0}, {64, 0, 0.5f, 1, white, 1, 0},
                         {0, 64, 0.5f, 1, white, 0, 1}, {64, 64, 0.5f, 1, white, 1, 1}};
    struct Case {
        DWORD colorOp, arg1, arg2, alphaOp;
        D3DCOLOR factor;
        Rgba expected;
    };
    const Case cases[] = {
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DCOLOR_XRGB(128, 255, 64), {100, 100, 13, 128}},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, 0xFFFFFFFF, {200, 100, 50, 128}},
        {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DCOLOR_XRGB(1, 2, 3), {1, 2, 3, 128}},
        {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DCOLOR_XRGB(1, 2, 3), {255, 255, 255, 255}},
    };
    device_->SetTexture(0, texture);
    device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    for (const Case& c : cases) {
        device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colorOp);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
        device_->SetRenderState(D3DRS_TEXTUREFACTOR, c.factor);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex)), D3D_OK);
        EXPECT_TRUE(Near(Pixel(Frame(), 32, 32), c.expected, 1, true)) << "op " << c.colorOp;
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(D3D9RenderTest, GammaRampAppliesToThePresentedImage) {
    SetFrameCapture(device_, true);
    D3DGAMMARAMP ramp{};
    for (int i = 0; i < 256; ++i) {
        ramp.red[i] = WORD(std::min(65535, i * 512));  // doubles red
        ramp.green[i] = WORD(i * 257);                 // identity
        ramp.blue[i] = 0;                              // removes blue
    }
    struct Case {
        bool applyRamp;
        Rgba expected;
    };
    for (const Case& c : {Case{false, {100, 100, 100, 255}}, Case{true, {200, 100, 0, 255}}}) {
        if (c.applyRamp) device_->SetGammaRamp(0, D3DSGR_CALIBRATE, &ramp);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(100, 100, 100), 1.0f, 0);
        ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        PresentedFrame frame;
        ASSERT_TRUE(ReadPresentedFrame(device_, frame));
        ASSERT_EQ(frame.width, kWidth);
        ASSERT_EQ(frame.height, kHeight);
        EXPECT_TRUE(Near(Pixel(frame.rgba, 5, 7), c.expected, 0)) << "ramp " << c.applyRamp;
    }
    // The presented image keeps Direct3D's orientation (row 0 is the top), through the ramp
    // and through the plain copy that the identity ramp takes.
    for (bool identity : {false, true}) {
        if (identity) {
            for (int i = 0; i < 256; ++i) ramp.red[i] = ramp.green[i] = ramp.blue[i] = WORD(i * 257);
            device_->SetGammaRamp(0, D3DSGR_CALIBRATE, &ramp);
        }
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        DrawRhwQuad(0, 0, 8, 4, D3DCOLOR_XRGB(0, 100, 0));
        ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        PresentedFrame frame;
        ASSERT_TRUE(ReadPresentedFrame(device_, frame));
        EXPECT_TRUE(Near(Pixel(frame.rgba, 7, 3), {0, 100, 0, 255}, 0)) << "identity " << identity;
        EXPECT_TRUE(Near(Pixel(frame.rgba, 7, 4), {0, 0, 0, 255}, 0)) << "identity " << identity;
        EXPECT_TRUE(Near(Pixel(frame.rgba, 7, kHeight - 4), {0, 0, 0, 255}, 0)) << "identity " << identity;
    }
}

TEST_F(D3D9RenderTest, LostDeviceResetsAndRestores) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, kRhwFvf, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    SimulateDeviceLost(device_, 2);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Reset(&parameters_), D3DERR_DEVICELOST);  // still lost
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    // Drawing while lost succeeds and does nothing.
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    // Default-pool resources must go before a reset.
    EXPECT_EQ(device_->Reset(&parameters_), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    buffer->Release();
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    DWORD lighting = 0;
    device_->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, DWORD(TRUE));  // states are back to their defaults
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    DrawRhwQuad(0, 0, 16, 16, D3DCOLOR_XRGB(0, 255, 0));
    EXPECT_TRUE(Near(Pixel(Frame(), 8, 8), {0, 255, 0, 255}, 0));
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

}  // namespace

// The frame camera: its left-handed perspective and look-at matrices, its projection from
// the scene tuning, and the transforms it sets through the state cache.

#include "snowscape/frame_camera.h"

#include "snowscape/scene_settings.h"
#include "tests/render/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

D3DXVECTOR3 Transformed(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

TEST(FrameCameraTest, ProjectionIsTheLeftHandedPerspective) {
    struct Case {
        float fovDegrees, aspect, nearPlane, farPlane;
    };
    const Case cases[] = {{60, 4.0f / 3.0f, 10, 1300}, {70, 16.0f / 9.0f, 10, 1300}, {90, 1, 1, 100}, {30, 0.5f, 2, 50}};
    for (const Case& c : cases) {
        FrameCamera camera;
        camera.fov = c.fovDegrees * (1.0f / 180.0f) * 3.1415927f;
        camera.aspect = c.aspect;
        camera.nearPlane = c.nearPlane;
        camera.farPlane = c.farPlane;
        const D3DXMATRIX p = camera.ProjectionMatrix();
        const float yScale = 1.0f / std::tan(camera.fov / 2);
        const std::string what = std::to_string(c.fovDegrees);
        EXPECT_NEAR(p.m[0][0], yScale / c.aspect, 1e-5f) << what;
        EXPECT_NEAR(p.m[1][1], yScale, 1e-5f) << what;
        EXPECT_NEAR(p.m[2][2], c.farPlane / (c.farPlane - c.nearPlane), 1e-5f) << what;
        EXPECT_EQ(p.m[2][3], 1.0f) << what;
        EXPECT_NEAR(p.m[3][2], -c.nearPlane * c.farPlane / (c.farPlane - c.nearPlane), 1e-3f) << what;
        EXPECT_EQ(p.m[3][3], 0.0f) << what;
        // The near plane maps to depth 0, the far plane to 1, the top edge of the view to y 1.
        ExpectNear(Transformed(D3DXVECTOR3(0, 0, c.nearPlane), p), D3DXVECTOR3(0, 0, 0), 1e-5f, what);
        ExpectNear(Transformed(D3DXVECTOR3(0, 0, c.farPlane), p), D3DXVECTOR3(0, 0, 1), 1e-5f, what);
        const float top = c.nearPlane * std::tan(camera.fov / 2);
        EXPECT_NEAR(Transformed(D3DXVECTOR3(0, top, c.nearPlane), p).y, 1.0f, 1e-4f) << what;
        EXPECT_NEAR(Transformed(D3DXVECTOR3(top * c.aspect, 0, c.nearPlane), p).x, 1.0f, 1e-4f) << what;
    }
}

TEST(FrameCameraTest, ViewLooksAlongTheDirectionWithTheUpVector) {
    struct Case {
        const char* what;
        CameraPose pose;
        D3DXVECTOR3 right;  // up x direction, normalised
    };
    const Case cases[] = {
        {"origin", {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {1, 0, 0}},
        {"free camera", {{-370, 100, -250}, {0, 0, 1}, {0, 1, 0}}, {1, 0, 0}},
        {"looking along +x", {{5, 6, 7}, {1, 0, 0}, {0, 1, 0}}, {0, 0, -1}},
        {"long direction", {{1, 2, 3}, {0, 0, -4}, {0, 2, 0}}, {-1, 0, 0}},
        {"looking down", {{0, 100, 0}, {0, -1, 0}, {0, 0, 1}}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        FrameCamera camera;
        camera.pose = c.pose;
        const D3DXMATRIX view = camera.ViewMatrix();
        D3DXVECTOR3 forward = c.pose.direction, up = c.pose.up;
        D3DXVec3Normalize(&forward, &forward);
        D3DXVec3Normalize(&up, &up);
        ExpectNear(Transformed(c.pose.position, view), D3DXVECTOR3(0, 0, 0), 1e-3f, c.what);
        ExpectNear(Transformed(c.pose.position + forward * 5, view), D3DXVECTOR3(0, 0, 5), 1e-3f, c.what);
        ExpectNear(Transformed(c.pose.position + up * 3, view), D3DXVECTOR3(0, 3, 0), 1e-3f, c.what);
        ExpectNear(Transformed(c.pose.position + c.right * 2, view), D3DXVECTOR3(2, 0, 0), 1e-3f, c.what);
    }
}

TEST(FrameCameraTest, ProjectionTakesTheTuningAndTheClientAspect) {
    SceneSettings tuning;
    tuning.nearPlane = 12;
    tuning.fov = 1.2f;
    struct Case {
        int width, height;
        float aspect;
    };
    const Case cases[] = {{1024, 768, 1024.0f / 768.0f}, {800, 600, 800.0f / 600.0f}, {640, 0, 1}, {0, 0, 1}, {300, 600, 0.5f}};
    for (const Case& c : cases) {
        FrameCamera camera;
        camera.SetProjection(tuning, c.width, c.height);
        EXPECT_EQ(camera.nearPlane, 12.0f);
        EXPECT_EQ(camera.farPlane, 1300.0f);
        EXPECT_EQ(camera.fov, 1.2f);
        EXPECT_EQ(camera.aspect, c.aspect) << c.width << "x" << c.height;
        EXPECT_TRUE(std::isfinite(camera.ProjectionMatrix().m[0][0]));
    }
}

using FrameCameraDeviceTest = RecordedDeviceTest;

TEST_F(FrameCameraDeviceTest, ApplySetsWorldViewAndProjectionThroughTheCache) {
    FrameCamera camera;
    camera.aspect = 1.5f;
    camera.pose = {{10, 20, 30}, {0, 0, 1}, {0, 1, 0}};
    ASSERT_TRUE(camera.Apply());
    const std::vector<std::string> set = device->CallsOf("SetTransform");
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(set[0].rfind("SetTransform(256, [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1])", 0), 0u) << set[0];
    EXPECT_EQ(set[1].rfind("SetTransform(2, ", 0), 0u);
    EXPECT_EQ(set[2].rfind("SetTransform(3, ", 0), 0u);
    const D3DXMATRIX view = camera.ViewMatrix(), projection = camera.ProjectionMatrix();
    D3DMATRIX onDevice;
    ASSERT_EQ(device->GetTransform(D3DTS_VIEW, &onDevice), D3D_OK);
    EXPECT_TRUE(D3DXMATRIX(onDevice) == view);
    ASSERT_EQ(device->GetTransform(D3DTS_PROJECTION, &onDevice), D3D_OK);
    EXPECT_TRUE(D3DXMATRIX(onDevice) == projection);

    // The same camera again: the cache answers, the device hears nothing.
    device->ClearCalls();
    EXPECT_TRUE(camera.Apply());
    EXPECT_EQ(device->Count("SetTransform"), 0);
    // A moved camera changes the view only.
    camera.pose.position.x += 1;
    EXPECT_TRUE(camera.Apply());
    const std::vector<std::string> moved = device->CallsOf("SetTransform");
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].rfind("SetTransform(2, ", 0), 0u);

    // Without a device nothing is set.
    PublishDevice(nullptr);
    ResetStateCache();
    EXPECT_FALSE(camera.Apply());
}

}  // namespace

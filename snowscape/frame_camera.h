#pragma once
// FrameCamera: the camera one frame is drawn with: the projection (vertical field of view,
// aspect, near and far planes) and the pose (position, direction, up).
//
// The view looks from the position towards position + direction (left-handed look-at), the
// projection is the left-handed perspective of the field of view. Apply sets the world
// transform to identity and both camera matrices, all through the render-state cache.

#include "platform/d3dx/d3dx_math.h"
#include "snowscape/camera_pose.h"

struct SceneSettings;

struct FrameCamera {
    float nearPlane = 10.0f;
    float farPlane = 1300.0f;
    float fov = 60.0f * (1.0f / 180.0f) * 3.1415927f;  // radians, vertical
    float aspect = 1.0f;                                 // width / height
    CameraPose pose;

    // Near plane, far plane and field of view from the scene tuning, and the aspect of a
    // width x height client area (1 when the area has no height).
    void SetProjection(const SceneSettings& tuning, int width, int height);

    D3DXMATRIX ProjectionMatrix() const;
    D3DXMATRIX ViewMatrix() const;
    // World = identity, view and projection; false when the cache refused one (no device).
    bool Apply() const;
};

// The aspect of a client area: width / height as floats, 1 when height is not positive.
float ClientAspect(int width, int height);

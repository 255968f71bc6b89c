#include "snowscape/frame_camera.h"

#include "render/render_state_cache.h"
#include "snowscape/scene_settings.h"

float ClientAspect(int width, int height) {
    // A zero-height (minimised) client area would make the projection infinite.
    if (height <= 0) return 1.0f;
    return static_cast<float>(width) / static_cast<float>(height);
}

void FrameCamera::SetProjection(const SceneSettings& tuning, int width, int height) {
    nearPlane = tuning.nearPlane;
    farPlane = tuning.farPlane;
    fov = tuning.fov;
    aspect = ClientAspect(width, height);
}

D3DXMATRIX FrameCamera::ProjectionMatrix() const {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, nearPlane, farPlane);
    return projection;
}

D3DXMATRIX FrameCamera::ViewMatrix() const {
    D3DXMATRIX view;
    const D3DXVECTOR3 at = pose.position + pose.direction;
    D3DXMatrixLookAtLH(&view, &pose.position, &at, &pose.up);
    return view;
}

bool FrameCamera::Apply() const {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const bool world = SetWorldTransformCached(identity);
    const bool view = SetViewTransformCached(ViewMatrix());
    const bool projection = SetProjectionTransformCached(ProjectionMatrix());
    return world && view && projection;
}

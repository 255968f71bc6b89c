#include "snowscape/snowscape.h"

#include "core/clock.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/view_frustum.h"
#include "scene/scene_draw.h"
#include "snowscape/scene_settings.h"

#include <cstring>

const char* const kSceneFile = "/frostvale.udf";

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

D3DCOLOR ColorOf(const SceneColor& c) { return D3DCOLOR_COLORVALUE(c.r, c.g, c.b, c.a); }

}  // namespace

Snowscape::Snowscape() : scene_(std::make_unique<Scene>(&textures_)), roles_(std::make_unique<SceneRoles>()) {
    camera_.position = {-370, 100, -250};
    D3DXMatrixIdentity(&view_);
    D3DXMatrixIdentity(&projection_);
}

Snowscape::~Snowscape() {
    // The roles hold nodes of the scene; the scene's materials point into the texture cache.
    snow_.reset();
    roles_.reset();
    scene_.reset();
    textures_.Clear();
}

bool Snowscape::Create() {
    if (!LoadScene(*scene_, String(kMediaFolder) + kSceneFile)) Log("", "Cannot load frostvale.udf\n");
    Log("", "Hierarchy loaded\n");
    roles_->Assign(*scene_, SceneTuning(), NowMilliseconds());
    snow_ = std::make_unique<SnowSystem>();
    if (!snow_->CreateRenderer(textures_)) return false;
    snow_->InitialFill(camera_.position);
    return true;
}

void Snowscape::Start() { snow_->StartSpawnClock(); }

void Snowscape::DrawSnow() {
    if (snow_ == nullptr) return;
    snow_->Update(camera_);
    // Flakes live within 200 units of the camera: the lights that reach that far shade them.
    const float reach = 2 * kSnowRadius;
    scene_->Lights().EnableFor(CurrentDevice(), LightBox{camera_.position, D3DXVECTOR3(reach, reach, reach)});
    snow_->Draw();
}

void Snowscape::SetViewStates(int width, int height) {
    const SceneSettings& tuning = SceneTuning();
    const float aspect = height > 0 ? float(width) / float(height) : 1.0f;
    D3DXMatrixPerspectiveFovLH(&projection_, tuning.fov, aspect, tuning.nearPlane, tuning.farPlane);
    const D3DXVECTOR3 at = camera_.position + camera_.direction;
    D3DXMatrixLookAtLH(&view_, &camera_.position, &at, &camera_.up);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetWorldTransformCached(identity);
    SetViewTransformCached(view_);
    SetProjectionTransformCached(projection_);
    SetRenderStateCached(D3DRS_FILLMODE, D3DFILL_SOLID);
}

void Snowscape::DrawSky() {
    SceneNode* sky = roles_->Sky();
    if (sky == nullptr) return;
    SetRenderStateCached(D3DRS_ZWRITEENABLE, FALSE);
    SetRenderStateCached(D3DRS_ZENABLE, FALSE);
    SetRenderStateCached(D3DRS_FOGENABLE, FALSE);
    sky->LocalTransform().SetPosition(camera_.position);
    DrawContext context;
    context.cullingOff = true;
    context.nowMs = NowMilliseconds();
    DrawNode(*sky, context);
    SetRenderStateCached(D3DRS_ZENABLE, TRUE);
    SetRenderStateCached(D3DRS_ZWRITEENABLE, TRUE);
}

void Snowscape::DrawHierarchy() {
    const SceneSettings& tuning = SceneTuning();
    SetRenderStateCached(D3DRS_FOGENABLE, TRUE);
    SetRenderStateCached(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    SetRenderStateCached(D3DRS_FOGCOLOR, ColorOf(tuning.fogColor));
    SetRenderStateCached(D3DRS_FOGSTART, FloatBits(tuning.fogStart));
    SetRenderStateCached(D3DRS_FOGEND, FloatBits(tuning.fogEnd));
    SetRenderStateCached(D3DRS_RANGEFOGENABLE, TRUE);

    D3DXMATRIX viewProjection;
    D3DXMatrixMultiply(&viewProjection, &view_, &projection_);
    const ViewFrustum frustum(viewProjection);
    DrawContext context;
    context.queue = &scene_->Queue();
    context.frustum = &frustum;
    context.nowMs = NowMilliseconds();
    IDirect3DDevice9* device = CurrentDevice();
    scene_->Lights().UploadAll(device);
    DrawNode(scene_->Root(), context);
    scene_->Queue().Draw();
    context.queue = &billboardQueue_;
    for (auto& billboard : roles_->Billboards()) DrawNode(*billboard, context);
    billboardQueue_.Draw();
    DrawSnow();
    scene_->Lights().DisableAll(device);
}

bool Snowscape::Draw(int width, int height) {
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) return false;
    SetViewStates(width, height);
    if (FAILED(device->BeginScene())) return false;
    const SceneSettings& tuning = SceneTuning();
    SetRenderStateCached(D3DRS_ZENABLE, TRUE);
    SetSamplerStateCached(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    SetSamplerStateCached(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    SetSamplerStateCached(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    SetRenderStateCached(D3DRS_AMBIENT, ColorOf(tuning.ambient));
    const std::int64_t now = NowMilliseconds();
    roles_->UpdateBillboards(camera_);
    roles_->UpdateEffects(camera_, tuning, now);
    DrawSky();
    DrawHierarchy();
    device->EndScene();
    return true;
}

#include "snowscape/snowscape.h"

#include "core/clock.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/view_frustum.h"
#include "scene/mesh_batch.h"
#include "scene/scene_draw.h"
#include "snowscape/scene_settings.h"
#include "snowscape/text_overlay.h"

#include <algorithm>
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

Snowscape::Snowscape() : Snowscape(SceneTuning().animations) {}

Snowscape::Snowscape(const std::vector<String>& pathNames)
    : scene_(std::make_unique<Scene>(&textures_)), roles_(std::make_unique<SceneRoles>()), flight_(pathNames) {}

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
    flight_.PlaceFreeCamera();
    camera_.pose = PoseOf(flight_.FreeCamera());
    snow_->InitialFill(camera_.pose.position);
    fade_.Create();
    return true;
}

void Snowscape::Start() {
    snow_->StartSpawnClock();
    flight_.Start();
}

// The sky is drawn after the opaque scene, pinned to the far plane (a viewport depth range
// of 1 to 1), tested but not writing depth: it fills only the pixels that nothing opaque
// covers, which is the picture of drawing it first without a depth test, at a fraction of
// the fragments.
void Snowscape::DrawSky(std::int64_t nowMs) {
    SceneNode* sky = roles_->Sky();
    IDirect3DDevice9* device = CurrentDevice();
    if (sky == nullptr || device == nullptr) return;
    D3DVIEWPORT9 viewport{};
    if (FAILED(device->GetViewport(&viewport))) return;
    D3DVIEWPORT9 farPlane = viewport;
    farPlane.MinZ = farPlane.MaxZ = 1.0f;
    device->SetViewport(&farPlane);
    SetRenderStateCached(D3DRS_ZENABLE, TRUE);
    SetRenderStateCached(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    SetRenderStateCached(D3DRS_ZWRITEENABLE, FALSE);
    SetRenderStateCached(D3DRS_FOGENABLE, FALSE);
    sky->LocalTransform().SetPosition(camera_.pose.position);
    DrawContext context;
    context.cullingOff = true;
    context.nowMs = nowMs;
    DrawNode(*sky, context);
    device->SetViewport(&viewport);
    SetRenderStateCached(D3DRS_ZWRITEENABLE, TRUE);
    SetRenderStateCached(D3DRS_FOGENABLE, TRUE);
}

void Snowscape::DrawHierarchy(std::int64_t nowMs, bool warming) {
    const SceneSettings& tuning = SceneTuning();
    SetRenderStateCached(D3DRS_FOGENABLE, TRUE);
    SetRenderStateCached(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    SetRenderStateCached(D3DRS_FOGCOLOR, ColorOf(tuning.fogColor));
    SetRenderStateCached(D3DRS_FOGSTART, FloatBits(tuning.fogStart));
    SetRenderStateCached(D3DRS_FOGEND, FloatBits(tuning.fogEnd));
    SetRenderStateCached(D3DRS_RANGEFOGENABLE, TRUE);

    D3DXMATRIX viewProjection;
    const D3DXMATRIX view = camera_.ViewMatrix(), projection = camera_.ProjectionMatrix();
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    const ViewFrustum frustum(viewProjection);
    DrawContext context;
    context.queue = &scene_->Queue();
    context.frustum = warming ? nullptr : &frustum;  // warming draws every batch with every member
    context.nowMs = nowMs;
    IDirect3DDevice9* device = CurrentDevice();
    scene_->Lights().UploadAll(device);
    DrawNode(scene_->Root(), context);
    DrawQueuePass(scene_->Queue(), false, camera_.pose.position);
    DrawSky(nowMs);
    DrawQueuePass(scene_->Queue(), true, camera_.pose.position);
    context.queue = &billboardQueue_;
    for (auto& billboard : roles_->Billboards()) DrawNode(*billboard, context);
    billboardQueue_.Draw();
    DrawSnow(warming);
    scene_->Lights().DisableAll(device);
}

void Snowscape::DrawSnow(bool warming) {
    if (!warming) snow_->Update(camera_.pose);
    // Flakes live within kSnowRadius of the camera: the lights that reach that far shade them.
    const float reach = 2 * kSnowRadius;
    scene_->Lights().EnableFor(CurrentDevice(), LightBox{camera_.pose.position, D3DXVECTOR3(reach, reach, reach)});
    snow_->Draw();
}

bool Snowscape::BeginFrame() {
    IDirect3DDevice9* device = CurrentDevice();
    camera_.Apply();
    SetRenderStateCached(D3DRS_FILLMODE, D3DFILL_SOLID);
    if (FAILED(device->BeginScene())) return false;
    SetRenderStateCached(D3DRS_ZENABLE, TRUE);
    SetSamplerStateCached(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    SetSamplerStateCached(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    SetSamplerStateCached(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    SetRenderStateCached(D3DRS_AMBIENT, ColorOf(SceneTuning().ambient));
    return true;
}

void Snowscape::EndFrame(TextOverlay* overlay) {
    IDirect3DDevice9* device = CurrentDevice();
    // With a render scale the scene is stretched to the full size here: what follows (the
    // overlay) is drawn sharp.
    ResolveScaledScene(device);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (overlay != nullptr) overlay->Draw();
    device->EndScene();
}

bool Snowscape::Draw(int width, int height, TextOverlay* overlay) {
    if (CurrentDevice() == nullptr) return false;
    DrawCounters() = {};
    const SceneSettings& tuning = SceneTuning();
    camera_.SetProjection(tuning, width, height);
    const std::int64_t now = NowMilliseconds();
    camera_.pose = flight_.Update(now);
    roles_->UpdateBillboards(camera_.pose);
    roles_->UpdateEffects(camera_.pose, tuning, now);
    if (!BeginFrame()) return false;
    DrawHierarchy(now, false);
    if (const std::optional<float> alpha = flight_.FadeAlpha()) fade_.Draw(width, height, *alpha);
    EndFrame(overlay);
    return true;
}

void Snowscape::WarmUp(int width, int height) {
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) return;
    camera_.SetProjection(SceneTuning(), width, height);
    if (!BeginFrame()) return;
    // Programs are built by the draws whatever they cover: a corner of a few pixels keeps
    // the rasteriser's share of the warming close to nothing.
    D3DVIEWPORT9 viewport{};
    const bool corner = SUCCEEDED(device->GetViewport(&viewport));
    if (corner) {
        D3DVIEWPORT9 small = viewport;
        small.Width = std::min<DWORD>(viewport.Width, kWarmUpViewportSize);
        small.Height = std::min<DWORD>(viewport.Height, kWarmUpViewportSize);
        device->SetViewport(&small);
    }
    DrawHierarchy(NowMilliseconds(), true);
    fade_.Draw(width, height, 0.5f);
    if (corner) device->SetViewport(&viewport);
    EndFrame();
}

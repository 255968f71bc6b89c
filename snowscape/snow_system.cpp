#include "snowscape/snow_system.h"

#include "core/clock.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "render/render_texture.h"
#include "render/texture_cache.h"
#include "render/texture_resource.h"
#include "snowscape/scene_settings.h"

const char* const kSnowTextureFile = "/snowA_01.tga";

namespace {

constexpr std::int64_t kSpawnStepMs = 5;
// Spawn band ahead of the camera: sideways -100 ... 99, ahead 0 ... 299, height 50 ... 249.
constexpr int kSideRange = 200;
constexpr int kSideOffset = 100;
constexpr int kAheadRange = 300;
constexpr int kHeightRange = 200;
constexpr int kHeightBase = 50;
// A flake born closer to the lens than this would pop into view as a large blot; such a
// birth is dropped (after its random numbers are drawn, so the sequence stays the same).
constexpr float kClearOfLens = 25.0f;
// Keeps the integer box inside what a modulus of rand() can use.
constexpr float kLargestBox = 1.0e9f;

// SnowBox as the integer range of the randoms; 0 when it gives no range at all.
int BoxRange(float box) {
    if (!(box >= 1.0f)) return 0;
    if (box > kLargestBox) return int(kLargestBox);
    return int(box);
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

// Three box randoms, in x, y, z order, centred and normalised. With no range the drift is
// the zero vector: such flakes only fall.
D3DXVECTOR3 RandomDrift(int box) {
    const float half = float(box) * 0.5f;
    const float x = float(RandomBelow(box)) - half;
    const float y = float(RandomBelow(box)) - half;
    const float z = float(RandomBelow(box)) - half;
    if (box == 0) return D3DXVECTOR3(0, 0, 0);
    return Normalized(D3DXVECTOR3(x, y, z));
}

}  // namespace

SnowTuning SnowTuningFrom(const SceneSettings& settings) {
    SnowTuning tuning;
    tuning.maxFlakes = settings.maxFlakes;
    tuning.spawnRate = settings.snowSpawn;
    tuning.fallStep = settings.fallStep;
    tuning.strafe = settings.snowStrafe;
    tuning.box = settings.snowBox;
    return tuning;
}

SnowSystem::SnowSystem() : SnowSystem(SnowTuningFrom(SceneTuning())) {}

SnowSystem::SnowSystem(const SnowTuning& tuning) : tuning_(tuning) {}

SnowSystem::~SnowSystem() = default;

bool SnowSystem::CreateRenderer(TextureCache& textures) {
    block_ = nullptr;
    drawnFlakes_ = 0;
    renderer_.Reset();

    RendererDescription description;
    TextureResource* texture = textures.Get(TextureRequest().FileName(String(kMediaFolder) + kSnowTextureFile));
    if (texture == nullptr) Log("", String("Error: snow texture ") + kSnowTextureFile + " could not be loaded\n");
    description.state.texture = texture;
    // Lit by the scene lights and the ambient light through the flake normals; a white
    // material keeps the texture's own colour.
    description.state.material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    description.state.material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    description.state.alphaMode = 2;  // alpha from the texture, test >= 1
    description.state.blendType = 1;  // additive
    description.state.depthMode = 1;
    description.state.twoSided = false;
    description.vertices = VertexDescription(kSnowFvf, sizeof(SnowVertex), kSnowBufferMinimum);
    description.vertices.minimumSize = kSnowBufferMinimum;
    description.vertices.usage = D3DUSAGE_DYNAMIC;
    description.vertices.flags |= kBufferMinimumGiven | kBufferUsageGiven;
    description.primitiveType = D3DPT_TRIANGLELIST;
    description.standalone = true;

    SharedRef<RenderVertices> renderer(new RenderVertices());
    if (!renderer->Assemble(description)) return false;
    renderer->SetLit(true);
    renderer_ = renderer;
    Log("", "Snow renderer created\n");
    return true;
}

void SnowSystem::InitialFill(const D3DXVECTOR3& cameraPosition) {
    const int box = BoxRange(tuning_.box);
    const float half = float(box) * 0.5f;
    for (int i = 0; i < kInitialFlakes; ++i) {
        Flake flake;
        flake.position.x = float(RandomBelow(box)) - half + cameraPosition.x;
        flake.position.y = float(RandomBelow(box)) + cameraPosition.y;
        flake.position.z = float(RandomBelow(box)) - half + cameraPosition.z;
        flake.drift = RandomDrift(box);
        flakes_.Insert(flake);
    }
}

void SnowSystem::StartSpawnClock() { spawnStart_ = NowMilliseconds(); }

void SnowSystem::Spawn(int count, const D3DXVECTOR3& forward, const D3DXVECTOR3& right,
                       const D3DXVECTOR3& camera) {
    const int box = BoxRange(tuning_.box);
    for (int i = 0; i < count; ++i) {
        const float side = float(Random() % kSideRange - kSideOffset);
        const float ahead = float(Random() % kAheadRange);
        Flake flake;
        flake.position.x = right.x * side + forward.x * ahead + camera.x;
        flake.position.z = right.z * side + forward.z * ahead + camera.z;
        flake.position.y = float(Random() % kHeightRange + kHeightBase);
        flake.drift = RandomDrift(box);
        const D3DXVECTOR3 offset = flake.position - camera;
        if (D3DXVec3LengthSq(&offset) < kClearOfLens * kClearOfLens) continue;
        flakes_.Insert(flake);
    }
}

bool SnowSystem::Update(const CameraPose& camera) {
    const std::int64_t now = NowMilliseconds();
    const std::int64_t elapsed = now - spawnStart_;
    const std::int64_t steps = elapsed / kSpawnStepMs;
    const std::int64_t rest = elapsed % kSpawnStepMs;

    const D3DXVECTOR3 halfUp = Normalized(camera.up) * 0.5f;
    D3DXVECTOR3 cross;
    D3DXVec3Cross(&cross, &camera.direction, &camera.up);
    const D3DXVECTOR3 halfRight = Normalized(cross) * -0.5f;
    D3DXVECTOR3 view = Normalized(camera.direction);

    // Flakes earned by the elapsed steps, truncated towards zero. One batch holds at most
    // maxFlakes flakes, so a long stall of the clock cannot flood the list.
    // The product is taken in single precision, like every other snow quantity.
    const double wanted = double(float(steps) * tuning_.spawnRate);
    const int batchLimit = tuning_.maxFlakes > 1 ? tuning_.maxFlakes : 1;
    int spawnCount = 0;
    if (wanted >= 1.0) spawnCount = wanted >= double(batchLimit) ? batchLimit : int(wanted);
    else if (wanted <= -1.0) spawnCount = -1;

    if (spawnCount != 0) {
        view.y = 0;  // used flattened, and not normalised again, for the rest of the frame
        const D3DXVECTOR3 forward = Normalized(view);
        const D3DXVECTOR3 right = Normalized(halfRight);
        if (flakes_.Count() < tuning_.maxFlakes && spawnCount > 0) Spawn(spawnCount, forward, right, camera.position);
    }
    // Whole steps are spent whether or not they produced a flake; the part step carries.
    spawnStart_ = now - rest;

    return WriteFlakes(camera.position, halfUp, halfRight, view);
}

bool SnowSystem::WriteFlakes(const D3DXVECTOR3& camera, const D3DXVECTOR3& halfUp, const D3DXVECTOR3& halfRight,
                             const D3DXVECTOR3& view) {
    drawnFlakes_ = 0;
    if (!renderer_) return false;
    DynamicBatchBuffer* buffer = renderer_->Vertices();
    if (buffer == nullptr) return false;
    if (block_ != nullptr) buffer->Free(block_, false);
    block_ = nullptr;

    const int count = flakes_.Count();
    if (count == 0) return true;  // nothing to fill, nothing to draw
    const UINT bytes = UINT(count) * kSnowBytesPerFlake;
    block_ = buffer->Allocate(bytes, this, nullptr);
    if (block_ == nullptr) return false;
    void* data = nullptr;
    if (!buffer->Lock(block_->offset, bytes, D3DLOCK_DISCARD, &data) || data == nullptr) {
        buffer->Free(block_, false);
        block_ = nullptr;
        return false;
    }

    struct Corner {
        D3DXVECTOR3 offset;
        float u, v;
    };
    const Corner corners[kSnowVerticesPerFlake] = {
        {-halfUp - halfRight, 0, 1}, {halfUp - halfRight, 0, 0}, {halfUp + halfRight, 1, 0},
        {-halfUp - halfRight, 0, 1}, {halfUp + halfRight, 1, 0}, {halfRight - halfUp, 1, 1},
    };

    auto* out = static_cast<SnowVertex*>(data);
    for (int i = 0; i < count; ++i) {
        Flake& flake = flakes_.Current();
        flake.position += flake.drift * tuning_.strafe;
        flake.position.y -= tuning_.fallStep;
        const D3DXVECTOR3 rel = flake.position - camera;
        const bool remove = D3DXVec3Dot(&rel, &view) < 0.0f || D3DXVec3Length(&rel) > kSnowRadius ||
                            flake.position.y < 0.0f;
        // A flake taken out this frame is drawn once more where it ended.
        for (const Corner& corner : corners) {
            *out++ = SnowVertex{flake.position.x + corner.offset.x,
                                flake.position.y + corner.offset.y,
                                flake.position.z + corner.offset.z,
                                view.x,
                                view.y,
                                view.z,
                                corner.u,
                                corner.v};
        }
        if (remove) flakes_.RemoveAtCursor();
        flakes_.Advance();
    }
    if (!buffer->Unlock()) return false;
    drawnFlakes_ = count;
    return true;
}

bool SnowSystem::Draw() {
    if (!renderer_ || drawnFlakes_ == 0 || block_ == nullptr) return true;
    renderer_->SetDrawRange(block_->offset, UINT(drawnFlakes_) * kSnowBytesPerFlake);
    return renderer_->Draw();
}

#pragma once
// SnowSystem: the falling snow around the camera. Flakes are camera-facing unit quads kept
// in a RingList; every frame new flakes are born in a band ahead of the camera (as many as
// the spawn clock has earned, save those that would appear right at the lens), every flake
// drifts and sinks by a fixed step, flakes that
// end behind the camera, beyond 200 units or below the ground are taken out, and one
// dynamic vertex buffer is written from scratch with six vertices per flake. Random numbers
// come from the shared generator in a fixed order, so a seed replays the same snow.

#include "core/ring_list.h"
#include "core/shared_ref.h"
#include "platform/d3dx/d3dx_math.h"
#include "render/render_vertices.h"
#include "snowscape/camera_pose.h"

#include <cstdint>
#include <memory>

class TextureCache;
struct SceneSettings;

// One flake: the centre of its quad and the unit direction it drifts along.
struct Flake {
    D3DXVECTOR3 position;
    D3DXVECTOR3 drift;
};

// The vertex the snow is drawn from: D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
struct SnowVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(SnowVertex) == 32);

constexpr DWORD kSnowFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr int kSnowVerticesPerFlake = 6;
constexpr UINT kSnowBytesPerFlake = kSnowVerticesPerFlake * sizeof(SnowVertex);  // 192
constexpr UINT kSnowBufferMinimum = 1000 * kSnowBytesPerFlake;                  // 192000
constexpr float kSnowRadius = 200.0f;  // flakes farther from the camera are taken out
constexpr int kInitialFlakes = 100;
extern const char* const kSnowTextureFile;  // "/snowA_01.tga"

// The scene values the snow runs on.
struct SnowTuning {
    int maxFlakes = 1000;     // no batch starts once the list holds this many
    float spawnRate = 1.0f;   // flakes per 5 ms
    float fallStep = 0.13f;   // world units per frame, downwards
    float strafe = 0.04f;     // world units per frame along the drift
    float box = 300.0f;       // range of the drift randoms and of the initial fill
};
SnowTuning SnowTuningFrom(const SceneSettings& settings);

class SnowSystem {
public:
    // Tuning from the process-wide scene record.
    SnowSystem();
    explicit SnowSystem(const SnowTuning& tuning);
    ~SnowSystem();
    SnowSystem(const SnowSystem&) = delete;
    SnowSystem& operator=(const SnowSystem&) = delete;

    // Loads the flake texture through textures and makes the lit, additive snow renderer.
    // A texture that cannot be loaded leaves the flakes untextured (an "Error: " log line);
    // false only when the renderer's buffer cannot be configured. Logs
    // "Snow renderer created\n" on success. The cache must outlive the snow system.
    bool CreateRenderer(TextureCache& textures);
    // kInitialFlakes flakes in the box around the start camera's position.
    void InitialFill(const D3DXVECTOR3& cameraPosition);
    // Starts the spawn clock now; Update spawns for the time since then.
    void StartSpawnClock();
    // One frame: spawn, move, take out, and write the vertex buffer. False when there is no
    // renderer or the buffer could not be made or locked; the flakes then stay where they
    // were (new ones are kept) and nothing is drawn this frame.
    bool Update(const CameraPose& camera);
    // Draws the vertices written by the last Update as one triangle list. True when there
    // was nothing to draw.
    bool Draw();

    int FlakeCount() const { return flakes_.Count(); }
    // Flakes in the buffer written by the last successful Update (0 after a failed one).
    int DrawnFlakes() const { return drawnFlakes_; }
    // Every flake once, from the list's head (not from the cursor).
    template <typename Visit>
    void ForEachFlake(Visit&& visit) const {
        flakes_.ForEachFromHead(visit);
    }
    // Links a flake after the cursor, as a birth does (tests, benchmarks).
    void AddFlake(const Flake& flake) { flakes_.Insert(flake); }

    const SnowTuning& Tuning() const { return tuning_; }
    RenderVertices* Renderer() const { return renderer_.Get(); }

private:
    void Spawn(int count, const D3DXVECTOR3& forward, const D3DXVECTOR3& right, const D3DXVECTOR3& camera);
    bool WriteFlakes(const D3DXVECTOR3& camera, const D3DXVECTOR3& halfUp, const D3DXVECTOR3& halfRight,
                     const D3DXVECTOR3& view);

    SnowTuning tuning_;
    RingList<Flake> flakes_;
    std::int64_t spawnStart_ = 0;
    SharedRef<RenderVertices> renderer_;
    BufferBlock* block_ = nullptr;
    int drawnFlakes_ = 0;
};

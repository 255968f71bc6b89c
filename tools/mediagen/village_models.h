#pragma once
// The village's models as meshes in their own frames, one mesh per material, ready to be
// placed by a node matrix: houses, the church, firs, the snowman, lamps, fences, the well,
// woodpiles, the ground, the pond, the sky dome and the hills backdrop, and the flat quads
// of the glow, dust and sparkle sprites (in the x-z plane, facing +y).

#include "tools/mediagen/mesh_builder.h"
#include "tools/mediagen/village_layout.h"

#include <string>
#include <vector>

struct ModelPart {
    std::string name;      // appended to the model's name
    std::string material;  // a name of the material table (scene_geometry.cpp)
    MeshBuilder mesh;
};

// A window in a model's frame: the centre of its pane and the way it faces.
struct WindowSpot {
    Vec3 centre;
    Vec3 normal;
    bool lit;
};

std::vector<ModelPart> HouseModel(const HousePlan& house, int index, std::vector<WindowSpot>* windows);
std::vector<ModelPart> ChurchModel(std::vector<WindowSpot>* windows);
MeshBuilder FirCrown(const FirPlan& fir);
MeshBuilder FirTrunk(const FirPlan& fir);
std::vector<ModelPart> SnowmanModel();
std::vector<ModelPart> WellModel();
std::vector<ModelPart> LampModel();
std::vector<ModelPart> FenceModel(const FenceLine& line);  // in world coordinates
std::vector<ModelPart> WoodpileModel();
// The ground between (x0, z0) and (x1, z1) in world coordinates, cells of the given size.
MeshBuilder GroundTile(float x0, float z0, float x1, float z1, float cell);
MeshBuilder PondIce(float radiusX, float radiusZ);
MeshBuilder PondBank(float radiusX, float radiusZ);
MeshBuilder SkyDome(float radius);
MeshBuilder HillsRing(float radius, float bottom, float top);
// A square of the given size centred on the origin: in the x-z plane facing +y, or (upright)
// in the x-y plane facing -z.
MeshBuilder SpriteQuad(float size, bool upright);

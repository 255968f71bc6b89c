// The village scene as a "UDF Binary 1.0" file: root elements "Children" (the nodes),
// "Materials" and "Lights".
//
// Every node carries "NodeTM" (its place relative to its parent) and "ObjectTM" (identity);
// meshes carry their vertices in the node's frame. Meshes of one material batch together, so
// the whole village shares a score of materials. Node names give the engine's roles: the
// sky ("Sky"), firs that sway ("Fir…"), snow dust ("DustFace…", "Dust…"), sparkles
// ("BlissFace…", "Bliss…") and glow sprites that face the camera ("…Follow…").

#include "tools/mediagen/scene_geometry.h"

#include "scene/udf_writer.h"
#include "tools/mediagen/image.h"
#include "tools/mediagen/village_layout.h"
#include "tools/mediagen/village_models.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

constexpr float kPi = 3.14159265f;
constexpr std::int32_t kFvfPositionNormalUv = 0x112;         // XYZ | NORMAL | TEX1, 32 bytes
constexpr std::int32_t kFvfPositionNormalColourUv = 0x152;   // XYZ | NORMAL | DIFFUSE | TEX1, 36 bytes
constexpr std::int32_t kFvfPositionUv = 0x102;               // XYZ | TEX1, 20 bytes
constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

using Node = UdfWriter::Node;

struct Matrix {
    float m[16];
};

// Turned by angle about y, then moved to position.
Matrix Placement(float angle, Vec3 position) {
    const float c = std::cos(angle), s = std::sin(angle);
    return {{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, position.x, position.y, position.z, 1}};
}

// Axes x, y, z as rows, then the position.
Matrix Frame(Vec3 x, Vec3 y, Vec3 z, Vec3 position) {
    return {{x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, position.x, position.y, position.z, 1}};
}

// "Props" words: a text value per key, or a set of words.
struct Prop {
    const char* key;
    std::initializer_list<const char*> words;  // one word: a value; several (or a set): children
    bool set;
};

void AddProps(Node* element, std::initializer_list<Prop> props) {
    Node* container = element->AddContainer("Props", "");
    for (const Prop& p : props) {
        if (!p.set) {
            container->AddString(p.key, *p.words.begin());
            continue;
        }
        Node* words = container->AddContainer(p.key, "");
        int i = 0;
        for (const char* w : p.words) words->AddString(std::to_string(i++).c_str(), w);
    }
}

struct SceneStats {
    int meshes = 0;
    std::size_t triangles = 0;
};

Node* AddMesh(Node* children, const std::string& name, const std::string& material, const MeshBuilder& mesh,
              const Matrix& placement, std::int32_t fvf, SceneStats& stats) {
    Node* node = children->AddContainer(name.c_str(), "Mesh");
    node->AddMatrix("NodeTM", placement.m);
    node->AddMatrix("ObjectTM", kIdentity);
    node->AddString("MaterialName", material.c_str());
    node->AddInt("FVF", fvf);
    const auto& vertices = mesh.Vertices();
    const auto& indices = mesh.Indices();
    node->AddInt("NumVerts", static_cast<std::int32_t>(vertices.size()));
    node->AddInt("NumIndexes", static_cast<std::int32_t>(indices.size()));
    std::vector<std::uint8_t> bytes;
    auto put = [&](const void* data, std::size_t size) {
        const auto* b = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), b, b + size);
    };
    for (const MeshVertex& v : vertices) {
        put(&v.position, 12);
        if (fvf & 0x10) put(&v.normal, 12);
        if (fvf & 0x40) {
            const std::uint32_t white = 0xFFFFFFFFu;
            put(&white, 4);
        }
        const float uv[2] = {v.u, v.v};
        put(uv, 8);
    }
    node->AddLeaf("Verts", "", std::move(bytes));
    std::vector<std::int32_t> ints(indices.begin(), indices.end());
    node->AddInts("Indexes", ints.data(), ints.size());
    ++stats.meshes;
    stats.triangles += mesh.TriangleCount();
    return node;
}

Node* AddDummy(Node* children, const char* name, const Matrix& placement) {
    Node* node = children->AddContainer(name, "Dummy");
    node->AddMatrix("NodeTM", placement.m);
    node->AddMatrix("ObjectTM", kIdentity);
    return node;
}

std::string Numbered(const char* stem, int n, int width = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%0*d", stem, width, n);
    return text;
}

// Parts of a model as meshes under a group, with plain "Props" (windows and lanterns unlit).
void AddParts(Node* children, const std::string& stem, const std::vector<ModelPart>& parts, const Matrix& placement,
              SceneStats& stats) {
    for (const ModelPart& part : parts) {
        if (part.mesh.Empty()) continue;
        Node* mesh = AddMesh(children, stem + part.name, part.material, part.mesh, placement, kFvfPositionNormalUv, stats);
        const bool unlit = part.material == "WindowLit" || part.material == "WindowDark" || part.material == "LampGlass";
        if (unlit) AddProps(mesh, {{"lit", {"0"}, false}});
        else AddProps(mesh, {});
    }
}

// Materials: colours (red, green, blue, alpha), the texture file, and how the faces show.
struct MaterialSpec {
    const char* name;
    const char* texture;  // null: colour only
    float diffuse[3];
    float emissive;
    bool twoSided;
    bool opacity;  // the texture's alpha also listed as an "Opacity" map
};

const MaterialSpec kMaterials[] = {
    {"Snow", "snow.jpg", {1, 1, 1}, 0.28f, false, false},
    {"Logs", "logs.jpg", {1, 0.96f, 0.9f}, 0.1f, false, false},
    {"Shingles", "shingles.jpg", {1, 1, 1}, 0.08f, false, false},
    {"Stone", "stone.jpg", {1, 1, 1}, 0.12f, false, false},
    {"Planks", "planks.jpg", {1, 1, 1}, 0.1f, false, false},
    {"Bark", "bark.jpg", {1, 1, 1}, 0.08f, false, false},
    {"Needles", "needles.jpg", {0.9f, 1, 0.92f}, 0.1f, true, false},
    {"Ice", "ice.jpg", {1, 1, 1}, 0.25f, false, false},
    {"WindowLit", "window_lit.png", {1, 1, 1}, 0, false, false},
    {"WindowDark", "window_dark.png", {1, 1, 1}, 0, false, false},
    {"Sky", "sky.jpg", {1, 1, 1}, 0, true, false},
    {"Hills", "hills.png", {1, 1, 1}, 0, true, true},
    {"Glow", "glow.png", {1, 0.9f, 0.7f}, 0, true, true},
    {"SnowDust", "dust.png", {1, 1, 1}, 0, true, true},
    {"Sparkle", "sparkle.tga", {1, 1, 1}, 0, true, true},
    {"Carrot", nullptr, {0.95f, 0.45f, 0.1f}, 0.15f, false, false},
    {"Scarf", nullptr, {0.75f, 0.1f, 0.12f}, 0.1f, false, false},
    {"Coal", nullptr, {0.08f, 0.08f, 0.09f}, 0, false, false},
    {"Iron", nullptr, {0.16f, 0.16f, 0.18f}, 0, false, false},
    {"LampGlass", nullptr, {1, 0.86f, 0.55f}, 1, false, false},
};

void AddTextureEntry(Node* textures, const char* kind, const char* file) {
    Node* entry = textures->AddContainer(kind, kind);
    entry->AddString("FileName", file);
    entry->AddString("FilePath", (std::string("maps/") + file).c_str());
    entry->AddString("TexAddrU", "Wrap");
    entry->AddString("TexAddrV", "Wrap");
    entry->AddInt("MapChannel", 1);
    entry->AddReal("Amount", 1.0f);
}

void AddMaterials(Node* root) {
    Node* materials = root->AddContainer("Materials", "Material");
    for (const MaterialSpec& m : kMaterials) {
        Node* material = materials->AddContainer(m.name, "Material");
        const float diffuse[4] = {m.diffuse[0], m.diffuse[1], m.diffuse[2], 1};
        const float emissive[4] = {m.emissive * m.diffuse[0], m.emissive * m.diffuse[1], m.emissive * m.diffuse[2], 1};
        const float specular[4] = {0, 0, 0, 1};
        material->AddColor("Ambient", diffuse);
        material->AddColor("Diffuse", diffuse);
        material->AddColor("Specular", specular);
        material->AddColor("Emissive", emissive);
        if (m.twoSided) material->AddInt("TwoSided", 1);
        if (!m.texture) continue;
        Node* textures = material->AddContainer("Textures", "Texture");
        AddTextureEntry(textures, "Diffuse", m.texture);
        if (m.opacity) AddTextureEntry(textures, "Opacity", m.texture);
    }
}

// Lights: type name gives the kind; "Diffuse" is stored alpha, red, green, blue.
Node* AddLight(Node* lights, const std::string& name, const char* kind, Vec3 position, Vec3 direction, Vec3 colour,
               float attStart, float attEnd) {
    // The light shines along (0, -1, 0) of its frame, so the frame's y axis is -direction.
    const Vec3 y = Normalize(direction) * -1.0f;
    Vec3 x = Cross(y, {0, 0, 1});
    if (Length(x) < 0.1f) x = Cross(y, {1, 0, 0});
    x = Normalize(x);
    const Vec3 z = Normalize(Cross(x, y));
    Node* light = lights->AddContainer(name.c_str(), kind);
    light->AddMatrix("NodeTM", Frame(x, y, z, position).m);
    light->AddMatrix("ObjectTM", kIdentity);
    const float diffuse[4] = {1, colour.x, colour.y, colour.z};
    const float specular[4] = {1, 0, 0, 0};
    light->AddColor("Diffuse", diffuse);
    light->AddColor("Specular", specular);
    light->AddInt("Active", 1);
    if (attStart > 0) light->AddReal("AttStart", attStart);
    if (attEnd > 0) light->AddReal("AttEnd", attEnd);
    return light;
}

}  // namespace

bool WriteSceneGeometry(const std::string& mediaDir) {
    const VillageLayout& village = Village();
    UdfWriter writer;
    Node* root = writer.Root();
    Node* children = root->AddContainer("Children", "Node");
    SceneStats stats;
    const Matrix identity = Placement(0, {});

    // The sky: a dome and a ring of distant hills, both drawn around the camera.
    {
        Node* sky = AddDummy(children, "Sky", identity);
        AddProps(sky, {{"lit", {"0"}, false}, {"MipFilter", {"none"}, false}, {"Usage", {"static"}, true}});
        Node* parts = sky->AddContainer("Children", "Node");
        AddProps(AddMesh(parts, "SkyDome", "Sky", SkyDome(1000), identity, kFvfPositionUv, stats), {});
        AddProps(AddMesh(parts, "SkyHills", "Hills", HillsRing(900, -110, 120), identity, kFvfPositionUv, stats), {});
    }
    // The ground in tiles, so that those behind the camera are left out.
    const int tiles = 6;
    const float tile = 2 * kGroundExtent / tiles;
    for (int j = 0; j < tiles; ++j) {
        for (int i = 0; i < tiles; ++i) {
            const float x0 = -kGroundExtent + tile * i, z0 = -kGroundExtent + tile * j;
            Node* ground = AddMesh(children, Numbered("Ground", j * tiles + i), "Snow",
                                   GroundTile(x0, z0, x0 + tile, z0 + tile, 80), identity, kFvfPositionNormalUv, stats);
            AddProps(ground, {{"Usage", {"static", "vb_writeonly", "ib_writeonly"}, true}});
        }
    }
    AddProps(AddMesh(children, "PondIce", "Ice", PondIce(village.pondRadiusX, village.pondRadiusZ),
                     Placement(0, village.pondCentre), kFvfPositionNormalUv, stats), {});
    AddProps(AddMesh(children, "PondBank", "Snow", PondBank(village.pondRadiusX, village.pondRadiusZ),
                     Placement(0, village.pondCentre), kFvfPositionNormalUv, stats), {});

    // Houses and the church, each a group whose meshes take their settings from it.
    struct Glow {
        Vec3 position;
        bool lamp;
    };
    std::vector<Glow> glows;
    std::vector<std::pair<Vec3, Vec3>> windowLights;  // position, facing
    for (std::size_t h = 0; h < village.houses.size(); ++h) {
        const HousePlan& plan = village.houses[h];
        const std::string stem = Numbered("House", static_cast<int>(h) + 1);
        Node* house = AddDummy(children, stem.c_str(), Placement(plan.angle, plan.position));
        AddProps(house, {{"Usage", {"static"}, true}, {"MipFilter", {"linear"}, false}});
        std::vector<WindowSpot> windows;
        const std::vector<ModelPart> parts = HouseModel(plan, static_cast<int>(h), &windows);
        AddParts(house->AddContainer("Children", "Node"), stem, parts, identity, stats);
        for (const WindowSpot& w : windows) {
            if (!w.lit || w.normal.z > -0.5f) continue;  // street-side lit windows glow
            const Vec3 at = PlaceLocal(w.centre + w.normal * 3.0f, plan.angle, plan.position);
            glows.push_back({at, false});
            if (h % 2 == 0) windowLights.push_back({PlaceLocal(w.centre + w.normal * 10.0f, plan.angle, plan.position),
                                                    RotateY(w.normal, plan.angle)});
        }
    }
    {
        Node* church = AddDummy(children, "Church", Placement(village.church.angle, village.church.position));
        AddProps(church, {{"Usage", {"static"}, true}, {"MipFilter", {"linear"}, false}});
        AddParts(church->AddContainer("Children", "Node"), "Church", ChurchModel(nullptr), identity, stats);
    }
    // Lamps, fences, the well and the snowman.
    {
        Node* lamps = AddDummy(children, "Lamps", identity);
        AddProps(lamps, {{"Usage", {"static"}, true}});
        Node* list = lamps->AddContainer("Children", "Node");
        const std::vector<ModelPart> lamp = LampModel();
        for (std::size_t i = 0; i < village.lamps.size(); ++i) {
            AddParts(list, Numbered("Lamp", static_cast<int>(i) + 1), lamp, Placement(0, village.lamps[i]), stats);
            glows.push_back({village.lamps[i] + Vec3{0, 42, 0}, true});
        }
        Node* fences = AddDummy(children, "Fences", identity);
        AddProps(fences, {{"Usage", {"static"}, true}});
        Node* rails = fences->AddContainer("Children", "Node");
        for (std::size_t i = 0; i < village.fences.size(); ++i)
            AddParts(rails, Numbered("Fence", static_cast<int>(i) + 1), FenceModel(village.fences[i]), identity, stats);
        Node* well = AddDummy(children, "Well", Placement(0.4f, village.well));
        AddProps(well, {{"Usage", {"static"}, true}});
        AddParts(well->AddContainer("Children", "Node"), "Well", WellModel(), identity, stats);
        Node* snowman = AddDummy(children, "Snowman", Placement(2.6f, village.snowman));
        AddProps(snowman, {{"Usage", {"static"}, true}});
        AddParts(snowman->AddContainer("Children", "Node"), "Snowman", SnowmanModel(), identity, stats);
    }
    // Woodpiles against the houses' gable ends.
    for (std::size_t h = 0; h < village.houses.size(); h += 2) {
        const HousePlan& plan = village.houses[h];
        const Vec3 local{-(plan.width / 2 + 8), 0, 0};
        AddParts(children, Numbered("Woodpile", static_cast<int>(h / 2) + 1), WoodpileModel(),
                 Placement(plan.angle + kPi / 2, PlaceLocal(local, plan.angle, plan.position)), stats);
    }
    // Firs: the crown sways about its foot; the trunk stands still.
    for (std::size_t i = 0; i < village.firs.size(); ++i) {
        const FirPlan& fir = village.firs[i];
        const Matrix at = Placement(static_cast<float>(i) * 2.39996f, fir.position);
        AddProps(AddMesh(children, Numbered("Fir", static_cast<int>(i) + 1, 3), "Needles", FirCrown(fir), at,
                         kFvfPositionNormalUv, stats), {});
        AddProps(AddMesh(children, Numbered("Trunk", static_cast<int>(i) + 1, 3), "Bark", FirTrunk(fir), at,
                         kFvfPositionNormalUv, stats), {});
    }
    // Glow sprites at lamps and lit windows: they turn to the camera and are added on top.
    for (std::size_t i = 0; i < glows.size(); ++i) {
        const std::string name = Numbered(glows[i].lamp ? "LampFollow" : "WindowFollow", static_cast<int>(i) + 1);
        Node* glow = AddMesh(children, name, "Glow", SpriteQuad(glows[i].lamp ? 22 : 16, false),
                             Placement(0, glows[i].position), kFvfPositionNormalColourUv, stats);
        AddProps(glow, {{"Blend", {"additive"}, false}, {"lit", {"0"}, false}, {"MipFilter", {"none"}, false},
                        {"AlphaUse", {"texture"}, true}});
    }
    // Snow dust blown off the roof ridges and the tops of some firs, drifting with the wind.
    const Vec3 wind = Normalize({1, 0, 0.35f});
    const Matrix windFrame = Frame(Normalize(Cross({0, 1, 0}, wind)), {0, 1, 0}, wind, {});
    auto windAt = [&](Vec3 p) {
        Matrix m = windFrame;
        m.m[12] = p.x, m.m[13] = p.y, m.m[14] = p.z;
        return m;
    };
    auto effectProps = [](Node* node) {
        AddProps(node, {{"lit", {"0"}, false}, {"Blend", {"additive"}, false}, {"AlphaUse", {"factor", "texture"}, true},
                        {"Alpha", {"0"}, false}});
    };
    int dust = 0;
    for (const HousePlan& h : village.houses) {
        const Vec3 ridge = PlaceLocal({h.width * 0.2f, h.wallHeight + h.roofRise + 8, 0}, h.angle, h.position);
        ++dust;
        const bool upright = dust % 3 == 1;  // plain dust stands across the wind; the rest turn to the camera
        effectProps(AddMesh(children, Numbered(upright ? "Dust" : "DustFace", dust), "SnowDust", SpriteQuad(34, upright),
                            windAt(ridge), kFvfPositionNormalUv, stats));
    }
    for (std::size_t i = 0; i < village.firs.size(); i += 18) {
        const FirPlan& f = village.firs[i];
        ++dust;
        effectProps(AddMesh(children, Numbered("DustFace", dust), "SnowDust", SpriteQuad(30, false),
                            windAt(f.position + Vec3{0, f.height * 0.75f, 0}), kFvfPositionNormalUv, stats));
    }
    // Sparkles on open snow and on the ice.
    int bliss = 0;
    const std::vector<Box3> obstacles = village.Obstacles();
    for (int i = 0; bliss < 60 && i < 4000; ++i) {
        const float a = static_cast<float>(i) * 2.39996f, r = 60 + std::fmod(static_cast<float>(i) * 97.0f, 620.0f);
        const Vec3 p{r * std::sin(a), 0, r * std::cos(a)};
        bool clear = true;
        for (const Box3& b : obstacles)
            if (p.x > b.min.x - 12 && p.x < b.max.x + 12 && p.z > b.min.z - 12 && p.z < b.max.z + 12) clear = false;
        if (!clear) continue;
        const bool facing = bliss % 3 != 2;
        ++bliss;
        effectProps(AddMesh(children, Numbered(facing ? "BlissFace" : "Bliss", bliss), "Sparkle",
                            SpriteQuad(facing ? 9 : 12, false), Placement(a, p + Vec3{0, facing ? 3.0f : 1.2f, 0}),
                            kFvfPositionNormalUv, stats));
    }

    AddMaterials(root);

    // A low afternoon sun from the south-west, lamps, a few windows and two spot lamps.
    Node* lights = root->AddContainer("Lights", "Light");
    AddLight(lights, "Sun", "DirLight", {-600, 500, -700}, Normalize({0.6f, -0.38f, 0.7f}), {0.78f, 0.7f, 0.58f}, 0, 0);
    for (std::size_t i = 0; i < village.lamps.size(); ++i)
        AddLight(lights, Numbered("LampLight", static_cast<int>(i) + 1), "PointLight", village.lamps[i] + Vec3{0, 42, 0},
                 {0, -1, 0}, {1, 0.78f, 0.45f}, 35, 170);
    for (std::size_t i = 0; i < windowLights.size() && i < 8; ++i)
        AddLight(lights, Numbered("WindowLight", static_cast<int>(i) + 1), "PointLight", windowLights[i].first,
                 {0, -1, 0}, {0.9f, 0.66f, 0.36f}, 25, 110);
    const Vec3 door = PlaceLocal({0, 42, -kChurchLength / 2 - kTowerSize - 8}, village.church.angle, village.church.position);
    Node* spot = AddLight(lights, "ChurchDoorSpot", "SpotLight", door, {0, -1, -0.35f}, {1, 0.85f, 0.6f}, 40, 160);
    spot->AddReal("HotSpot", 0.45f);
    spot->AddReal("FallOff", 0.8f);
    spot = AddLight(lights, "SnowmanSpot", "SpotLight", village.snowman + Vec3{30, 70, -40}, Normalize({-30, -60, 40}),
                    {0.8f, 0.75f, 0.65f}, 50, 180);
    spot->AddReal("HotSpot", 0.35f);
    spot->AddReal("FallOff", 0.7f);

    std::vector<std::uint8_t> bytes;
    if (!writer.Write(bytes)) return false;
    return WriteFileBytes(mediaDir + "/frostvale.udf", bytes);
}

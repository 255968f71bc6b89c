// Scene loading and drawing: materials, mesh conversion, the mesh settings from "Props",
// batching of meshes into draw calls, and the walk that places and culls nodes.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "platform/image/image_encoder.h"
#include "render/texture_cache.h"
#include "render/view_frustum.h"
#include "scene/mesh_batch.h"
#include "scene/mesh_props.h"
#include "scene/mesh_renderable.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "scene/udf_reader.h"
#include "scene/udf_writer.h"
#include "tests/render/render_fixture.h"
#include "tests/scene/scene_test_files.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace scenetest;

class SceneTest : public RecordedDeviceTest {
protected:
    void TearDown() override {
        scene_.reset();
        UnmountArchiveForTesting();
        RecordedDeviceTest::TearDown();
    }

    // Packs the scene file (and any extra files) as FrostvaleMedia and loads it.
    bool Load(UdfWriter& writer, std::vector<ArchiveFile> extra = {}) {
        scene_ = std::make_unique<Scene>(&textures_);
        return LoadPackedScene(writer, std::move(extra), archive_, *scene_);
    }

    // Two one-triangle meshes, "Ahead" at z = 50 and "Behind" at z = -50.
    bool LoadAheadAndBehind() {
        UdfWriter writer;
        Node* children = writer.Root()->AddContainer("Children", "Node");
        AddProps(AddMesh(children, "Ahead", "", 3, {0, 1, 2}, 32, Translation(0, 0, 50)), {});
        AddProps(AddMesh(children, "Behind", "", 3, {0, 1, 2}, 32, Translation(0, 0, -50)), {});
        return Load(writer);
    }

    SceneNode* NodeNamed(const char* name) { return scene_->Root().FindChild(name); }

    // Draws the whole tree into the scene's queue and the queue; returns the draw calls.
    int DrawAll() {
        device->ClearCalls();
        DrawContext context;
        context.queue = &scene_->Queue();
        DrawNode(scene_->Root(), context);
        scene_->Queue().Draw();
        return device->Count("DrawIndexedPrimitive");
    }

    std::vector<std::uint8_t> archive_;
    TextureCache textures_;
    std::unique_ptr<Scene> scene_;
};

TEST_F(SceneTest, MeshesSharingAStateShareOneDrawCall) {
    UdfWriter writer;
    Node* materials = writer.Root()->AddContainer("Materials", "Material");
    const float brown[4] = {0.5f, 0.25f, 0.125f, 1};
    materials->AddContainer("Wood", "Material")->AddColor("Diffuse", brown);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    materials->AddContainer("Stone", "Material")->AddColor("Ambient", grey);
    Node* children = writer.Root()->AddContainer("Children", "Node");
    AddProps(AddMesh(children, "WallA", "Wood", 3, {0, 1, 2}), {});
    AddProps(AddMesh(children, "WallB", "Wood", 6, {0, 1, 2, 3, 4, 5}), {});
    AddProps(AddMesh(children, "Step", "Stone", 3, {2, 1, 0}), {});
    AddProps(AddMesh(children, "Missing", "NoSuchMaterial", 3, {0, 1, 2}), {});
    // An unlit group: its mesh shares the material but not the lighting, so not the batch.
    Node* group = children->AddContainer("Lanterns", "Dummy");
    AddProps(group, {{"lit", "0"}});
    AddProps(AddMesh(group->AddContainer("Children", "Node"), "Lantern", "Wood", 3, {0, 1, 2}), {});

    ASSERT_TRUE(Load(writer));
    EXPECT_EQ(scene_->MeshCount(), 5);
    EXPECT_EQ(scene_->BatchCount(), 4);  // Wood lit, Stone, default material, Wood unlit
    EXPECT_EQ(DrawAll(), 4);
    // The two wood walls went out together: 1 + 2 triangles in one call.
    std::vector<std::string> draws = device->CallsOf("DrawIndexedPrimitive");
    EXPECT_NE(std::find_if(draws.begin(), draws.end(),
                           [](const std::string& d) { return d.size() > 3 && d.substr(d.size() - 4) == ", 3)"; }),
              draws.end());
    // A second frame draws the same and writes no vertex again.
    device->ClearCalls();
    EXPECT_EQ(DrawAll(), 4);
    EXPECT_EQ(device->Count("VertexBuffer::Lock"), 0);
}

TEST_F(SceneTest, RecreatedBuffersGetTheirVerticesBack) {
    UdfWriter writer;
    Node* children = writer.Root()->AddContainer("Children", "Node");
    AddProps(AddMesh(children, "A", "", 3, {0, 1, 2}, 32, Translation(5, 0, 0)), {});
    AddProps(AddMesh(children, "B", "", 6, {0, 1, 2, 3, 4, 5}), {});
    ASSERT_TRUE(Load(writer));
    EXPECT_EQ(DrawAll(), 1);
    auto* batch = dynamic_cast<MeshBatch*>(scene_->Queue().Children().at(0));
    ASSERT_NE(batch, nullptr);
    DynamicBatchBuffer* vertices = batch->Vertices()->Vertices();
    // A device reset: the buffer goes, comes back empty, and every member writes itself again.
    vertices->Invalidate();
    device->ClearCalls();
    ASSERT_TRUE(vertices->Restore());
    EXPECT_EQ(device->Count("VertexBuffer::Lock"), 2);
    EXPECT_EQ(DrawAll(), 1);
    EXPECT_EQ(device->CallsOf("DrawIndexedPrimitive").back().substr(0, 24), "DrawIndexedPrimitive(4, ");
    EXPECT_FLOAT_EQ(NodeNamed("A")->Renderable()->WorldMinimum().x, 5);
}

TEST_F(SceneTest, LitBatchesSwitchOnTheLightsThatReachThem) {
    UdfWriter writer;
    Node* lights = writer.Root()->AddContainer("Lights", "Light");
    for (const auto& [name, type, x] : {std::tuple{"Sun", "DirLight", 0.0f}, std::tuple{"Near", "PointLight", 5.0f},
                                        std::tuple{"Far", "PointLight", 500.0f}}) {
        Node* light = lights->AddContainer(name, type);
        light->AddMatrix("NodeTM", Translation(x, 0, 0).data());
        light->AddMatrix("ObjectTM", kIdentity);
        light->AddReal("AttEnd", 10);
    }
    Node* children = writer.Root()->AddContainer("Children", "Node");
    AddProps(AddMesh(children, "Lit", "", 3, {0, 1, 2}), {});
    AddProps(AddMesh(children, "Unlit", "", 3, {0, 1, 2}), {{"Lit", "0"}});
    ASSERT_TRUE(Load(writer));
    ASSERT_EQ(scene_->Lights().Count(), 3);
    device->ClearCalls();
    scene_->Lights().UploadAll(device);
    EXPECT_EQ(DrawAll(), 2);
    // Only the lit batch asks: the sun and the near lamp on, the far lamp off.
    EXPECT_EQ(device->CallsOf("LightEnable"),
              (std::vector<std::string>{"LightEnable(0, 1)", "LightEnable(1, 1)", "LightEnable(2, 0)"}));
}

TEST_F(SceneTest, DamagedMeshesGetNoRenderable) {
    UdfWriter writer;
    Node* children = writer.Root()->AddContainer("Children", "Node");
    AddProps(AddMesh(children, "Good", "", 3, {0, 1, 2}), {});
    AddProps(AddMesh(children, "ShortStride", "", 3, {0, 1, 2}, 24), {});  // 24 < 32 bytes of FVF 274
    AddProps(AddMesh(children, "IndexPastEnd", "", 3, {0, 1, 3}), {});
    AddProps(AddMesh(children, "NoVerts", "", 0, {}), {});
    Node* noFvf = children->AddContainer("NoFvf", "Mesh");
    noFvf->AddInt("NumVerts", 3);
    ASSERT_TRUE(Load(writer));
    EXPECT_NE(NodeNamed("Good")->Renderable(), nullptr);
    for (const char* name : {"ShortStride", "IndexPastEnd", "NoVerts", "NoFvf"}) {
        ASSERT_NE(NodeNamed(name), nullptr) << name;  // the node itself is kept
        EXPECT_EQ(NodeNamed(name)->Renderable(), nullptr) << name;
    }
    EXPECT_EQ(DrawAll(), 1);
}

TEST_F(SceneTest, UnreadableSceneBuildsNothing) {
    UdfWriter writer;
    ASSERT_TRUE(Load(writer));  // an empty scene file is a scene
    scene_ = std::make_unique<Scene>(&textures_);
    EXPECT_FALSE(LoadScene(*scene_, String(kMediaFolder) + "/absent.udf"));
    std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'u', 'd', 'f'};
    String error;
    ASSERT_TRUE(PackArchive(kMediaFolder, {{"junk.udf", junk}}, archive_, error));
    MountArchiveBytes(archive_.data(), archive_.size());
    EXPECT_FALSE(LoadScene(*scene_, String(kMediaFolder) + "/junk.udf"));
    EXPECT_EQ(scene_->Root().ChildCount(), 0);
}

TEST_F(SceneTest, VerticesConvertAndIndicesCopy) {
    UdfWriter writer;
    Node* children = writer.Root()->AddContainer("Children", "Node");
    std::vector<std::int32_t> indices(408);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = std::int32_t(i % 105);
    AddProps(AddMesh(children, "Big", "", 105, indices), {});
    ASSERT_TRUE(Load(writer));
    const Mesh* mesh = scene_->FindMesh("Big");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->Stride(), 32u);  // 3,360 bytes over 105 vertices
    EXPECT_EQ(mesh->Indices().size(), 408u);  // 1,632 bytes
    const FullVertex& v = mesh->Vertices()[7];
    EXPECT_FLOAT_EQ(v.position[0], 7);
    EXPECT_FLOAT_EQ(v.position[1], 1);
    EXPECT_FLOAT_EQ(v.normal[1], 1);
    EXPECT_FLOAT_EQ(v.uv0[0], 1.75f);
    EXPECT_FLOAT_EQ(v.uv0[1], 0.5f);
    EXPECT_EQ(v.diffuse, 0u);
    EXPECT_FLOAT_EQ(v.uv1[0], 0);
}

// Each field the FVF names is read in order: the fourth float of XYZRHW is skipped, the
// colours are 32 bits, bit 0x200 alone fills only the second texture pair.
TEST_F(SceneTest, VertexFieldsFollowTheFvf) {
    struct Case {
        std::int32_t fvf;
        std::vector<float> words;  // one source vertex, colours as their bit patterns
        FullVertex expected;
    };
    auto colour = [](std::uint32_t bits) {
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    };
    const Case cases[] = {
        {0x104, {1, 2, 3, 9, 0.5f, 0.25f}, {{1, 2, 3}, {0, 0, 0}, 0, 0, {0.5f, 0.25f}, {0, 0}}},
        {0x1C2, {1, 2, 3, colour(0xAABBCCDDu), colour(0x11223344u), 0.5f, 0.75f},
         {{1, 2, 3}, {0, 0, 0}, 0xAABBCCDDu, 0x11223344u, {0.5f, 0.75f}, {0, 0}}},
        {0x212, {1, 2, 3, 0, 1, 0, 0.5f, 0.75f}, {{1, 2, 3}, {0, 1, 0}, 0, 0, {0, 0}, {0.5f, 0.75f}}},
        {0x302, {1, 2, 3, 0.5f, 0.75f, 0.125f, 0.25f}, {{1, 2, 3}, {0, 0, 0}, 0, 0, {0.5f, 0.75f}, {0.125f, 0.25f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fvf);
        UdfWriter writer;
        Node* mesh = writer.Root()->AddContainer("Children", "Node")->AddContainer("M", "Mesh");
        mesh->AddString("MaterialName", "");
        mesh->AddInt("FVF", c.fvf);
        mesh->AddInt("NumVerts", 1);
        mesh->AddInt("NumIndexes", 3);
        mesh->AddLeaf("Verts", "", c.words.data(), c.words.size() * sizeof(float));
        const std::int32_t indices[3] = {0, 0, 0};
        mesh->AddInts("Indexes", indices, 3);
        AddProps(mesh, {});
        ASSERT_TRUE(Load(writer));
        const Mesh* loaded = scene_->FindMesh("M");
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->Stride(), unsigned(c.words.size() * sizeof(float)));
        const FullVertex& v = loaded->Vertices()[0];
        EXPECT_EQ(0, std::memcmp(&v, &c.expected, sizeof v));
    }
}

// The settings a mesh takes from its own "Props" or a group's.
struct PropsCase {
    const char* name;
    std::function<void(Node* props)> fill;
    std::function<void(const RenderableSettings&, const MaterialInfo&)> check;
};

TEST(MeshProps, SettingsFromWords) {
    const std::vector<PropsCase> cases = {
        {"no Usage: write-only", [](Node*) {},
         [](const RenderableSettings& s, const MaterialInfo&) {
             EXPECT_EQ(s.vertexUsage, DWORD(D3DUSAGE_WRITEONLY));
             EXPECT_EQ(s.indexUsage, DWORD(D3DUSAGE_WRITEONLY));
             EXPECT_TRUE(s.lit);
         }},
        {"dynamic + ib_writeonly", [](Node* p) { AddWords(p, "Usage", {"DYNAMIC", "ib_writeonly"}); },
         [](const RenderableSettings& s, const MaterialInfo&) {
             EXPECT_EQ(s.vertexUsage, 0x200u);
             EXPECT_EQ(s.indexUsage, 0x208u);
         }},
        {"static", [](Node* p) { AddWords(p, "Usage", {"static"}); },
         [](const RenderableSettings& s, const MaterialInfo&) {
             EXPECT_EQ(s.vertexUsage, 8u);
             EXPECT_EQ(s.indexUsage, 8u);
         }},
        {"dynamic_writeonly + vb_dynamic", [](Node* p) { AddWords(p, "Usage", {"dynamic_writeonly", "vb_dynamic"}); },
         [](const RenderableSettings& s, const MaterialInfo&) {
             EXPECT_EQ(s.vertexUsage, 0x208u);
             EXPECT_EQ(s.indexUsage, 0x208u);
         }},
        {"vb_dynamic alone", [](Node* p) { AddWords(p, "usage", {"vb_dynamic"}); },
         [](const RenderableSettings& s, const MaterialInfo&) {
             EXPECT_EQ(s.vertexUsage, 0x200u);
             EXPECT_EQ(s.indexUsage, 0u);
         }},
        {"blend, filters, addressing", [](Node* p) {
             p->AddString("Blend", "additive");
             p->AddString("MipFilter", "none");
             p->AddString("MinFilter", "pyrquad");
             p->AddString("MagFilter", "Linear");  // not an exact word: 0
             p->AddString("TexAddrU", "mirror");
             p->AddString("TexAddrV", "clamp");
         },
         [](const RenderableSettings&, const MaterialInfo& m) {
             EXPECT_EQ(m.blendMode, 1u);
             EXPECT_EQ(m.mipFilter, 0u);
             EXPECT_EQ(m.minFilter, 6u);
             EXPECT_EQ(m.magFilter, 0u);
             EXPECT_EQ(m.addressU, 2u);
             EXPECT_EQ(m.addressV, 0u);
         }},
        {"alpha from diffuse and texture", [](Node* p) { AddWords(p, "AlphaUse", {"diffuse", "Texture"}); },
         [](const RenderableSettings&, const MaterialInfo& m) { EXPECT_EQ(m.alphaMode, 6u); }},
        {"alpha factor alone", [](Node* p) {
             AddWords(p, "AlphaUse", {"factor"});
             p->AddString("Alpha", "0.25");
         },
         [](const RenderableSettings&, const MaterialInfo& m) {
             EXPECT_EQ(m.alphaMode, 1u);
             EXPECT_FLOAT_EQ(m.alphaFactor, 0.25f);
         }},
        {"factor without Alpha", [](Node* p) { AddWords(p, "AlphaUse", {"factor", "diffuse"}); },
         [](const RenderableSettings&, const MaterialInfo& m) {
             EXPECT_EQ(m.alphaMode, 5u);
             EXPECT_FLOAT_EQ(m.alphaFactor, 0.5f);
         }},
        {"Alpha not wholly a number", [](Node* p) {
             AddWords(p, "AlphaUse", {"factor", "texture"});
             p->AddString("Alpha", "0.7x");
         },
         [](const RenderableSettings&, const MaterialInfo& m) {
             EXPECT_EQ(m.alphaMode, 4u);
             EXPECT_FLOAT_EQ(m.alphaFactor, 0);
         }},
        {"lower-case lit 0", [](Node* p) { p->AddString("lit", "0"); },
         [](const RenderableSettings& s, const MaterialInfo&) { EXPECT_FALSE(s.lit); }},
        {"VertexAlign32 0 keeps the stride", [](Node* p) { p->AddString("VertexAlign32", "0"); },
         [](const RenderableSettings& s, const MaterialInfo&) { EXPECT_EQ(s.vertexStride, 36u); }},
    };
    for (const PropsCase& c : cases) {
        SCOPED_TRACE(c.name);
        UdfWriter writer;
        Node* group = writer.Root()->AddContainer("Group", "Dummy");
        c.fill(group->AddContainer("Props", ""));
        Node* mesh = group->AddContainer("Children", "Node")->AddContainer("Mesh", "Mesh");
        AddProps(mesh, {});  // its own "Props" is empty: the keys come from the group
        std::vector<std::uint8_t> bytes;
        writer.Write(bytes);
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(std::move(bytes)));
        ASSERT_NE(root, nullptr);
        reader.LoadElement(root, 0);
        const UdfElement* element = root->Child("Group")->Child("Children")->Child("Mesh");
        Mesh source(274, 36, std::vector<FullVertex>(2, FullVertex{}), {0, 1, 1});
        MaterialInfo material;
        const RenderableSettings settings = ApplyMeshProperties(element, source, material);
        c.check(settings, material);
    }
}

TEST(MeshProps, OwnPropsWinAndStrideRoundsUp) {
    UdfWriter writer;
    Node* group = writer.Root()->AddContainer("Group", "Dummy");
    AddProps(group, {{"Blend", "additive"}, {"lit", "0"}});
    Node* list = group->AddContainer("Children", "Node");
    AddProps(list->AddContainer("Own", "Mesh"), {{"Blend", "multiply"}});
    list->AddContainer("Bare", "Mesh");  // no "Props" at all: the group's apply
    std::vector<std::uint8_t> bytes;
    writer.Write(bytes);
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(std::move(bytes)));
    reader.LoadElement(root, 0);
    const UdfElement* children = root->Child("Group")->Child("Children");
    Mesh source(274, 36, std::vector<FullVertex>(3, FullVertex{}), {});

    MaterialInfo own;
    own.blendMode = 1;
    const RenderableSettings ownSettings = ApplyMeshProperties(children->Child("Own"), source, own);
    EXPECT_EQ(own.blendMode, 0u);
    EXPECT_FALSE(ownSettings.lit);  // not in its own Props: climbs to the group
    EXPECT_EQ(ownSettings.vertexStride, 64u);  // 36 rounded up to a multiple of 32
    EXPECT_EQ(ownSettings.vertexBytes, 192u);

    MaterialInfo bare;
    ApplyMeshProperties(children->Child("Bare"), source, bare);
    EXPECT_EQ(bare.blendMode, 1u);
}

TEST_F(SceneTest, MaterialsReadColoursTexturesAndAddressing) {
    std::vector<std::uint8_t> png;
    image::Image picture;
    ASSERT_TRUE(picture.Allocate(2, 2));
    picture.pixels.assign(4, 0x80FF0000u);
    ASSERT_TRUE(image::EncodePng(picture, png));
    UdfWriter writer;
    Node* materials = writer.Root()->AddContainer("Materials", "Material");
    Node* ice = materials->AddContainer("Ice", "Material");
    const float blue[4] = {0.2f, 0.4f, 0.8f, 1};
    ice->AddColor("Diffuse", blue);
    ice->AddInt("TwoSided", 0);
    Node* textures = ice->AddContainer("Textures", "Texture");
    Node* opacity = textures->AddContainer("Mask", "Opacity");
    opacity->AddString("FileName", "ice.png");
    Node* diffuse = textures->AddContainer("Map", "Diffuse");
    diffuse->AddString("FileName", "ice.png");
    diffuse->AddString("TexAddrU", "mirror");  // the table wants "Mirror": any other text is 4
    diffuse->AddString("TexAddrV", "Mirror");
    Node* onlyOpacity = materials->AddContainer("Glass", "Material")->AddContainer("Textures", "Texture");
    onlyOpacity->AddContainer("Mask", "Opacity")->AddString("FileName", "ice.png");
    const float green[4] = {0, 1, 0, 1}, red[4] = {1, 0, 0, 1};
    materials->AddContainer("Stone", "Material")->AddColor("Diffuse", green);
    materials->AddContainer("Stone", "Material")->AddColor("Diffuse", red);  // the later one counts
    // A mesh of the textured material takes alpha mode 2 from the texture's alpha channel.
    AddProps(AddMesh(writer.Root()->AddContainer("Children", "Node"), "Floe", "Ice", 3, {0, 1, 2}), {});

    ASSERT_TRUE(Load(writer, {{"ice.png", png}}));
    const MaterialInfo& info = scene_->Materials().at("Ice");
    EXPECT_FLOAT_EQ(info.material.Diffuse.b, 0.8f);
    EXPECT_FLOAT_EQ(info.material.Ambient.r, 1);
    EXPECT_TRUE(info.twoSided);
    ASSERT_NE(info.texture, nullptr);
    EXPECT_EQ(info.addressU, 4u);
    EXPECT_EQ(info.addressV, 2u);
    EXPECT_EQ(scene_->Materials().at("Glass").texture, nullptr);
    EXPECT_EQ(textures_.Count(), 1);
    EXPECT_FLOAT_EQ(scene_->Materials().at("Stone").material.Diffuse.r, 1);
    EXPECT_FLOAT_EQ(scene_->Materials().at("Stone").material.Diffuse.g, 0);
    ASSERT_NE(NodeNamed("Floe"), nullptr);
    ASSERT_NE(NodeNamed("Floe")->Renderable(), nullptr);
    EXPECT_EQ(NodeNamed("Floe")->Renderable()->Description().state.alphaMode, 2u);
}

TEST_F(SceneTest, ChildrenArePlacedThroughTheirParents) {
    UdfWriter writer;
    Node* children = writer.Root()->AddContainer("Children", "Node");
    Node* parent = children->AddContainer("Parent", "Dummy");
    const std::vector<float> right = Translation(10, 0, 0);
    parent->AddMatrix("NodeTM", right.data());
    parent->AddMatrix("ObjectTM", kIdentity);
    AddProps(AddMesh(parent->AddContainer("Children", "Node"), "Child", "", 3, {0, 1, 2}, 32, Translation(0, 5, 0)), {});
    ASSERT_TRUE(Load(writer));
    DrawAll();
    const MeshRenderable* child = NodeNamed("Parent")->FindChild("Child")->Renderable();
    ASSERT_NE(child, nullptr);
    EXPECT_FLOAT_EQ(child->WorldMinimum().x, 10);  // vertex 0 at the origin lands at (10, 5, 0)
    EXPECT_FLOAT_EQ(child->WorldMinimum().y, 5);
    EXPECT_FLOAT_EQ(child->WorldMaximum().x, 12);
    EXPECT_FLOAT_EQ(child->WorldMaximum().z, 1);
}

// A camera at the origin looking along +z.
ViewFrustum FrustumAlongZ() {
    D3DXMATRIX view, projection, viewProjection;
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.2f, 16.0f / 9.0f, 1, 1000);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    return ViewFrustum(viewProjection);
}

TEST_F(SceneTest, CullingSkipsMeshesOutsideTheView) {
    ASSERT_TRUE(LoadAheadAndBehind());
    const ViewFrustum frustum = FrustumAlongZ();

    for (bool cullingOff : {false, true}) {
        DrawCounters() = {};
        DrawContext context;
        context.queue = &scene_->Queue();
        context.frustum = &frustum;
        context.cullingOff = cullingOff;
        DrawNode(scene_->Root(), context);
        scene_->Queue().Draw();
        EXPECT_EQ(DrawCounters().visited, 2);
        EXPECT_EQ(DrawCounters().submitted, cullingOff ? 2 : 1);
    }
}

// A moved mesh is written only once it can be seen: its enclosing box decides first.
TEST_F(SceneTest, MovedMeshesOutsideTheViewKeepTheirOldVertices) {
    ASSERT_TRUE(LoadAheadAndBehind());
    const ViewFrustum frustum = FrustumAlongZ();
    struct Step {
        const char* what;
        float shift;  // added to both meshes' x
        bool cullingOff;
        int locks;
        bool behindStale;
    };
    const Step steps[] = {
        {"first frame: only the visible mesh is written", 0, false, 1, true},
        {"nothing moved", 0, false, 0, true},
        {"both moved: the visible one is written again", 1, false, 1, true},
        {"culling off: the hidden one catches up", 1, true, 1, false},
        {"moved back out of sight", 2, false, 1, true},
    };
    for (const Step& step : steps) {
        for (const char* name : {"Ahead", "Behind"}) {
            SceneNode* node = NodeNamed(name);
            D3DXVECTOR3 p = node->LocalTransform().Position();
            p.x = step.shift;
            node->LocalTransform().SetPosition(p);
        }
        device->ClearCalls();
        DrawContext context;
        context.queue = &scene_->Queue();
        context.frustum = &frustum;
        context.cullingOff = step.cullingOff;
        DrawNode(scene_->Root(), context);
        scene_->Queue().Draw();
        EXPECT_EQ(device->Count("VertexBuffer::Lock"), step.locks) << step.what;
        EXPECT_EQ(NodeNamed("Behind")->Renderable()->IsStale(), step.behindStale) << step.what;
    }
}

// The index stream is written when the members drawn or their blocks change, not per draw.
TEST_F(SceneTest, TheSameMembersReuseTheIndexStream) {
    UdfWriter writer;
    Node* children = writer.Root()->AddContainer("Children", "Node");
    AddProps(AddMesh(children, "A", "", 3, {0, 1, 2}), {});
    AddProps(AddMesh(children, "B", "", 6, {0, 1, 2, 3, 4, 5}), {});
    ASSERT_TRUE(Load(writer));
    auto* a = NodeNamed("A")->Renderable();
    auto* b = NodeNamed("B")->Renderable();
    struct Step {
        const char* what;
        std::vector<MeshRenderable*> drawn;
        int locks;
        int triangles;
    };
    const Step steps[] = {
        {"first draw", {a, b}, 1, 3},
        {"the same members", {a, b}, 0, 3},
        {"another order", {b, a}, 1, 3},
        {"one member", {b}, 1, 2},
        {"the same member", {b}, 0, 2},
    };
    for (const Step& step : steps) {
        for (MeshRenderable* m : step.drawn) m->Update();
        device->ClearCalls();
        MeshBatch* batch = a->Batch();
        for (MeshRenderable* m : step.drawn) batch->Submit(m);
        ASSERT_TRUE(batch->Draw()) << step.what;
        EXPECT_EQ(device->Count("IndexBuffer::Lock"), step.locks) << step.what;
        const std::string draw = device->CallsOf("DrawIndexedPrimitive").back();
        EXPECT_EQ(draw.substr(draw.size() - 4), ", " + std::to_string(step.triangles) + ")") << draw;
    }
}

}  // namespace

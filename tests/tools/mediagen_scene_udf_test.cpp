// The generated village ("frostvale.udf") as the engine's reader sees it: its layout, its
// meshes, materials and lights, the node roles, and the triangle and draw-call budgets.

#include "tests/tools/mediagen_scene_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

using namespace mediagen_test;

namespace {

const Matrix4 kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

bool Contains(const UdfElement* e, const char* part) { return std::strstr(e->Name().CStr(), part) != nullptr; }

}  // namespace

TEST(MediagenSceneUdfTest, RootHoldsNodesMaterialsAndLights) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    EXPECT_GE(scene.size, 1000000u);
    EXPECT_LE(scene.size, 2000000u);
    const struct {
        const char* name;
        const char* type;
    } cases[] = {{"Children", "Node"}, {"Materials", "Material"}, {"Lights", "Light"}};
    ASSERT_EQ(scene.root->ChildCount(), 3);
    for (const auto& c : cases) {
        const UdfElement* e = scene.root->Child(c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_STREQ(e->TypeName().CStr(), c.type) << c.name;
        EXPECT_TRUE(e->IsContainer()) << c.name;
    }
    const int roots = scene.root->Child("Children")->ChildCount();
    EXPECT_GE(roots, 600);
    EXPECT_LE(roots, 700);
}

TEST(MediagenSceneUdfTest, MeshesAreWholeAndWithinBudget) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    const UdfElement* materials = scene.root->Child("Materials");
    std::size_t triangles = 0;
    std::set<int> formats;
    std::set<std::string> staticMaterials;
    int meshes = 0, badWinding = 0;
    WalkNodes(scene.root->Child("Children"), kIdentity, [&](const UdfElement* node, const Matrix4&, bool topLevel) {
        if (node->TypeName().Equals("Dummy")) {
            EXPECT_NE(node->Child("Props"), nullptr) << node->Name().CStr();
            EXPECT_NE(node->Child("Children"), nullptr) << node->Name().CStr();
        }
        if (!node->TypeName().Equals("Mesh")) return;
        ++meshes;
        const char* name = node->Name().CStr();
        std::int32_t fvf = 0, numVerts = 0, numIndexes = 0;
        ASSERT_TRUE(node->ReadInt("FVF", fvf)) << name;
        ASSERT_TRUE(node->ReadInt("NumVerts", numVerts)) << name;
        ASSERT_TRUE(node->ReadInt("NumIndexes", numIndexes)) << name;
        float m[16];
        EXPECT_TRUE(node->ReadMatrix("NodeTM", m) && node->ReadMatrix("ObjectTM", m)) << name;
        EXPECT_NE(node->Child("Props"), nullptr) << name;
        String material;
        ASSERT_TRUE(node->ReadString("MaterialName", material)) << name;
        EXPECT_NE(materials->Child(material), nullptr) << name << " uses " << material.CStr();
        const UdfElement* verts = node->Child("Verts");
        const UdfElement* indexes = node->Child("Indexes");
        ASSERT_TRUE(verts && indexes) << name;
        const int stride = FvfStride(fvf);
        formats.insert(fvf);
        ASSERT_GT(numVerts, 0) << name;
        EXPECT_EQ(verts->DataSize(), static_cast<std::size_t>(numVerts) * static_cast<std::size_t>(stride)) << name;
        EXPECT_EQ(indexes->DataSize(), static_cast<std::size_t>(numIndexes) * 4) << name;
        EXPECT_EQ(numIndexes % 3, 0) << name;
        std::vector<std::int32_t> index(static_cast<std::size_t>(numIndexes));
        std::memcpy(index.data(), indexes->Data(), index.size() * 4);
        for (std::int32_t i : index) ASSERT_TRUE(i >= 0 && i < numVerts) << name;
        triangles += index.size() / 3;
        // Faces are wound to face where their normals point (the front is the clockwise side).
        if (fvf & 0x10) {
            auto at = [&](std::int32_t i, int offset) {
                float v[3];
                std::memcpy(v, verts->Data() + static_cast<std::size_t>(i) * stride + offset, 12);
                return std::array<float, 3>{v[0], v[1], v[2]};
            };
            for (std::size_t t = 0; t < index.size(); t += 3) {
                const auto a = at(index[t], 0), b = at(index[t + 1], 0), c = at(index[t + 2], 0);
                const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
                const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
                float dot = 0;
                for (int k = 0; k < 3; ++k) {
                    const auto n = at(index[t + k], 12);
                    dot += face[0] * n[0] + face[1] * n[1] + face[2] * n[2];
                }
                if (dot < 0) ++badWinding;
            }
        }
        const bool effect = topLevel && (Contains(node, "Dust") || Contains(node, "Bliss") || Contains(node, "Follow"));
        if (!effect) staticMaterials.insert(material.CStr());
    });
    EXPECT_GE(meshes, 600);
    EXPECT_LT(triangles, 60000u);
    EXPECT_EQ(badWinding, 0);
    EXPECT_TRUE(formats.count(274)) << "position, normal and one texture pair";
    EXPECT_GE(formats.size(), 2u);
    // Meshes of one material batch together: the static scene is a score of draw calls,
    // which leaves room under 64 for the sprites in view.
    EXPECT_LE(staticMaterials.size(), 24u);
}

// The ground tiles cover the ground once: together exactly its square, none overlapping
// another (overlapping ground fights in the depth buffer).
TEST(MediagenSceneUdfTest, GroundTilesMeetWithoutOverlapping) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    struct Box {
        float x0, z0, x1, z1;
    };
    std::vector<Box> tiles;
    WalkNodes(scene.root->Child("Children"), kIdentity, [&](const UdfElement* node, const Matrix4&, bool) {
        if (!node->TypeName().Equals("Mesh") || !Contains(node, "Ground")) return;
        std::int32_t fvf = 0, numVerts = 0;
        ASSERT_TRUE(node->ReadInt("FVF", fvf) && node->ReadInt("NumVerts", numVerts));
        const UdfElement* verts = node->Child("Verts");
        ASSERT_NE(verts, nullptr);
        Box box{1e9f, 1e9f, -1e9f, -1e9f};
        for (std::int32_t i = 0; i < numVerts; ++i) {
            float p[3];
            std::memcpy(p, verts->Data() + static_cast<std::size_t>(i) * FvfStride(fvf), 12);
            box = {std::min(box.x0, p[0]), std::min(box.z0, p[2]), std::max(box.x1, p[0]), std::max(box.z1, p[2])};
        }
        tiles.push_back(box);
    });
    ASSERT_EQ(tiles.size(), 36u);
    double area = 0;
    for (std::size_t a = 0; a < tiles.size(); ++a) {
        area += double(tiles[a].x1 - tiles[a].x0) * double(tiles[a].z1 - tiles[a].z0);
        for (std::size_t b = a + 1; b < tiles.size(); ++b) {
            const float w = std::min(tiles[a].x1, tiles[b].x1) - std::max(tiles[a].x0, tiles[b].x0);
            const float d = std::min(tiles[a].z1, tiles[b].z1) - std::max(tiles[a].z0, tiles[b].z0);
            EXPECT_FALSE(w > 0 && d > 0) << "tiles " << a << " and " << b << " overlap";
        }
    }
    EXPECT_DOUBLE_EQ(area, 3120.0 * 3120.0);
}

TEST(MediagenSceneUdfTest, MaterialsNameGeneratedTextures) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    int diffuse = 0, opacity = 0, twoSided = 0;
    for (const UdfElement::Entry& m : scene.root->Child("Materials")->Entries()) {
        float colour[4];
        EXPECT_TRUE(m.element->ReadColor("Diffuse", colour)) << m.name.CStr();
        EXPECT_TRUE(m.element->ReadColor("Ambient", colour)) << m.name.CStr();
        if (m.element->Child("TwoSided")) ++twoSided;
        const UdfElement* textures = m.element->Child("Textures");
        if (!textures) continue;
        for (const UdfElement::Entry& t : textures->Entries()) {
            const String kind = t.element->TypeName();
            EXPECT_TRUE(kind.Equals("Diffuse") || kind.Equals("Opacity")) << m.name.CStr();
            diffuse += kind.Equals("Diffuse");
            opacity += kind.Equals("Opacity");
            String file;
            ASSERT_TRUE(t.element->ReadString("FileName", file)) << m.name.CStr();
            EXPECT_TRUE(std::filesystem::is_regular_file(MediaDir() + "/" + file.CStr())) << file.CStr();
        }
    }
    EXPECT_GE(diffuse, 10);
    EXPECT_GE(opacity, 1);
    EXPECT_GE(twoSided, 1);
}

TEST(MediagenSceneUdfTest, LightsAreOfTheThreeKindsWithSquareFrames) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    std::map<std::string, int> kinds;
    for (const UdfElement::Entry& e : scene.root->Child("Lights")->Entries()) {
        const UdfElement* light = e.element;
        const std::string kind = light->TypeName().CStr();
        ++kinds[kind];
        float n[16], o[16], colour[4], value;
        ASSERT_TRUE(light->ReadMatrix("NodeTM", n) && light->ReadMatrix("ObjectTM", o)) << e.name.CStr();
        const float* x = n;
        const float* y = n + 4;
        const float* z = n + 8;
        auto dot = [](const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
        EXPECT_LE(std::fabs(dot(y, x)), 0.1f) << e.name.CStr();
        EXPECT_LE(std::fabs(dot(y, z)), 0.1f) << e.name.CStr();
        EXPECT_TRUE(light->ReadColor("Diffuse", colour)) << e.name.CStr();
        if (kind == "PointLight" || kind == "SpotLight") {
            EXPECT_TRUE(light->ReadReal("AttStart", value) && value > 0) << e.name.CStr();
            EXPECT_TRUE(light->ReadReal("AttEnd", value) && value > 0) << e.name.CStr();
        }
        if (kind == "SpotLight") {
            float hot = 0, fall = 0;
            EXPECT_TRUE(light->ReadReal("HotSpot", hot) && light->ReadReal("FallOff", fall)) << e.name.CStr();
            EXPECT_LT(hot, fall) << e.name.CStr();
        }
        // A light shines along -y of its frame: the sun's frame has y pointing up to it.
        if (kind == "DirLight") {
            EXPECT_GT(y[1], 0.2f) << "the sun shines downwards";
        }
    }
    EXPECT_EQ(kinds["DirLight"], 1);
    EXPECT_GE(kinds["PointLight"], 8);
    EXPECT_GE(kinds["SpotLight"], 1);
    EXPECT_EQ(kinds.size(), 3u);
}

TEST(MediagenSceneUdfTest, NodeNamesGiveTheRoles) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    std::map<std::string, int> roles;
    int dummies = 0;
    for (const UdfElement::Entry& e : scene.root->Child("Children")->Entries()) {
        const UdfElement* node = e.element;
        dummies += node->TypeName().Equals("Dummy");
        // The order the engine tests names in: sky, effects, firs; glow sprites apart.
        if (Contains(node, "Sky")) ++roles["sky"];
        else if (Contains(node, "Bliss")) ++roles[Contains(node, "Face") ? "bliss face" : "bliss"];
        else if (Contains(node, "Dust")) ++roles[Contains(node, "Face") ? "dust face" : "dust"];
        else if (Contains(node, "Fir")) ++roles["fir"];
        if (Contains(node, "Follow")) {
            ++roles["follow"];
            EXPECT_TRUE(node->TypeName().Equals("Mesh")) << e.name.CStr();
            EXPECT_FALSE(Contains(node, "Fir") || Contains(node, "Dust") || Contains(node, "Bliss")) << e.name.CStr();
        }
    }
    EXPECT_EQ(roles["sky"], 1);
    EXPECT_GE(roles["fir"], 150);
    for (const char* role : {"dust", "dust face", "bliss", "bliss face", "follow"}) EXPECT_GE(roles[role], 4) << role;
    EXPECT_GE(dummies, 14);
    EXPECT_LE(dummies, 20);
}

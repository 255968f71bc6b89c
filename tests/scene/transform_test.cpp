// Transforms from NodeTM and ObjectTM, GetMatrix, and the scene node tree.

#include "scene/scene_node.h"
#include "scene/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kIdentity16[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void ExpectMatrixNear(const D3DXMATRIX& m, const float* expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.m[i / 4][i % 4], expected[i], tolerance) << "element " << i;
}


std::vector<std::string> RingNames(SceneNode& node) {
    std::vector<std::string> names;
    node.WalkChildren([&](SceneNode& child) { names.push_back(child.Name().ToStdString()); });
    return names;
}

}  // namespace

// NodeTM either splits into scale, direction, up and position or becomes the base matrix
// whole; GetMatrix gives NodeTM back in every case.
TEST(TransformNodeTM, SplitOrKeptWholeAndMatrixBack) {
    const float c = std::cos(0.3f), s = std::sin(0.3f);
    struct Case {
        const char* what;
        float m[16];
        bool split;
    };
    const Case cases[] = {
        {"scale 2 3 4", {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1}, true},
        {"mirrored", {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, true},
        {"rotated", {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1}, true},
        {"rotated mirrored scaled", {0, 0, 2, 0, 0, 1, 0, 0, 3, 0, 0, 0, 1, 1, 1, 1}, true},
        {"Y and Z skewed", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 1}, false},
        {"X and Z skewed", {1, 0, 0.5f, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, false},
        {"X and Y skewed", {1, 0.5f, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, false},
        {"all zero axes", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 1}, false},
        {"flat Y", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 0, 1}, false},
        {"projective column", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0.5f, 0, 0, 0, 1}, false},
    };
    for (const Case& k : cases) {
        Transform node, offset;
        const float objectTM[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 9, 8, 7, 1};
        EXPECT_EQ(SetNodeTransforms(node, offset, k.m, objectTM), k.split) << k.what;
        EXPECT_TRUE(node.IsDirty());
        ExpectMatrixNear(node.GetMatrix(), k.m);
        EXPECT_FALSE(node.IsDirty());
        ExpectMatrixNear(offset.GetMatrix(), objectTM);
        if (!k.split) ExpectMatrixNear(node.BaseMatrix(), k.m);
    }
    Transform node, offset;
    const float scaled[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
    SetNodeTransforms(node, offset, scaled, kIdentity16);
    EXPECT_EQ(node.Scale(), D3DXVECTOR3(2, 3, 4));
    EXPECT_EQ(node.Up(), D3DXVECTOR3(0, 3, 0));
    EXPECT_EQ(node.Direction(), D3DXVECTOR3(0, 0, 4));
    EXPECT_EQ(node.Position(), D3DXVECTOR3(1, 2, 3));
    const float mirrored[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    SetNodeTransforms(node, offset, mirrored, kIdentity16);
    EXPECT_EQ(node.Scale().x, -1);
}

// The matrix is recomputed only after a setter; the base matrix applies first.
TEST(TransformMatrix, DirtyFlagAndBaseFirst) {
    Transform t;
    ExpectMatrixNear(t.GetMatrix(), kIdentity16);
    t.SetPosition(D3DXVECTOR3(1, 0, 0));
    EXPECT_TRUE(t.IsDirty());
    const float moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
    ExpectMatrixNear(t.GetMatrix(), moved);
    // Base: scale by 2; then position 1: a point (1, 0, 0) goes to (3, 0, 0).
    const float twice[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    t.SetBaseMatrix(twice);
    D3DXVECTOR3 p(1, 0, 0), out;
    D3DXMATRIX m = t.GetMatrix();
    D3DXVec3TransformCoord(&out, &p, &m);
    EXPECT_FLOAT_EQ(out.x, 3);
    // A zero direction gives zero Z and X rows.
    t.SetDirection(D3DXVECTOR3(0, 0, 0));
    m = t.GetMatrix();
    EXPECT_EQ(m.m[2][2], 0);
    EXPECT_EQ(m.m[0][0], 0);
}

// World matrices combine local x parent's world: a child at (0, 5, 0) of a node at
// (10, 0, 0) lands at (10, 5, 0); whole and component modes agree at rest.
TEST(TransformWorld, ChildOfTranslatedNode) {
    SceneNode root("_scene", "");
    SceneNode* parent = root.AddChild(std::make_unique<SceneNode>("House", "Dummy"));
    SceneNode* child = parent->AddChild(std::make_unique<SceneNode>("Door", "Mesh"));
    const float atTen[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1};
    const float upFive[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1};
    SetNodeTransforms(parent->LocalTransform(), parent->ObjectOffset(), atTen, kIdentity16);
    SetNodeTransforms(child->LocalTransform(), child->ObjectOffset(), upFive, kIdentity16);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 5, 0, 1};
    ExpectMatrixNear(child->WorldMatrix(), expected);
    const float rotated[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1};
    SetNodeTransforms(parent->LocalTransform(), parent->ObjectOffset(), rotated, kIdentity16);
    const D3DXMATRIX before = child->WorldMatrix();
    EXPECT_NEAR(before.m[3][0], 5, 1e-5f);  // (0, 5, 0) turned a quarter: (-5, 0, 0) + 10
    EXPECT_NEAR(before.m[3][1], 0, 1e-5f);
    parent->SetTransformMode(TransformMode::kComponent);
    const D3DXMATRIX after = child->WorldMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(after.m[i / 4][i % 4], before.m[i / 4][i % 4], 1e-5f);
}

// Children: exact-name map, ring in insertion order with a cursor, renaming and removal.
TEST(SceneNodeChildren, MapRingRenameRemove) {
    SceneNode root("root", "");
    root.AddChild(std::make_unique<SceneNode>("a", "Mesh"));
    root.AddChild(std::make_unique<SceneNode>("b", "Mesh"));
    root.AddChild(std::make_unique<SceneNode>("c", "Mesh"));
    EXPECT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(root.CursorChild()->Name().ToStdString(), "c");
    EXPECT_EQ(RingNames(root), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(RingNames(root), (std::vector<std::string>{"c", "a", "b"}));  // a walk leaves the cursor
    EXPECT_EQ(root.FindChild("A"), nullptr);  // exact names
    ASSERT_NE(root.FindChild("a"), nullptr);
    EXPECT_EQ(root.FindChild("a")->Parent(), &root);

    // Renaming moves the node to after the cursor under its new name.
    SceneNode* a = root.FindChild("a");
    a->Rename("z");
    EXPECT_EQ(root.FindChild("a"), nullptr);
    EXPECT_EQ(root.FindChild("z"), a);
    EXPECT_EQ(a->Parent(), &root);
    EXPECT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(RingNames(root), (std::vector<std::string>{"z", "b", "c"}));

    std::unique_ptr<SceneNode> b = root.RemoveChild("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.RemoveChild("b"), nullptr);
    b->Rename("free");
    EXPECT_EQ(b->Name().ToStdString(), "free");

    // Two children of one name both stay; lookups find the first.
    SceneNode* first = root.AddChild(std::make_unique<SceneNode>("twin", "Mesh"));
    root.AddChild(std::make_unique<SceneNode>("twin", "Dummy"));
    EXPECT_EQ(root.ChildCount(), 4);
    EXPECT_EQ(root.FindChild("twin"), first);
    root.RemoveChild("twin");
    EXPECT_EQ(root.FindChild("twin")->TypeName().ToStdString(), "Dummy");
}

// A very deep chain is torn down without exhausting the stack.
TEST(SceneNodeChildren, DeepChainDestroys) {
    auto root = std::make_unique<SceneNode>("root", "");
    SceneNode* at = root.get();
    for (int i = 0; i < 100000; ++i) at = at->AddChild(std::make_unique<SceneNode>("n", "Dummy"));
    root.reset();
    SUCCEED();
}

// Transform animations, the player's clock, and node animations read from scene files.

#include "scene/animation_player.h"
#include "scene/node_animation.h"
#include "scene/scene_node.h"
#include "scene/udf_reader.h"
#include "scene/udf_writer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "row " << r << " column " << c;
}

D3DXVECTOR3 Transformed(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

TransformAnimation RangeAnimation(float start, float end) {
    TransformAnimation animation;
    animation.Position().AddKey(MakeVectorKey(start, D3DXVECTOR3(0, 0, 0)));
    animation.Position().AddKey(MakeVectorKey(end, D3DXVECTOR3(1, 0, 0)));
    return animation;
}

}  // namespace

// The player's time: elapsed x speed - offset, then clamped or looped into the range.
TEST(AnimPlayer, CurrentTime) {
    struct Case {
        float start, end;
        std::uint32_t flags;
        float speed, offset;
        std::int64_t elapsedMs;
        float expected;
        bool running;
    };
    const Case cases[] = {
        {0, 10, 0, 1, 0, 2500, 2.5f, true},
        {10, 50, kPlayerLoop, 1, 0, 95000, 15, true},
        {10, 50, kPlayerLoop, 1, 0, 5000, 45, true},
        {10, 50, kPlayerClamp, 1, 0, 5000, 10, true},
        {10, 50, kPlayerClamp, 1, 0, 95000, 50, false},
        {10, 50, kPlayerClamp | kPlayerLoop, 1, 0, 95000, 50, false},
        {0, 10, 0, 2, 1, 3000, 5, true},
        {0, 10, 0, 1, 0, 12000, 12, false},
        // Three weeks of 40-second loops later the time is still exact to the millisecond.
        {10, 50, kPlayerLoop, 1, 0, 1'814'400'000LL + 5300, 45.3f, true},
        {10, 50, kPlayerLoop, 1, 0.25f, 1'814'400'000LL + 5300, 45.05f, true},
    };
    for (const Case& c : cases) {
        const TransformAnimation animation = RangeAnimation(c.start, c.end);
        AnimationPlayer player;
        player.Bind(&animation);
        player.SetFlags(c.flags);
        player.SetSpeed(c.speed);
        player.SetTimeOffset(c.offset);
        EXPECT_EQ(player.CurrentTime(1000), c.start);  // not started
        EXPECT_FALSE(player.IsRunning(1000));
        player.Start(1'000'000'000'000LL);
        EXPECT_FLOAT_EQ(player.CurrentTime(1'000'000'000'000LL + c.elapsedMs), c.expected) << c.elapsedMs;
        EXPECT_EQ(player.IsRunning(1'000'000'000'000LL + c.elapsedMs), c.running) << c.elapsedMs;
    }
}

// Apply combines scale, then rotation, then translation; tracks without keys are skipped,
// and with no keys at all the target keeps what it had.
TEST(AnimTransform, ApplyOrderAndEmptyTracks) {
    TransformAnimation animation;
    D3DXMATRIX m;
    EXPECT_FALSE(animation.Apply(0, m));
    float a, b;
    EXPECT_FALSE(animation.Range(a, b));
    MatrixTarget target;
    AnimationPlayer player;
    player.Bind(&animation);
    player.Start(0);
    EXPECT_TRUE(player.Apply(target, 10));
    EXPECT_FALSE(target.Applied());

    animation.Scale().AddKey(MakeVectorKey(1, D3DXVECTOR3(2, 2, 2)));
    animation.Rotation().AddKey(MakeRotationKey(0, D3DXVECTOR3(0, 0, 1), D3DX_PI / 2));
    animation.Position().AddKey(MakeVectorKey(3, D3DXVECTOR3(10, 0, 0)));
    ASSERT_TRUE(animation.Range(a, b));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
    ASSERT_TRUE(animation.Apply(5, m));
    // (1, 0, 0) scaled to (2, 0, 0), turned a quarter about z to (0, 2, 0), moved by 10.
    const D3DXVECTOR3 p = Transformed(D3DXVECTOR3(1, 0, 0), m);
    EXPECT_NEAR(p.x, 10, 1e-5f);
    EXPECT_NEAR(p.y, 2, 1e-5f);

    TransformAnimation rotationOnly;
    rotationOnly.Rotation().AddKey(MakeRotationKey(0, D3DXVECTOR3(1, 0, 0), 1));
    D3DXMATRIX expected;
    D3DXMatrixRotationX(&expected, 1);
    ASSERT_TRUE(rotationOnly.Apply(0, m));
    ExpectMatrixNear(m, expected);
}

// A node's animation offsets its rest placement: position keys add to the rest position,
// rotation keys turn the node about its own origin, and the rest matrix is kept when the
// node switches to component mode.
TEST(AnimNode, KeysOffsetTheRestPlacement) {
    SceneNode node("Fir", "Mesh");
    Transform& t = node.LocalTransform();
    t.SetPosition(D3DXVECTOR3(5, 0, 0));
    t.SetScale(D3DXVECTOR3(2, 2, 2));
    const D3DXMATRIX rest = node.LocalMatrix();

    auto animation = std::make_unique<TransformAnimation>();
    animation->Position().AddKey(MakeVectorKey(0, D3DXVECTOR3(0, 0, 0)));
    animation->Position().AddKey(MakeVectorKey(1, D3DXVECTOR3(0, 3, 0)));
    animation->Rotation().AddKey(MakeRotationKey(0, D3DXVECTOR3(0, 0, 1), 0));
    animation->Rotation().AddKey(MakeRotationKey(1, D3DXVECTOR3(0, 0, 1), D3DX_PI / 2));
    node.SetAnimation(std::move(animation));
    EXPECT_EQ(node.Mode(), TransformMode::kComponent);
    ExpectMatrixNear(node.LocalMatrix(), rest);

    node.Player()->Start(1000);
    ASSERT_TRUE(node.Animate(1000));
    ExpectMatrixNear(node.LocalMatrix(), rest);
    ASSERT_TRUE(node.Animate(3000));  // past the end: the last keys
    const D3DXVECTOR3 origin = Transformed(D3DXVECTOR3(0, 0, 0), node.LocalMatrix());
    EXPECT_NEAR(origin.x, 5, 1e-5f);
    EXPECT_NEAR(origin.y, 3, 1e-5f);
    const D3DXVECTOR3 tip = Transformed(D3DXVECTOR3(1, 0, 0), node.LocalMatrix());
    EXPECT_NEAR(tip.x, 5, 1e-5f);
    EXPECT_NEAR(tip.y, 5, 1e-5f);

    // A node kept whole (translation inside the base) also turns about its own origin.
    SceneNode whole("Skewed", "Mesh");
    const float skewed[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0.5f, 1, 0, 7, 0, 0, 1};
    whole.LocalTransform().SetBaseMatrix(skewed);
    const D3DXMATRIX wholeRest = whole.LocalMatrix();
    auto spin = std::make_unique<TransformAnimation>();
    spin->Rotation().AddKey(MakeRotationKey(0, D3DXVECTOR3(0, 0, 1), D3DX_PI / 2));
    whole.SetAnimation(std::move(spin));
    whole.ApplyAnimation(*whole.Animation(), 0);
    const D3DXVECTOR3 at = Transformed(D3DXVECTOR3(0, 0, 0), whole.LocalMatrix());
    EXPECT_NEAR(at.x, wholeRest.m[3][0], 1e-5f);
}

// "Animation" elements of a scene file fill the node's tracks in directory order; a key
// of fewer than 32 bytes ends its track.
TEST(AnimNode, LoadsKeysFromSceneFile) {
    UdfWriter writer;
    UdfWriter::Node* element = writer.Root()->AddContainer("Children", "Node")->AddContainer("Sled", "Mesh");
    UdfWriter::Node* anim = element->AddContainer("Animation", "");
    UdfWriter::Node* position = anim->AddContainer("Position", "");
    UdfWriter::Node* rotation = anim->AddContainer("Rotation", "");
    auto add = [](UdfWriter::Node* track, const char* name, const AnimKey& key) {
        std::uint8_t bytes[32];
        AnimKeyToBytes(key, bytes);
        track->AddLeaf(name, "", bytes, sizeof bytes);
    };
    add(position, "k0", MakeVectorKey(0, D3DXVECTOR3(0, 0, 0)));
    add(position, "k1", MakeVectorKey(2, D3DXVECTOR3(4, 0, 0)));
    position->AddLeaf("short", "", std::vector<std::uint8_t>(31, 0));
    add(position, "k2", MakeVectorKey(4, D3DXVECTOR3(9, 0, 0)));
    add(rotation, "r0", MakeRotationKey(1, D3DXVECTOR3(0, 1, 0), 0.5f));
    UdfWriter::Node* still = writer.Root()->AddContainer("Still", "Mesh");
    still->AddContainer("Animation", "")->AddContainer("Scale", "");

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writer.Write(bytes));
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(bytes));
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(reader.LoadElement(root, 0));
    const UdfElement* sled = root->Child("Children")->Child("Sled");
    ASSERT_NE(sled, nullptr);

    SceneNode node("Sled", "Mesh");
    ASSERT_TRUE(LoadNodeAnimation(sled, node, 0));
    ASSERT_NE(node.Animation(), nullptr);
    EXPECT_EQ(node.Animation()->Position().KeyCount(), 2);
    EXPECT_EQ(node.Animation()->Rotation().KeyCount(), 1);
    EXPECT_EQ(node.Animation()->Scale().KeyCount(), 0);
    EXPECT_EQ(node.Animation()->Position().Keys()[1].x, 4);
    EXPECT_EQ(node.Player()->RangeStart(), 0);
    EXPECT_EQ(node.Player()->RangeEnd(), 2);
    EXPECT_FLOAT_EQ(node.Player()->CurrentTime(2500), 0.5f);  // looping over 0..2

    SceneNode plain("Still", "Mesh");
    EXPECT_FALSE(LoadNodeAnimation(root->Child("Still"), plain, 0));
    EXPECT_EQ(plain.Animation(), nullptr);
    EXPECT_EQ(plain.Mode(), TransformMode::kWhole);
    EXPECT_FALSE(LoadNodeAnimation(root, plain, 0));
}

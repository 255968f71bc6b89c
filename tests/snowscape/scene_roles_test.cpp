// Node roles: which name gets which role, the effects' timing and fades, the sway, and the
// billboards' scale.

#include "core/clock.h"
#include "core/random.h"
#include "scene/mesh_renderable.h"
#include "snowscape/scene_roles.h"
#include "snowscape/scene_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/scene/scene_test_files.h"

#include <cmath>
#include <memory>

namespace {

using namespace scenetest;

class SceneRolesTest : public RecordedDeviceTest {
protected:
    void TearDown() override {
        roles_.reset();
        scene_.reset();
        UnmountArchiveForTesting();
        RecordedDeviceTest::TearDown();
    }

    void Load(std::initializer_list<const char*> names) {
        UdfWriter writer;
        Node* children = writer.Root()->AddContainer("Children", "Node");
        for (const char* name : names) AddProps(AddMesh(children, name, "", 3, {0, 1, 2}), {{"lit", "0"}});
        scene_ = std::make_unique<Scene>();
        ASSERT_TRUE(LoadPackedScene(writer, {}, archive_, *scene_));
        roles_ = std::make_unique<SceneRoles>();
        SeedRandom(7);
        roles_->Assign(*scene_, tuning_, 1000);
    }

    SceneSettings tuning_;
    std::vector<std::uint8_t> archive_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<SceneRoles> roles_;
};

TEST_F(SceneRolesTest, NamesGiveRolesInTheirOrder) {
    Load({"SkyDust", "BlissDust1", "Dust2", "DustFace3", "Fir4", "FirFollow5", "LampFollow6", "House7"});
    ASSERT_NE(roles_->Sky(), nullptr);
    EXPECT_EQ(roles_->Sky()->Name(), String("SkyDust"));  // the sky test wins over dust
    ASSERT_EQ(roles_->EffectCount(), 3);
    int sparkles = 0, facing = 0;
    for (int i = 0; i < roles_->EffectCount(); ++i) {
        const EffectRecord& effect = roles_->EffectAt(i);
        sparkles += effect.sparkle;
        facing += effect.facesCamera;
        EXPECT_EQ(effect.node->Renderable(), nullptr) << "effects start invisible";
        EXPECT_GE(effect.nextStart, 1000);
        EXPECT_LE(effect.nextStart, 10000);
        if (effect.sparkle) {
            EXPECT_EQ(effect.node->Name(), String("BlissDust1"));
        }
        EXPECT_FLOAT_EQ(effect.duration, effect.sparkle ? tuning_.blissTime : tuning_.dustTime);
    }
    EXPECT_EQ(sparkles, 1);
    EXPECT_EQ(facing, 1);
    EXPECT_EQ(roles_->SwayingCount(), 2);  // FirFollow5 sways and is a billboard as well
    EXPECT_EQ(roles_->Billboards().size(), 2u);
    // The sky and the billboards left the ordinary list; effects and firs stay in it.
    EXPECT_EQ(scene_->Root().ChildCount(), 5);
    EXPECT_EQ(scene_->Root().FindChild("LampFollow6"), nullptr);
}

TEST_F(SceneRolesTest, DustPlaysFadesAndWaits) {
    Load({"Dust1"});
    EffectRecord& dust = roles_->EffectAt(0);
    const CameraPose camera;
    std::int64_t now = 1000;
    // Every effect shows within ten seconds.
    while (!dust.active && now < 11001) roles_->UpdateEffects(camera, tuning_, ++now);
    ASSERT_TRUE(dust.active);
    EXPECT_NE(dust.node->Renderable(), nullptr);
    float start = 0, end = 0;
    ASSERT_TRUE(dust.motion.Range(start, end));
    EXPECT_GE(end, 2.5f);  // DustTime 5: 2.5 to 6.5 seconds
    EXPECT_LE(end, 6.5f);
    const std::int64_t began = now;
    roles_->UpdateEffects(camera, tuning_, began + std::int64_t(end * 500));
    EXPECT_NEAR(dust.visual->State()->alphaFactor, 1.0f, 1e-3f);  // fully there at half its life
    // The puff drifts from its rest place, up to 149 units along its turned rest direction.
    D3DXVECTOR3 offset;
    ASSERT_TRUE(dust.motion.Position().Value(end, offset));
    const float distance = D3DXVec3Length(&offset);
    EXPECT_GE(distance, 50.0f);
    EXPECT_LT(distance, 150.0f);
    EXPECT_LT(std::fabs(offset.y), 1e-3f);
    // At the end it hides again and waits under DustWait.
    roles_->UpdateEffects(camera, tuning_, began + std::int64_t(end * 1000) + 1);
    EXPECT_FALSE(dust.active);
    EXPECT_EQ(dust.node->Renderable(), nullptr);
    EXPECT_LT(dust.nextStart - (began + std::int64_t(end * 1000) + 1), 1000);
}

TEST_F(SceneRolesTest, ZeroRangesAddNothing) {
    tuning_.blissWait = 0;
    tuning_.blissTime = 0.5f;
    Load({"Bliss1"});
    EffectRecord& sparkle = roles_->EffectAt(0);
    const CameraPose camera;
    std::int64_t now = 10001;
    roles_->UpdateEffects(camera, tuning_, now);
    ASSERT_TRUE(sparkle.active);
    float start = 0, end = 0;
    ASSERT_TRUE(sparkle.motion.Range(start, end));
    EXPECT_FLOAT_EQ(end, 0.25f);  // no random part: half the duration
    roles_->UpdateEffects(camera, tuning_, now + 300);  // over: waits 0 ms
    EXPECT_FALSE(sparkle.active);
    roles_->UpdateEffects(camera, tuning_, now + 301);  // and restarts at once
    EXPECT_TRUE(sparkle.active);
}

TEST(SceneRoles, SwayKeysAndBillboardScale) {
    SceneRoles roles;
    float start = 0, end = 0;
    ASSERT_TRUE(roles.Sway().Range(start, end));
    EXPECT_FLOAT_EQ(start, 10);
    EXPECT_FLOAT_EQ(end, 50);
    D3DXQUATERNION q;
    ASSERT_TRUE(roles.Sway().Rotation().Value(20, q));
    EXPECT_NEAR(2 * std::asin(std::fabs(q.z)), 0.02f, 1e-4f);  // about z by -0.02 at 20 s
    EXPECT_NEAR(BillboardScale(1000), 2.236f, 1e-3f);
    EXPECT_NEAR(BillboardScale(0.05f), 0.0316f, 1e-4f);
    EXPECT_NEAR(BillboardScale(100), 1.0f, 1e-6f);
}

}  // namespace

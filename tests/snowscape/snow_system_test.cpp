// The snow's rules: births per 5 ms with the carry, lost steps when full, the three removal
// tests, where the seed puts new flakes, the quad written per flake and the initial fill.

#include "tests/snowscape/snow_test_util.h"

#include "render/texture_cache.h"

#include <cmath>
#include <vector>

namespace {

using snow_test::Camera;
using snow_test::Lcg;
using snow_test::SnowTest;
using snow_test::StillTuning;

struct Frame {
    std::int64_t advanceMs;
    int born;
};

// Flakes born by one update: the buffer holds every flake alive after the births.
int BornBy(SnowSystem& snow, const CameraPose& camera) {
    const int before = snow.FlakeCount();
    EXPECT_TRUE(snow.Update(camera));
    return snow.DrawnFlakes() - before;
}

TEST_F(SnowTest, OneBirthPerWholeStepTimesTheRateWithThePartStepCarried) {
    const struct {
        const char* name;
        float rate;
        std::vector<Frame> frames;
    } cases[] = {
        {"rate 1", 1.0f, {{5, 1}, {4, 0}, {1, 1}, {7, 1}, {3, 1}, {23, 4}, {0, 0}, {2, 1}}},
        {"rate 2.5 truncates", 2.5f, {{5, 2}, {10, 5}, {2, 0}, {3, 2}, {15, 7}}},
        {"rate 4", 4.0f, {{5, 4}, {16, 12}, {4, 4}}},
        {"no time, no births", 1.0f, {{0, 0}, {0, 0}, {4, 0}, {0, 0}}},
        {"steps times rate in single precision", 0.7f, {{50, 7}}},
    };
    TextureCache textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowSystem snow(StillTuning(100000, c.rate));
        ASSERT_TRUE(snow.CreateRenderer(textures));
        snow.StartSpawnClock();
        const CameraPose camera = Camera({0, 100, 0});
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            Advance(c.frames[i].advanceMs);
            EXPECT_EQ(BornBy(snow, camera), c.frames[i].born) << "frame " << i;
        }
    }
}

TEST_F(SnowTest, AFullListBearsNothingAndLosesItsSteps) {
    TextureCache textures;
    SnowTuning tuning = StillTuning(3);
    tuning.fallStep = 0.25f;
    SnowSystem snow(tuning);
    ASSERT_TRUE(snow.CreateRenderer(textures));
    const CameraPose camera = Camera({0, 100, 0});
    snow.AddFlake({{0, 100, 10}, {0, 0, 0}});
    snow.AddFlake({{0, 0.2f, 10}, {0, 0, 0}});  // below the ground after this frame
    snow.AddFlake({{0, 100, 20}, {0, 0, 0}});
    snow.StartSpawnClock();
    Advance(50);
    EXPECT_EQ(BornBy(snow, camera), 0);
    EXPECT_EQ(snow.FlakeCount(), 2);
    Advance(4);  // ten steps were lost, not saved
    EXPECT_EQ(BornBy(snow, camera), 0);
    Advance(1);
    EXPECT_EQ(BornBy(snow, camera), 1);

    // The maximum is checked once per batch, so a batch may overshoot it.
    SnowSystem over(StillTuning(10));
    ASSERT_TRUE(over.CreateRenderer(textures));
    for (int i = 0; i < 9; ++i) over.AddFlake({{0, 100, 10}, {0, 0, 0}});
    over.StartSpawnClock();
    Advance(20);
    EXPECT_EQ(BornBy(over, camera), 4);

    // A stalled clock earns at most one list's worth of flakes in one batch.
    SnowSystem stalled(StillTuning(10));
    ASSERT_TRUE(stalled.CreateRenderer(textures));
    stalled.StartSpawnClock();
    Advance(3600 * 1000);
    EXPECT_EQ(BornBy(stalled, camera), 10);
}

TEST_F(SnowTest, FlakesLeaveBehindTheCameraBeyond200AndBelowTheGroundStrictly) {
    SnowTuning tuning = StillTuning();
    tuning.fallStep = 0.25f;
    tuning.strafe = 0.5f;
    const D3DXVECTOR3 along{0, 0, 1};
    const struct {
        const char* name;
        D3DXVECTOR3 start;
        bool survives;
    } cases[] = {
        {"exactly 200 away", {0, 50.25f, 199.5f}, true},
        {"200.001 away", {0, 50.25f, 199.501f}, false},
        {"y ends exactly 0", {0, 0.25f, 10}, true},
        {"y ends below 0", {0, 0.2f, 10}, false},
        {"just behind", {0, 60, -1}, false},
        {"level with the camera", {5, 60, -0.5f}, true},
        {"ahead and near", {3, 40, 20}, true},
    };
    TextureCache textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowSystem snow(tuning);
        ASSERT_TRUE(snow.CreateRenderer(textures));
        snow.AddFlake({c.start, along});
        snow.StartSpawnClock();
        ASSERT_TRUE(snow.Update(Camera({0, 50, 0})));
        EXPECT_EQ(snow.FlakeCount(), c.survives ? 1 : 0);
        // Taken out or not, the flake is drawn this frame at its final place.
        EXPECT_EQ(snow.DrawnFlakes(), 1);
        const D3DXVECTOR3 final = c.start + D3DXVECTOR3(0, -0.25f, 0.5f);
        const D3DXVECTOR3 centre = SnowTest::Centres(snow).at(0);
        EXPECT_NEAR(centre.x, final.x, 1e-5);
        EXPECT_NEAR(centre.y, final.y, 1e-5);
        EXPECT_NEAR(centre.z, final.z, 1e-5);
    }
}

TEST_F(SnowTest, ABirthFrameJudgesAndLightsWithTheFlattenedView) {
    // Camera looking down at 45 degrees; the flake sits 10 above and 1 ahead of it.
    const CameraPose camera = Camera({0, 50, 0}, {0, -1, 1});
    const struct {
        const char* name;
        std::int64_t advanceMs;
        bool survives;
        D3DXVECTOR3 normal;
    } cases[] = {
        {"no birth: the true view", 0, false, {0, -0.70710677f, 0.70710677f}},
        {"birth: the view without its height", 5, true, {0, 0, 0.70710677f}},
    };
    TextureCache textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowSystem snow(StillTuning());
        ASSERT_TRUE(snow.CreateRenderer(textures));
        snow.AddFlake({{0, 60, 1}, {0, 0, 0}});
        snow.StartSpawnClock();
        Advance(c.advanceMs);
        ASSERT_TRUE(snow.Update(camera));
        bool found = false;
        snow.ForEachFlake([&](const Flake& f) { found = found || f.position == D3DXVECTOR3(0, 60, 1); });
        EXPECT_EQ(found, c.survives);
        for (const SnowVertex& v : SnowTest::Written(snow)) {
            EXPECT_FLOAT_EQ(v.nx, c.normal.x);
            EXPECT_FLOAT_EQ(v.ny, c.normal.y);
            EXPECT_FLOAT_EQ(v.nz, c.normal.z);
        }
    }
}

TEST_F(SnowTest, NewFlakesComeFromTheSeedInAFixedDrawOrder) {
    const std::uint32_t seed = 12345;
    const D3DXVECTOR3 p{10, 5, 20};
    // Three births, each: side, ahead, height, then the three drift randoms.
    struct Birth {
        D3DXVECTOR3 position, drift;
    };
    Lcg lcg{seed};
    std::vector<Birth> births;
    for (int i = 0; i < 3; ++i) {
        const int side = lcg.Next() % 200 - 100;
        const int ahead = lcg.Next() % 300;
        const int height = lcg.Next() % 200 + 50;
        double d[3];
        for (double& v : d) v = lcg.Next() % 300 - 150.0;
        const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        // Looking along +z with y up: right is +x, forward +z.
        births.push_back({{p.x + side, float(height), p.z + ahead},
                          {float(d[0] / length), float(d[1] / length), float(d[2] / length)}});
    }
    TextureCache textures;
    for (const float strafe : {0.0f, 1.0f}) {
        SCOPED_TRACE(strafe);
        SnowTuning tuning = StillTuning();
        tuning.strafe = strafe;
        SnowSystem snow(tuning);
        ASSERT_TRUE(snow.CreateRenderer(textures));
        SeedRandom(seed);
        snow.StartSpawnClock();
        Advance(15);
        ASSERT_TRUE(snow.Update(Camera(p)));
        const std::vector<D3DXVECTOR3> centres = SnowTest::Centres(snow);
        ASSERT_EQ(centres.size(), 3u);
        // The walk starts at the cursor, the last birth, then wraps to the first.
        const int order[3] = {2, 0, 1};
        for (int i = 0; i < 3; ++i) {
            const Birth& b = births[order[i]];
            const D3DXVECTOR3 want = b.position + b.drift * strafe;
            EXPECT_NEAR(centres[i].x, want.x, 1e-4) << i;
            EXPECT_NEAR(centres[i].y, want.y, 1e-4) << i;
            EXPECT_NEAR(centres[i].z, want.z, 1e-4) << i;
            if (strafe == 0) {
                EXPECT_EQ(centres[i], b.position) << i;
            }
        }
        EXPECT_EQ(Random(), Lcg{lcg.state}.Next());  // exactly 18 draws
    }
}

TEST_F(SnowTest, NoFlakeIsBornAtTheLens) {
    // A camera inside the birth band: some births would land right in front of it.
    const D3DXVECTOR3 p{0, 100, 0};
    TextureCache textures;
    SnowSystem snow(StillTuning());
    ASSERT_TRUE(snow.CreateRenderer(textures));
    SeedRandom(99);
    snow.StartSpawnClock();
    Advance(5 * 20000);
    ASSERT_TRUE(snow.Update(Camera(p)));
    // Replay the births: those within 25 units are never born, the rest stay unless the
    // walk takes them out beyond 200 units.
    Lcg lcg{99};
    int dropped = 0, expected = 0;
    for (int i = 0; i < 20000; ++i) {
        const int side = lcg.Next() % 200 - 100, ahead = lcg.Next() % 300, height = lcg.Next() % 200 + 50;
        for (int k = 0; k < 3; ++k) lcg.Next();
        const D3DXVECTOR3 offset{float(side), float(height) - p.y, float(ahead)};
        const float distance = D3DXVec3Length(&offset);
        if (distance < 25.0f) ++dropped;
        else if (distance <= 200.0f) ++expected;
    }
    EXPECT_GT(dropped, 0);
    EXPECT_EQ(snow.FlakeCount(), expected);
    EXPECT_EQ(Random(), lcg.Next());  // every birth drew its six numbers
    snow.ForEachFlake([&](const Flake& f) {
        const D3DXVECTOR3 offset = f.position - p;
        EXPECT_GE(D3DXVec3Length(&offset), 25.0f);
    });
}

TEST_F(SnowTest, EachFlakeIsTwoTrianglesFacingTheCamera) {
    const struct {
        const char* name;
        CameraPose camera;
        D3DXVECTOR3 corners[6];
        D3DXVECTOR3 normal;
    } cases[] = {
        {"looking along +x",
         Camera({0, 20, 30}, {1, 0, 0}, {0, 1, 0}),
         {{10, 19.5f, 30.5f}, {10, 20.5f, 30.5f}, {10, 20.5f, 29.5f}, {10, 19.5f, 30.5f}, {10, 20.5f, 29.5f},
          {10, 19.5f, 29.5f}},
         {1, 0, 0}},
        {"unnormalised vectors give the same quad",
         Camera({0, 20, 30}, {3, 0, 0}, {0, 2, 0}),
         {{10, 19.5f, 30.5f}, {10, 20.5f, 30.5f}, {10, 20.5f, 29.5f}, {10, 19.5f, 30.5f}, {10, 20.5f, 29.5f},
          {10, 19.5f, 29.5f}},
         {1, 0, 0}},
        {"looking along +z",
         Camera({10, 20, 0}, {0, 0, 1}, {0, 1, 0}),
         {{9.5f, 19.5f, 30}, {9.5f, 20.5f, 30}, {10.5f, 20.5f, 30}, {9.5f, 19.5f, 30}, {10.5f, 20.5f, 30},
          {10.5f, 19.5f, 30}},
         {0, 0, 1}},
        {"a zero up vector collapses the quad",
         Camera({0, 20, 30}, {1, 0, 0}, {0, 0, 0}),
         {{10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}},
         {1, 0, 0}},
    };
    const float uv[6][2] = {{0, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}};
    TextureCache textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowSystem snow(StillTuning());
        ASSERT_TRUE(snow.CreateRenderer(textures));
        snow.AddFlake({{10, 20, 30}, {0, 0, 0}});
        snow.StartSpawnClock();
        ASSERT_TRUE(snow.Update(c.camera));
        const std::vector<SnowVertex> v = SnowTest::Written(snow);
        ASSERT_EQ(v.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(D3DXVECTOR3(v[i].x, v[i].y, v[i].z), c.corners[i]) << i;
            EXPECT_EQ(D3DXVECTOR3(v[i].nx, v[i].ny, v[i].nz), c.normal) << i;
            EXPECT_EQ(v[i].u, uv[i][0]) << i;
            EXPECT_EQ(v[i].v, uv[i][1]) << i;
        }
    }
}

TEST_F(SnowTest, InitialFillPlacesAHundredFlakesInTheBoxAroundTheCamera) {
    const D3DXVECTOR3 q{100, 10, -50};
    const struct {
        const char* name;
        float box;
        int range;
    } cases[] = {{"box 300", 300, 300}, {"box 500.9 truncates", 500.9f, 500}, {"box below 1", 0.5f, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowTuning tuning = StillTuning();
        tuning.box = c.box;
        SnowSystem snow(tuning);
        SeedRandom(777);
        snow.InitialFill(q);
        ASSERT_EQ(snow.FlakeCount(), 100);
        Lcg lcg{777};
        auto draw = [&] { const int r = lcg.Next(); return c.range > 0 ? r % c.range : 0; };
        const float half = c.range * 0.5f;
        int index = 0;
        snow.ForEachFlake([&](const Flake& f) {
            const float x = float(draw()) - half + q.x;
            const float y = float(draw()) + q.y;
            const float z = float(draw()) - half + q.z;
            EXPECT_EQ(f.position, D3DXVECTOR3(x, y, z)) << index;
            double d[3];
            for (double& v : d) v = draw() - half;
            const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            for (int k = 0; k < 3; ++k) {
                const float got = k == 0 ? f.drift.x : (k == 1 ? f.drift.y : f.drift.z);
                EXPECT_NEAR(got, length > 0 ? d[k] / length : 0.0, 1e-6) << index;
            }
            ++index;
        });
        EXPECT_EQ(Random(), lcg.Next());  // six draws per flake, whatever the box
    }
}

}  // namespace

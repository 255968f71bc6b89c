// The camera flight: the order paths are flown in, the path clock, the fade alpha, the
// switch at the end of a path, loading paths, the free camera, and the pose of the path node.

#include "snowscape/camera_flight.h"

#include "core/random.h"
#include "tests/snowscape/camera_test_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

using camera_test::CamFile;
using camera_test::MountedMedia;
using camera_test::PathElement;
using camera_test::StraightPath;
using camera_test::Strings;
using camera_test::Text;

std::vector<std::string> FourteenNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= 14; ++i) names.push_back((i < 10 ? "path0" : "path") + std::to_string(i) + ".cam");
    return names;
}

std::vector<MountedMedia::File> FilesOf(const std::vector<std::string>& names, float end) {
    std::vector<MountedMedia::File> files;
    for (const std::string& name : names) files.push_back({name, StraightPath(end)});
    return files;
}

// The names a flight loads, one per switch, with a frame long enough to end every path.
std::vector<std::string> FlownNames(CameraFlight& flight, int count) {
    std::vector<std::string> flown{Text(flight.LoadedPath())};
    std::int64_t now = 0;
    flight.Update(now);
    while (static_cast<int>(flown.size()) < count) {
        now += 100000;
        flight.Update(now);
        flown.push_back(Text(flight.LoadedPath()));
        EXPECT_EQ(flight.PathTime(), 0.0f);
    }
    return flown;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
}

// A reference of the list behaviour: a vector in ring order with a cursor index.
struct RingModel {
    std::vector<std::string> ring;
    int cursor = -1;
    void Insert(const std::string& s) {
        ring.insert(ring.begin() + (cursor + 1), s);
        ++cursor;
    }
    std::string Remove() {
        std::string s = ring[static_cast<std::size_t>(cursor)];
        ring.erase(ring.begin() + cursor);
        cursor = ring.empty() ? -1 : (cursor - 1 + static_cast<int>(ring.size())) % static_cast<int>(ring.size());
        return s;
    }
};

TEST(CameraFlightTest, PicksFollowTheRingListsAndTheSharedGenerator) {
    const std::vector<std::string> names = {"a.cam", "b.cam", "c.cam", "d.cam", "e.cam"};
    for (std::uint32_t seed : {1u, 7u, 12345u, 31337u}) {
        // Expected: the model lists driven by the same generator formula, written out here.
        RingModel remaining, used;
        for (const std::string& n : names) remaining.Insert(n);
        std::uint32_t state = seed;
        std::vector<std::string> expected;
        for (int pick = 0; pick < 12; ++pick) {
            state = state * 214013u + 2531011u;
            const int draw = static_cast<int>((state >> 16) & 0x7FFF);
            const int n = draw % static_cast<int>(remaining.ring.size());
            remaining.cursor = (remaining.cursor + n) % static_cast<int>(remaining.ring.size());
            expected.push_back(remaining.ring[static_cast<std::size_t>(remaining.cursor)]);
            used.Insert(remaining.Remove());
            if (remaining.ring.empty())
                while (!used.ring.empty()) remaining.Insert(used.Remove());
        }

        PathList list(Strings(names));
        SeedRandom(seed);
        std::vector<std::string> actual;
        for (int pick = 0; pick < 12; ++pick) {
            String name;
            ASSERT_TRUE(list.Pick(name));
            actual.push_back(Text(name));
            list.FinishCurrent();
        }
        EXPECT_EQ(actual, expected) << "seed " << seed;
    }
}

TEST(CameraFlightTest, EachNameIsFlownOnceBeforeAnyRepeats) {
    const std::vector<std::string> names = FourteenNames();
    MountedMedia media(FilesOf(names, 160));
    int justFlownAgain = 0;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SeedRandom(seed);
        CameraFlight flight(Strings(names));
        flight.PlaceFreeCamera();
        flight.Start(0);
        const std::vector<std::string> flown = FlownNames(flight, 14 * 3 + 1);
        for (int round = 0; round < 3; ++round) {
            const std::set<std::string> distinct(flown.begin() + round * 14, flown.begin() + (round + 1) * 14);
            EXPECT_EQ(distinct.size(), 14u) << "seed " << seed << " round " << round;
        }
        // After the fourteenth the lists are full again: the path just flown may come next.
        if (flown[14] == flown[13]) ++justFlownAgain;
        EXPECT_EQ(flight.Paths().RemainingCount() + flight.Paths().UsedCount(), 14);
    }
    EXPECT_GT(justFlownAgain, 0);
}

TEST(CameraFlightTest, ListsStartInFileOrderAndRefillWhenEmpty) {
    PathList list(Strings({"a", "b", "c"}));
    String current;
    ASSERT_TRUE(list.Current(current));
    EXPECT_EQ(Text(current), "c");  // the cursor starts on the last name
    EXPECT_EQ(list.Remaining().size(), 3u);
    list.FinishCurrent();  // c flown; the cursor moves back to b
    ASSERT_TRUE(list.Current(current));
    EXPECT_EQ(Text(current), "b");
    EXPECT_EQ(list.UsedCount(), 1);
    list.FinishCurrent();
    list.FinishCurrent();  // the last one: every name comes back
    EXPECT_EQ(list.RemainingCount(), 3);
    EXPECT_EQ(list.UsedCount(), 0);

    PathList empty({});
    SeedRandom(99);
    String name("unchanged");
    EXPECT_FALSE(empty.Pick(name));
    EXPECT_EQ(Text(name), "unchanged");
    empty.FinishCurrent();
    EXPECT_EQ(empty.RemainingCount(), 0);
    // No draw was taken from the shared generator.
    const int next = Random();
    SeedRandom(99);
    EXPECT_EQ(Random(), next);
}

TEST(CameraFlightTest, PathClockAdvancesTenUnitsPerSecond) {
    MountedMedia media(FilesOf({"one.cam"}, 720));
    struct Case {
        std::vector<std::int64_t> frames;  // clock times after the start at 1000
        float time;
    };
    const Case cases[] = {
        {{1250}, 2.5f},
        {{1000}, 0.0f},
        {{1001}, 0.01f},
        {{1100, 1100, 1350}, 3.5f},
        {{2000, 3000, 4000}, 30.0f},
        {{1000 + 72000}, 720.0f},  // the end itself does not switch
    };
    for (const Case& c : cases) {
        CameraFlight flight(Strings({"one.cam"}));
        flight.Start(1000);
        EXPECT_EQ(flight.PathTime(), 0.0f);
        for (std::int64_t t : c.frames) flight.Update(t);
        EXPECT_FLOAT_EQ(flight.PathTime(), c.time) << c.frames.back();
        EXPECT_EQ(flight.Paths().UsedCount(), 0);
    }
}

TEST(CameraFlightTest, FadeAlphaNearBothEndsOfAPath) {
    MountedMedia media(FilesOf({"one.cam"}, 720));
    CameraFlight flight(Strings({"one.cam"}));
    flight.Start(0);
    struct Case {
        float time;
        bool drawn;
        float alpha;
    };
    const Case cases[] = {
        {0, true, 1.0f},   {5, true, 0.5f},     {9.5f, true, 0.05f}, {10, false, 0},    {360, false, 0},
        {710, false, 0},   {712, true, 0.2f},   {715, true, 0.5f},   {718, true, 0.8f}, {720, true, 1.0f},
    };
    for (const Case& c : cases) {
        flight.SetPathTime(c.time);
        const std::optional<float> alpha = flight.FadeAlpha();
        ASSERT_EQ(alpha.has_value(), c.drawn) << c.time;
        if (c.drawn) {
            EXPECT_NEAR(*alpha, c.alpha, 1e-5f) << c.time;
        }
    }
    EXPECT_FLOAT_EQ(*(flight.SetPathTime(5), flight.FadeAlpha()), 0.5f);
    EXPECT_FLOAT_EQ(*(flight.SetPathTime(718), flight.FadeAlpha()), 0.8f);

    // No fade without a path: before the start, and with nothing loaded.
    CameraFlight idle(Strings({"one.cam"}));
    idle.SetPathTime(5);
    EXPECT_FALSE(idle.FadeAlpha().has_value());
    CameraFlight missing(Strings({"missing.cam"}));
    missing.Start(0);
    EXPECT_FALSE(missing.FadeAlpha().has_value());
}

TEST(CameraFlightTest, ALongFramePastTheEndSwitchesAtOnce) {
    MountedMedia media(FilesOf({"a.cam", "b.cam"}, 720));
    struct Case {
        std::int64_t frame;  // one frame after the start at 0
        bool switched;
    };
    const Case cases[] = {{72000, false}, {72001, true}, {500000, true}};
    for (const Case& c : cases) {
        SeedRandom(3);
        CameraFlight flight(Strings({"a.cam", "b.cam"}));
        flight.Start(0);
        const std::string first = Text(flight.LoadedPath());
        flight.Update(c.frame);
        EXPECT_EQ(flight.Paths().UsedCount(), c.switched ? 1 : 0) << c.frame;
        if (!c.switched) continue;
        // The other path now, from time 0 (nothing carried over), fading in from black.
        EXPECT_NE(Text(flight.LoadedPath()), first);
        EXPECT_EQ(flight.PathTime(), 0.0f);
        EXPECT_FLOAT_EQ(flight.FadeAlpha().value_or(-1), 1.0f);
        flight.Update(c.frame + 250);
        EXPECT_FLOAT_EQ(flight.PathTime(), 2.5f);
        EXPECT_EQ(flight.Paths().UsedCount(), 1);
    }
}

TEST(CameraFlightTest, LoadingAPathFillsItsTracksInElementOrder) {
    const std::vector<PathElement> elements = {
        {"rot9", "rot", MakeRotationKey(160, D3DXVECTOR3(0, 1, 0), 1.0f)},
        {"pos0", "pos", MakeVectorKey(0, D3DXVECTOR3(1, 2, 3))},
        {"rot0", "rot", MakeRotationKey(0, D3DXVECTOR3(1, 0, 0), 0.5f)},
        {"pos1", "pos", MakeVectorKey(80, D3DXVECTOR3(4, 5, 6))},
        {"pos2", "pos", MakeVectorKey(80, D3DXVECTOR3(7, 8, 9))},  // same time: replaces
        {"odd", "key", MakeRotationKey(40, D3DXVECTOR3(0, 0, 1), 0.25f)},  // any other type: rotation
        {"cut", "pos", MakeVectorKey(120, D3DXVECTOR3(9, 9, 9)), 16},  // too short: skipped
        {"nan", "pos", MakeVectorKey(std::nanf(""), D3DXVECTOR3(9, 9, 9))},        // no time: skipped
        {"inf", "rot", MakeRotationKey(INFINITY, D3DXVECTOR3(0, 1, 0), 1.0f)},    // skipped
        {"-inf", "pos", MakeVectorKey(-INFINITY, D3DXVECTOR3(9, 9, 9))},          // skipped
    };
    MountedMedia media({{"keys.cam", CamFile(elements)}, {"bad.cam", {'U', 'D', 'F', ' ', 'n', 'o'}}});
    CameraFlight flight(Strings({"keys.cam"}));
    ASSERT_TRUE(flight.LoadPath(String("keys.cam")));
    const TransformAnimation& animation = flight.PathAnimation();

    const std::vector<AnimKey>& positions = animation.Position().Keys();
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0].time, 0.0f);
    EXPECT_EQ(positions[0].z, 3.0f);
    EXPECT_EQ(positions[1].time, 80.0f);
    EXPECT_EQ(positions[1].x, 7.0f);
    const std::vector<AnimKey>& rotations = animation.Rotation().Keys();
    ASSERT_EQ(rotations.size(), 3u);
    const float times[] = {0, 40, 160};
    const D3DXVECTOR3 axes[] = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0)};
    const float angles[] = {0.5f, 0.25f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rotations[i].time, times[i]);
        D3DXQUATERNION q;
        D3DXQuaternionRotationAxis(&q, &axes[i], angles[i]);
        EXPECT_FLOAT_EQ(rotations[i].x, q.x) << i;
        EXPECT_FLOAT_EQ(rotations[i].y, q.y) << i;
        EXPECT_FLOAT_EQ(rotations[i].z, q.z) << i;
        EXPECT_FLOAT_EQ(rotations[i].w, q.w) << i;
    }
    float start = -1, end = -1;
    ASSERT_TRUE(flight.PathRange(start, end));
    EXPECT_EQ(start, 0.0f);
    EXPECT_EQ(end, 160.0f);

    // A second load starts from empty tracks, whether it reads keys or not.
    for (const char* name : {"bad.cam", "absent.cam"}) {
        ASSERT_TRUE(flight.LoadPath(String("keys.cam")));
        EXPECT_FALSE(flight.LoadPath(String(name))) << name;
        EXPECT_TRUE(animation.Position().IsEmpty()) << name;
        EXPECT_TRUE(animation.Rotation().IsEmpty()) << name;
        EXPECT_FALSE(flight.PathRange(start, end)) << name;
    }
}

TEST(CameraFlightTest, WithoutAPathTheFreeCameraStaysWhereItWasPlaced) {
    MountedMedia media({{"bad.cam", {1, 2, 3}}});
    const std::vector<std::vector<std::string>> lists = {{}, {"absent.cam"}, {"bad.cam"}, {"bad.cam", "absent.cam"}};
    for (const std::vector<std::string>& names : lists) {
        const std::string what = names.empty() ? "empty list" : names[0];
        SeedRandom(11);
        CameraFlight flight(Strings(names));
        flight.PlaceFreeCamera();
        flight.Start(0);
        EXPECT_TRUE(flight.IsActive()) << what;
        for (std::int64_t t : {0, 16, 500000, 1000000}) {
            const CameraPose pose = flight.Update(t);
            EXPECT_TRUE(flight.UsedFreeCamera()) << what;
            ExpectNear(pose.position, D3DXVECTOR3(-370, 100, -250), what);
            ExpectNear(pose.direction, D3DXVECTOR3(0, 0, 1), what);
            ExpectNear(pose.up, D3DXVECTOR3(0, 1, 0), what);
        }
        EXPECT_EQ(flight.PathTime(), 0.0f) << what;
        EXPECT_EQ(flight.Paths().UsedCount(), 0) << what;
        EXPECT_FALSE(flight.FadeAlpha().has_value()) << what;
    }
}

TEST(CameraFlightTest, APathThatFailsToLoadLeavesTheFreeCameraWhereTheFlightStood) {
    MountedMedia media({{"good.cam", StraightPath(160, 25)}});
    // A seed whose first draw picks good.cam (the cursor starts on absent.cam).
    std::uint32_t seed = 1;
    for (;; ++seed) {
        SeedRandom(seed);
        if (Random() % 2 == 1) break;
    }
    SeedRandom(seed);
    CameraFlight flight(Strings({"good.cam", "absent.cam"}));
    flight.PlaceFreeCamera();
    flight.Start(0);
    ASSERT_EQ(Text(flight.LoadedPath()), "good.cam");
    flight.Update(0);
    flight.Update(15000);  // time 150
    const CameraPose before = flight.Update(16500);  // applied at 150, then past the end
    EXPECT_FALSE(flight.UsedFreeCamera());
    EXPECT_EQ(Text(flight.LoadedPath()), "absent.cam");
    ExpectNear(before.position, D3DXVECTOR3(25, 50, 150), "switch frame");
    for (std::int64_t t : {16516, 40000, 900000}) {
        const CameraPose pose = flight.Update(t);
        EXPECT_TRUE(flight.UsedFreeCamera());
        ExpectNear(pose.position, before.position, "free camera");
        ExpectNear(pose.direction, D3DXVECTOR3(0, 0, 1), "free camera");
        ExpectNear(pose.up, D3DXVECTOR3(0, 1, 0), "free camera");
    }
    EXPECT_EQ(flight.Paths().UsedCount(), 1);  // no further switch
    EXPECT_FALSE(flight.FadeAlpha().has_value());
}

TEST(CameraFlightTest, ThePoseTurnsWithTheRotationKeys) {
    struct Case {
        const char* what;
        D3DXVECTOR3 axis;
        float angle;
        D3DXVECTOR3 direction, up;
    };
    const float quarter = 1.5707964f;
    const Case cases[] = {
        {"none", {0, 1, 0}, 0, {0, 0, 1}, {0, 1, 0}},
        {"y +90", {0, 1, 0}, quarter, {1, 0, 0}, {0, 1, 0}},
        {"y 180", {0, 1, 0}, 2 * quarter, {0, 0, -1}, {0, 1, 0}},
        {"x -90", {1, 0, 0}, -quarter, {0, 1, 0}, {0, 0, -1}},
        {"z +90", {0, 0, 1}, quarter, {0, 0, 1}, {-1, 0, 0}},
    };
    for (const Case& c : cases) {
        MountedMedia media({{"turn.cam", CamFile({{"rot0", "rot", MakeRotationKey(0, c.axis, c.angle)},
                                                  {"pos0", "pos", MakeVectorKey(0, D3DXVECTOR3(10, 20, 30))},
                                                  {"pos1", "pos", MakeVectorKey(80, D3DXVECTOR3(10, 20, 110))}})}});
        CameraFlight flight(Strings({"turn.cam"}));
        flight.PlaceFreeCamera();
        flight.Start(0);
        const CameraPose pose = flight.Update(0);
        EXPECT_FALSE(flight.UsedFreeCamera()) << c.what;
        ExpectNear(pose.position, D3DXVECTOR3(10, 20, 30), c.what);
        ExpectNear(pose.direction, c.direction, c.what);
        ExpectNear(pose.up, c.up, c.what);
        // The pose of a frame is the one at the time before the clock moved on.
        flight.Update(4000);  // applied at 0, time now 40
        const CameraPose later = flight.Update(4000);
        ExpectNear(later.position, D3DXVECTOR3(10, 20, 70), c.what);
    }
}

}  // namespace

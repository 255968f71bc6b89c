// Whole snowscape frames over the shipped media, drawn into the recording device: what one
// frame asks of the device, and the counts that must not grow with the run.

#include "core/archive_writer.h"
#include "core/clock.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "scene/scene_draw.h"
#include "snowscape/scene_settings.h"
#include "snowscape/snowscape.h"
#include "tests/render/render_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// The shipped archive repacked without one file.
bool ArchiveWithout(const char* name, std::vector<std::uint8_t>& bytes) {
    const MemoryArchive* mounted = MountedArchive();
    std::vector<ArchiveMember> members;
    String error;
    if (mounted == nullptr || !ListArchive(mounted->Data(), mounted->Size(), members, error)) {
        ADD_FAILURE() << error.CStr();
        return false;
    }
    std::vector<ArchiveFile> files;
    for (const ArchiveMember& member : members) {
        const std::string stored = member.name.ToStdString();
        const std::size_t slash = stored.find_last_of("/\\");
        if (slash == std::string::npos) continue;  // the folder's own entry
        const std::string base = stored.substr(slash + 1);
        if (base == name) continue;
        std::vector<std::uint8_t> data;
        if (!ReadFile(member.name, data)) {
            ADD_FAILURE() << stored;
            return false;
        }
        files.push_back({String(base.c_str()), std::move(data)});
    }
    return PackArchive(kMediaFolder, files, bytes, error);
}

// How many draws the shared generator has made since it was seeded with seed (at most
// limit); the generator is left where it was.
int DrawsSince(std::uint32_t seed, int limit = 1 << 20) {
    const int next[3] = {Random(), Random(), Random()};
    SeedRandom(seed);
    int window[3] = {Random(), Random(), Random()};
    int draws = 0;
    while (draws < limit && !(window[0] == next[0] && window[1] == next[1] && window[2] == next[2])) {
        window[0] = window[1];
        window[1] = window[2];
        window[2] = Random();
        ++draws;
    }
    SeedRandom(seed);
    for (int i = 0; i < draws; ++i) Random();
    return draws;
}

class SnowscapeFrameTest : public RecordedDeviceTest {
protected:
    void SetUp() override {
        RecordedDeviceTest::SetUp();
        ASSERT_TRUE(MountArchive());
        UseVirtualClock(0, 40.0);
        SeedRandom(11);
        LoadSceneSettings(100, 0);
    }
    void TearDown() override {
        UseMonotonicClock();
        UnmountArchiveForTesting();
        RecordedDeviceTest::TearDown();
    }
};

// The visited and submitted counts are per frame: the second frame counts what the first did.
TEST_F(SnowscapeFrameTest, DrawCountsStartOverEachFrame) {
    Snowscape snowscape;
    ASSERT_TRUE(snowscape.Create());
    snowscape.Start();
    ASSERT_TRUE(snowscape.Draw(320, 180));
    const SceneDrawCounters first = DrawCounters();
    EXPECT_GT(first.visited, 600);
    EXPECT_GT(first.submitted, 0);
    ASSERT_TRUE(snowscape.Draw(320, 180));
    EXPECT_EQ(DrawCounters().visited, first.visited);
}

// The draws from the shared generator, in order, for a fixed seed: one per effect and one
// per swaying node while the roles are given, six per flake of the first hundred, one for
// the first path, then the first frames' snow births and effect restarts.
TEST_F(SnowscapeFrameTest, RandomDrawsFollowTheStartUpOrder) {
    SeedRandom(11);
    Snowscape snowscape;
    ASSERT_TRUE(snowscape.Create());
    const int roles = snowscape.Roles().EffectCount() + snowscape.Roles().SwayingCount();
    EXPECT_GT(roles, 60);
    EXPECT_EQ(DrawsSince(11), roles + 100 * 6);
    EXPECT_EQ(snowscape.Snow().FlakeCount(), 100);
    snowscape.Start();
    EXPECT_EQ(DrawsSince(11), roles + 600 + 1);
    // Each 40 ms frame earns 8 births of six draws; in the first frame the effects whose
    // wait drew 0 start too, three draws each.
    int before = roles + 601;
    for (int frame = 0; frame < 3; ++frame) {
        AdvanceVirtualClock();
        ASSERT_TRUE(snowscape.Draw(320, 180));
        int started = 0;
        for (int i = 0; i < snowscape.Roles().EffectCount(); ++i) started += snowscape.Roles().EffectAt(i).active ? 1 : 0;
        const int expected = 8 * 6 + (frame == 0 ? 3 * started : 0);
        if (frame == 0) {
            EXPECT_GT(started, 0);
        }
        const int now = DrawsSince(11);
        EXPECT_EQ(now - before, expected) << "frame " << frame;
        before = now;
    }
}

// The device calls of one frame (the state cache starts empty, so every state reaches the
// device): samplers, ambient and the sky drawn around the camera with depth and fog off, then
// the scene under linear range fog, and a depth-only clear before EndScene.
TEST_F(SnowscapeFrameTest, OneFrameOfDeviceCalls) {
    Snowscape snowscape;
    ASSERT_TRUE(snowscape.Create());
    snowscape.Start();
    ResetStateCache();
    device->ClearCalls();
    ASSERT_TRUE(snowscape.Draw(320, 180));
    const SceneSettings& tuning = SceneTuning();
    auto bits = [](float value) {
        DWORD out;
        std::memcpy(&out, &value, sizeof out);
        return out;
    };
    auto colour = [](const SceneColor& c) { return DWORD(D3DCOLOR_COLORVALUE(c.r, c.g, c.b, c.a)); };

    std::map<DWORD, DWORD> states;
    std::vector<std::map<DWORD, DWORD>> atDraws;  // the render states at each draw
    std::vector<std::string> samplers;
    std::string lastClear, afterEndScene;
    bool ended = false;
    for (const RecordedCall& call : device->Calls()) {
        if (call.method == "SetRenderState") {
            DWORD state = 0, value = 0;
            ASSERT_EQ(std::sscanf(call.arguments.c_str(), "%u, %u", &state, &value), 2) << call.Text();
            states[state] = value;
        } else if (call.method == "DrawIndexedPrimitive" || call.method == "DrawPrimitive") {
            atDraws.push_back(states);
        } else if (call.method == "SetSamplerState") {
            samplers.push_back(call.arguments);
        } else if (call.method == "Clear") {
            lastClear = call.arguments;
        } else if (call.method == "EndScene") {
            ended = true;
        } else if (ended) {
            afterEndScene += call.Text();
        }
    }
    ASSERT_GE(atDraws.size(), 3u);
    for (const char* sampler : {"0, 5, 2", "0, 6, 2", "0, 7, 2"})  // MIN, MAG, MIP linear
        EXPECT_NE(std::find(samplers.begin(), samplers.end(), sampler), samplers.end()) << sampler;
    const std::map<DWORD, DWORD>& sky = atDraws.front();
    EXPECT_EQ(sky.at(D3DRS_ZENABLE), DWORD(FALSE));
    EXPECT_EQ(sky.at(D3DRS_ZWRITEENABLE), DWORD(FALSE));
    EXPECT_EQ(sky.at(D3DRS_FOGENABLE), DWORD(FALSE));
    EXPECT_EQ(sky.at(D3DRS_AMBIENT), colour(tuning.ambient));
    const D3DXVECTOR3 skyAt = snowscape.Roles().Sky()->LocalTransform().Position();
    const D3DXVECTOR3 camera = snowscape.Camera().pose.position;
    EXPECT_EQ(std::vector<float>({skyAt.x, skyAt.y, skyAt.z}), std::vector<float>({camera.x, camera.y, camera.z}));
    // The first draw under fog: the scene's first batch.
    const auto firstFogged = std::find_if(atDraws.begin(), atDraws.end(), [](const std::map<DWORD, DWORD>& s) {
        return s.count(D3DRS_FOGENABLE) != 0 && s.at(D3DRS_FOGENABLE) == TRUE;
    });
    ASSERT_NE(firstFogged, atDraws.end());
    const std::map<DWORD, DWORD>& scene = *firstFogged;
    const std::map<DWORD, DWORD> fog = {{D3DRS_ZENABLE, TRUE},          {D3DRS_ZWRITEENABLE, TRUE},
                                        {D3DRS_FOGENABLE, TRUE},        {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
                                        {D3DRS_RANGEFOGENABLE, TRUE},   {D3DRS_FOGCOLOR, colour(tuning.fogColor)},
                                        {D3DRS_FOGSTART, bits(tuning.fogStart)}, {D3DRS_FOGEND, bits(tuning.fogEnd)}};
    for (const auto& [state, value] : fog) EXPECT_EQ(scene.at(state), value) << "state " << state;
    EXPECT_EQ(lastClear, "0, 2, 0, 1, 0");  // depth only, before EndScene
    EXPECT_TRUE(ended);
    EXPECT_EQ(afterEndScene, "");
}

// A scene file that cannot be read leaves an empty scene; the snow still falls.
TEST_F(SnowscapeFrameTest, WithoutTheSceneFileTheSnowStillFalls) {
    const std::string logPath = ::testing::TempDir() + "frostvale_no_scene_log.txt";
    ASSERT_TRUE(OpenLogFile(logPath.c_str()));
    std::vector<std::uint8_t> archive;
    ASSERT_TRUE(ArchiveWithout(kSceneFile + 1, archive));
    MountArchiveBytes(archive.data(), archive.size());
    Snowscape snowscape;
    const bool created = snowscape.Create();
    CloseLogFile();
    ASSERT_TRUE(created);
    std::ifstream in(logPath);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(log, "Cannot load frostvale.udf\nHierarchy loaded\nSnow renderer created\n");
    EXPECT_EQ(snowscape.GetScene().Root().ChildCount(), 0);
    snowscape.Start();
    for (int frame = 0; frame < 3; ++frame) ASSERT_TRUE(snowscape.Draw(320, 180));
    EXPECT_GT(snowscape.Snow().DrawnFlakes(), 0);
    EXPECT_GE(device->Count("DrawPrimitive") + device->Count("DrawIndexedPrimitive"), 3);
}

}  // namespace

// The fourteen generated camera paths read back through the engine's UDF reader: their keys,
// their calm, roll-free views, their clearance from buildings, trees and the ground along
// the spline the engine flies, and the triangles in view along the way.

#include "tests/tools/mediagen_scene_files.h"
#include "tools/mediagen/scene_settings.h"
#include "tools/mediagen/village_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace mediagen_test;

namespace {

struct Key {
    float time;
    float v[4];
};

struct PathKeys {
    std::vector<Key> positions, rotations;
};

PathKeys ReadPath(const LoadedUdf& file) {
    PathKeys keys;
    for (const UdfElement::Entry& e : file.root->Entries()) {
        float record[8];
        if (e.element->DataSize() != 32) continue;
        std::memcpy(record, e.element->Data(), 32);
        const Key key{record[0], {record[1], record[2], record[3], record[4]}};
        (e.element->TypeName().Equals("pos") ? keys.positions : keys.rotations).push_back(key);
    }
    auto byTime = [](const Key& a, const Key& b) { return a.time < b.time; };
    std::sort(keys.positions.begin(), keys.positions.end(), byTime);
    std::sort(keys.rotations.begin(), keys.rotations.end(), byTime);
    return keys;
}

using V3 = std::array<float, 3>;

V3 Lerp(const V3& a, const V3& b, float u) { return {a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u, a[2] + (b[2] - a[2]) * u}; }

// The engine's vector spline: cubic Hermite with tangents from the neighbouring keys, and
// the end segments shaped from the one tangent there is.
V3 Hermite(const std::vector<Key>& k, float t) {
    auto p = [&](std::size_t i) { return V3{k[i].v[0], k[i].v[1], k[i].v[2]}; };
    if (t <= k.front().time) return p(0);
    if (t >= k.back().time) return p(k.size() - 1);
    std::size_t i = 0;
    while (k[i + 1].time <= t) ++i;
    const float span = k[i + 1].time - k[i].time, u = (t - k[i].time) / span;
    V3 d1, t0, t1;
    for (int c = 0; c < 3; ++c) d1[c] = p(i + 1)[c] - p(i)[c];
    t0 = t1 = d1;
    const bool before = i > 0, after = i + 2 < k.size();
    for (int c = 0; c < 3; ++c) {
        if (before) {
            const float d0 = p(i)[c] - p(i - 1)[c];
            t0[c] = d0 + 2 * (d1[c] - d0) * span / (k[i].time - k[i - 1].time + span);
        }
        if (after) {
            const float d2 = p(i + 2)[c] - p(i + 1)[c], span2 = k[i + 2].time - k[i + 1].time;
            t1[c] = d1[c] + 2 * (d2 - d1[c]) * span2 / (span + span2);
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (!before && after) t0[c] = 1.5f * d1[c] - 0.5f * t1[c];
        if (before && !after) t1[c] = 0.5f * t0[c] + 1.5f * d1[c];
    }
    V3 out;
    const float u2 = u * u, u3 = u2 * u;
    for (int c = 0; c < 3; ++c)
        out[c] = p(i)[c] * (2 * u3 - 3 * u2 + 1) + t0[c] * (u3 - 2 * u2 + u) + p(i + 1)[c] * (-2 * u3 + 3 * u2) +
                 t1[c] * (u3 - u2);
    return out;
}

V3 Linear(const std::vector<Key>& k, float t) {
    std::size_t i = 0;
    while (i + 2 < k.size() && k[i + 1].time <= t) ++i;
    const float u = std::clamp((t - k[i].time) / (k[i + 1].time - k[i].time), 0.0f, 1.0f);
    return Lerp({k[i].v[0], k[i].v[1], k[i].v[2]}, {k[i + 1].v[0], k[i + 1].v[1], k[i + 1].v[2]}, u);
}

V3 RotateByQuaternion(const float* q, V3 v) {
    const V3 u{q[0], q[1], q[2]};
    const float w = q[3];
    const float uv = u[0] * v[0] + u[1] * v[1] + u[2] * v[2], uu = u[0] * u[0] + u[1] * u[1] + u[2] * u[2];
    const V3 c{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return {2 * uv * u[0] + (w * w - uu) * v[0] + 2 * w * c[0], 2 * uv * u[1] + (w * w - uu) * v[1] + 2 * w * c[1],
            2 * uv * u[2] + (w * w - uu) * v[2] + 2 * w * c[2]};
}

// Why the point is not a place for the camera, or "" when it is.
std::string Blocked(const V3& p, const std::vector<Box3>& obstacles, float margin) {
    const float above = p[1] - GroundHeight(p[0], p[2]);
    if (above < 20 || p[1] > 150) return "height " + std::to_string(above);
    for (const Box3& b : obstacles)
        if (p[0] > b.min.x - margin && p[0] < b.max.x + margin && p[1] > b.min.y - margin && p[1] < b.max.y + margin &&
            p[2] > b.min.z - margin && p[2] < b.max.z + margin)
            return "inside a box at " + std::to_string(b.min.x) + ", " + std::to_string(b.min.z);
    return "";
}

}  // namespace

TEST(MediagenScenePathsTest, KeysComeEvery80UnitsWithoutTypes) {
    for (int p = 0; p < kCameraPathCount; ++p) {
        const std::string name = CameraPathName(p);
        const LoadedUdf file = LoadMediaUdf(name);
        ASSERT_NE(file.root, nullptr) << name;
        EXPECT_TRUE(file.reader->Types().empty()) << name;
        for (const UdfElement::Entry& e : file.root->Entries()) {
            EXPECT_TRUE(e.element->TypeName().Equals("pos") || e.element->TypeName().Equals("rot")) << name;
            EXPECT_EQ(e.element->Flags(), 0) << name;
            EXPECT_EQ(e.element->DataSize(), 32u) << name;
        }
        const PathKeys keys = ReadPath(file);
        ASSERT_EQ(keys.positions.size(), keys.rotations.size()) << name;
        for (std::size_t i = 0; i < keys.positions.size(); ++i) {
            EXPECT_EQ(keys.positions[i].time, 80.0f * static_cast<float>(i)) << name;
            EXPECT_EQ(keys.rotations[i].time, 80.0f * static_cast<float>(i)) << name;
        }
        const float end = keys.positions.back().time;
        EXPECT_GE(end, 720) << name;
        EXPECT_LE(end, 1040) << name;
    }
}

TEST(MediagenScenePathsTest, ViewsAreLevelAndTurnCalmly) {
    for (int p = 0; p < kCameraPathCount; ++p) {
        const std::string name = CameraPathName(p);
        const LoadedUdf file = LoadMediaUdf(name);
        ASSERT_NE(file.root, nullptr) << name;
        const PathKeys keys = ReadPath(file);
        float lastYaw = 0;
        for (std::size_t i = 0; i < keys.rotations.size(); ++i) {
            const float* q = keys.rotations[i].v;
            EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0f, 1e-4f) << name;
            const V3 forward = RotateByQuaternion(q, {0, 0, 1}), up = RotateByQuaternion(q, {0, 1, 0});
            const V3 right = RotateByQuaternion(q, {1, 0, 0});
            EXPECT_NEAR(right[1], 0.0f, 1e-4f) << name << " key " << i << " rolls";
            EXPECT_GT(up[1], 0.75f) << name << " key " << i;
            EXPECT_GT(forward[1], -0.65f) << name << " key " << i;
            EXPECT_LT(forward[1], 0.35f) << name << " key " << i;
            const float yaw = std::atan2(forward[0], forward[2]);
            if (i > 0) {
                float turn = std::fabs(yaw - lastYaw);
                turn = std::min(turn, 6.2831853f - turn);
                EXPECT_LT(turn, 1.0f) << name << " turns sharply at key " << i;
            }
            lastYaw = yaw;
            if (i > 0) {
                float dot = 0;
                for (int c = 0; c < 4; ++c) dot += q[c] * keys.rotations[i - 1].v[c];
                EXPECT_GT(dot, 0) << name << " key " << i;
            }
        }
        // Calm: at most 25 units a second (the path clock runs at 10 units a second).
        for (std::size_t i = 1; i < keys.positions.size(); ++i) {
            const float* a = keys.positions[i - 1].v;
            const float* b = keys.positions[i].v;
            const float step = std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) + (b[2] - a[2]) * (b[2] - a[2]));
            EXPECT_LT(step / 8.0f, 25.0f) << name;
        }
    }
}

TEST(MediagenScenePathsTest, FlightsKeepClearOfBuildingsTreesAndGround) {
    const std::vector<Box3> obstacles = Village().Obstacles();
    ASSERT_GT(obstacles.size(), 200u);
    for (int p = 0; p < kCameraPathCount; ++p) {
        const std::string name = CameraPathName(p);
        const LoadedUdf file = LoadMediaUdf(name);
        ASSERT_NE(file.root, nullptr) << name;
        const PathKeys keys = ReadPath(file);
        int reported = 0;
        for (float t = 0; t <= keys.positions.back().time && reported < 5; t += 0.5f) {
            // The camera keeps 12 units (more than the near plane) from every box on the spline,
            // and 4 on straight lines between the keys.
            const std::string spline = Blocked(Hermite(keys.positions, t), obstacles, 12);
            const std::string straight = Blocked(Linear(keys.positions, t), obstacles, 4);
            if (!spline.empty() || !straight.empty()) {
                ++reported;
                ADD_FAILURE() << name << " at " << t << ": " << spline << " / " << straight;
            }
        }
    }
}

TEST(MediagenScenePathsTest, AtMost20000TrianglesInView) {
    const LoadedUdf scene = LoadMediaUdf("frostvale.udf");
    ASSERT_NE(scene.root, nullptr);
    struct Bounds {
        V3 min, max;
        std::size_t triangles;
    };
    std::vector<Bounds> meshes;
    const Matrix4 identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    WalkNodes(scene.root->Child("Children"), identity, [&](const UdfElement* node, const Matrix4& world, bool) {
        std::int32_t fvf = 0, count = 0;
        const UdfElement* verts = node->Child("Verts");
        if (!node->ReadInt("FVF", fvf) || !node->ReadInt("NumVerts", count) || !verts || count <= 0) return;
        Bounds b{{1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}, node->Child("Indexes")->DataSize() / 12};
        const int stride = FvfStride(fvf);
        for (std::int32_t i = 0; i < count; ++i) {
            float local[3];
            std::memcpy(local, verts->Data() + static_cast<std::size_t>(i) * stride, 12);
            const V3 w = TransformPoint(world, local);
            for (int c = 0; c < 3; ++c) b.min[c] = std::min(b.min[c], w[c]), b.max[c] = std::max(b.max[c], w[c]);
        }
        meshes.push_back(b);
    });
    const float tanY = std::tan(70.0f * 3.14159265f / 360.0f), tanX = tanY * 16.0f / 9.0f;
    std::size_t worst = 0;
    for (int p = 0; p < kCameraPathCount; ++p) {
        const LoadedUdf file = LoadMediaUdf(CameraPathName(p));
        ASSERT_NE(file.root, nullptr);
        const PathKeys keys = ReadPath(file);
        for (std::size_t k = 0; k < keys.rotations.size(); ++k) {
            const V3 eye{keys.positions[k].v[0], keys.positions[k].v[1], keys.positions[k].v[2]};
            const float* q = keys.rotations[k].v;
            const V3 axes[3] = {RotateByQuaternion(q, {1, 0, 0}), RotateByQuaternion(q, {0, 1, 0}), RotateByQuaternion(q, {0, 0, 1})};
            std::size_t inView = 0;
            for (const Bounds& b : meshes) {
                // Outside when all eight corners lie beyond one side of the view volume.
                bool outside[6] = {true, true, true, true, true, true};
                for (int c = 0; c < 8; ++c) {
                    const V3 corner{c & 1 ? b.max[0] : b.min[0], c & 2 ? b.max[1] : b.min[1], c & 4 ? b.max[2] : b.min[2]};
                    V3 v;
                    for (int a = 0; a < 3; ++a)
                        v[a] = (corner[0] - eye[0]) * axes[a][0] + (corner[1] - eye[1]) * axes[a][1] + (corner[2] - eye[2]) * axes[a][2];
                    outside[0] &= v[2] > 1300;
                    outside[1] &= v[0] > v[2] * tanX;
                    outside[2] &= v[0] < -v[2] * tanX;
                    outside[3] &= v[1] > v[2] * tanY;
                    outside[4] &= v[1] < -v[2] * tanY;
                    outside[5] &= v[2] < 10;
                }
                if (std::none_of(outside, outside + 6, [](bool o) { return o; })) inView += b.triangles;
            }
            worst = std::max(worst, inView);
            EXPECT_LE(inView, 20000u) << CameraPathName(p) << " key " << k;
        }
    }
    EXPECT_GT(worst, 1000u);
}

#include "tools/mediagen/camera_paths.h"

#include "scene/udf_writer.h"
#include "tools/mediagen/image.h"
#include "tools/mediagen/scene_geometry.h"
#include "tools/mediagen/scene_settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kPi = 3.14159265f;

struct Flight {
    std::vector<Vec3> waypoints;
    float pitch;        // added to the direction's y before it is normalised (negative: look down)
    Vec3 focus;         // a point the view leans towards
    float focusWeight;  // 0: look along the flight
};

Vec3 Orbit(Vec3 centre, float radius, float degrees, float y) {
    const float a = degrees * kPi / 180;
    return {centre.x + radius * std::sin(a), y, centre.z + radius * std::cos(a)};
}

std::vector<Flight> Flights() {
    const Vec3 church{30, 60, 420};
    std::vector<Flight> f;
    // 1: along the main street, low, west to east.
    f.push_back({{{-700, 45, -20}, {-450, 35, 0}, {-200, 32, 10}, {0, 30, -5}, {200, 34, 5}, {450, 40, 0}, {700, 55, 20}},
                 -0.12f, {}, 0});
    // 2: back along the street, higher.
    f.push_back({{{700, 70, 10}, {400, 60, -5}, {100, 55, 0}, {-200, 55, 5}, {-500, 65, -10}, {-720, 80, -30}},
                 -0.18f, {}, 0});
    // 3: low over the frozen pond.
    f.push_back({{{-650, 30, -250}, {-470, 28, -370}, {-290, 25, -430}, {-120, 28, -400}, {20, 38, -320}, {120, 48, -220}},
                 -0.15f, {}, 0});
    // 4: up from the street over the roofs towards the church.
    f.push_back({{{-580, 30, 0}, {-400, 45, 0}, {-250, 110, 50}, {-150, 135, 150}, {-20, 138, 230}, {150, 130, 300},
                  {280, 120, 420}, {420, 110, 530}},
                 -0.25f, {}, 0});
    // 5: round the church.
    {
        Flight round{{}, -0.2f, church, 0.65f};
        for (int i = 0; i <= 10; ++i) round.waypoints.push_back(Orbit(church, 215, 210 + 30.0f * i, 95 + 20 * std::sin(i * 0.6f)));
        f.push_back(round);
    }
    // 6: through the fir wood.
    f.push_back({{{-560, 40, -480}, {-700, 38, -250}, {-740, 35, 0}, {-690, 40, 250}, {-560, 48, 480}}, -0.08f, {}, 0});
    // 7: a high circle round the village.
    {
        Flight high{{}, -0.35f, {0, 0, 0}, 0.3f};
        for (int i = 0; i <= 7; ++i) high.waypoints.push_back(Orbit({0, 0, 0}, 560, 20 + 30.0f * i, 132));
        f.push_back(high);
    }
    // 8: from the pond round the last house into the street.
    f.push_back({{{-150, 35, -520}, {-300, 32, -470}, {-460, 35, -330}, {-530, 40, -180}, {-500, 40, -60}, {-400, 40, -5},
                  {-200, 42, 0}, {20, 45, 0}},
                 -0.12f, {}, 0});
    // 9: behind the south houses.
    f.push_back({{{-620, 55, -210}, {-300, 50, -195}, {0, 48, -200}, {300, 52, -200}, {620, 60, -230}}, -0.12f, {}, 0});
    // 10: between the north houses and the church.
    f.push_back({{{-620, 65, 230}, {-300, 65, 225}, {0, 62, 215}, {300, 65, 225}, {620, 70, 240}}, -0.15f, {}, 0});
    // 11: in from the east fields along the street.
    f.push_back({{{700, 90, -150}, {520, 70, -40}, {300, 45, 0}, {100, 38, 0}, {-100, 38, 0}, {-300, 45, -15}}, -0.15f, {}, 0});
    // 12: low round the church, then back over the roofs into the street.
    f.push_back({{{200, 70, 420}, {150, 70, 540}, {30, 70, 590}, {-90, 70, 540}, {-140, 72, 420}, {-110, 90, 300},
                  {-60, 125, 200}, {-30, 115, 110}, {10, 80, 30}, {100, 60, -5}, {240, 55, -10}},
                 -0.15f, church, 0.35f});
    // 13: from the edge of the wood down to the pond.
    f.push_back({{{-700, 60, 200}, {-640, 50, -50}, {-520, 40, -260}, {-380, 30, -380}, {-220, 30, -420}, {-60, 40, -380}},
                 -0.12f, {}, 0});
    // 14: a sweep across the village from the south-west.
    f.push_back({{{-600, 130, -450}, {-300, 125, -200}, {0, 120, 50}, {300, 125, 300}, {540, 130, 480}}, -0.3f, {}, 0});
    return f;
}

Vec3 CatmullRom(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float t) {
    const float t2 = t * t, t3 = t2 * t;
    return (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5f;
}

// The flight's curve as a dense polyline.
std::vector<Vec3> Densify(const std::vector<Vec3>& w) {
    std::vector<Vec3> points;
    const int n = static_cast<int>(w.size());
    auto at = [&](int i) {
        if (i < 0) return w[0] * 2 - w[1];
        if (i >= n) return w[n - 1] * 2 - w[n - 2];
        return w[i];
    };
    for (int i = 0; i + 1 < n; ++i)
        for (int s = 0; s < 100; ++s) points.push_back(CatmullRom(at(i - 1), at(i), at(i + 1), at(i + 2), s / 100.0f));
    points.push_back(w.back());
    return points;
}

CameraPath Resample(const Flight& flight) {
    const std::vector<Vec3> points = Densify(flight.waypoints);
    std::vector<float> arc(points.size(), 0);
    for (std::size_t i = 1; i < points.size(); ++i) arc[i] = arc[i - 1] + Length(points[i] - points[i - 1]);
    const float length = arc.back();
    auto pointAt = [&](float s) {
        s = std::clamp(s, 0.0f, length);
        const std::size_t i = static_cast<std::size_t>(std::upper_bound(arc.begin(), arc.end(), s) - arc.begin());
        if (i >= points.size()) return points.back();
        const float span = arc[i] - arc[i - 1];
        return points[i - 1] + (points[i] - points[i - 1]) * (span > 0 ? (s - arc[i - 1]) / span : 0);
    };
    // About 110 units of flight per key, 9 to 13 segments.
    const int segments = std::clamp(static_cast<int>(std::lround(length / 110)), 9, 13);
    CameraPath path;
    float previous[4] = {0, 0, 0, 1};
    for (int k = 0; k <= segments; ++k) {
        const float s = length * static_cast<float>(k) / static_cast<float>(segments);
        CameraKey key;
        key.time = kPathKeySpacing * static_cast<float>(k);
        key.position = pointAt(s);
        Vec3 along = Normalize(pointAt(s + 30) - pointAt(s - 30));
        along.y = along.y * 0.5f + flight.pitch;
        Vec3 direction = Normalize(along);
        if (flight.focusWeight > 0)
            direction = Normalize(direction * (1 - flight.focusWeight) +
                                  Normalize(flight.focus - key.position) * flight.focusWeight);
        direction.y = std::clamp(direction.y, -0.6f, 0.3f);
        LookRotation(Normalize(direction), key.rotation);
        // Neighbouring keys on the same side of the quaternion sphere.
        float dot = 0;
        for (int c = 0; c < 4; ++c) dot += key.rotation[c] * previous[c];
        if (dot < 0)
            for (float& c : key.rotation) c = -c;
        std::memcpy(previous, key.rotation, sizeof previous);
        path.keys.push_back(key);
    }
    return path;
}

std::vector<std::uint8_t> KeyBytes(float time, float a, float b, float c, float d) {
    const float record[8] = {time, a, b, c, d, 0, 0, 0};
    std::vector<std::uint8_t> bytes(sizeof record);
    std::memcpy(bytes.data(), record, sizeof record);
    return bytes;
}

}  // namespace

void LookRotation(Vec3 d, float q[4]) {
    const float yaw = std::atan2(d.x, d.z);
    const float pitch = std::asin(std::clamp(-d.y, -1.0f, 1.0f));
    const float sy = std::sin(yaw / 2), cy = std::cos(yaw / 2), sx = std::sin(pitch / 2), cx = std::cos(pitch / 2);
    // The turn about y applied after the pitch about x.
    q[0] = cy * sx;
    q[1] = sy * cx;
    q[2] = -sy * sx;
    q[3] = cy * cx;
}

Vec3 Rotate(const float q[4], Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    const float w = q[3];
    return u * (2 * Dot(u, v)) + v * (w * w - Dot(u, u)) + Cross(u, v) * (2 * w);
}

Vec3 EvaluatePathPosition(const std::vector<CameraKey>& keys, float t) {
    if (keys.empty()) return {};
    if (t <= keys.front().time) return keys.front().position;
    if (t >= keys.back().time) return keys.back().position;
    std::size_t i = 0;
    while (i + 1 < keys.size() && keys[i + 1].time <= t) ++i;
    const CameraKey &k0 = keys[i], &k1 = keys[i + 1];
    const float span = k1.time - k0.time;
    if (std::fabs(span) <= 0.0001f) return k0.position;
    const float u = (t - k0.time) / span;
    const Vec3 d1 = k1.position - k0.position;
    const bool before = i > 0, after = i + 2 < keys.size();
    Vec3 t0 = d1, t1 = d1;
    if (before) {
        const Vec3 d0 = k0.position - keys[i - 1].position;
        t0 = d0 + (d1 - d0) * (2 * span / (k0.time - keys[i - 1].time + span));
    }
    if (after) {
        const Vec3 d2 = keys[i + 2].position - k1.position;
        const float span2 = keys[i + 2].time - k1.time;
        t1 = d1 + (d2 - d1) * (2 * span2 / (span + span2));
    }
    if (!before && after) t0 = d1 * 1.5f - t1 * 0.5f;
    if (before && !after) t1 = t0 * 0.5f + d1 * 1.5f;
    const float u2 = u * u, u3 = u2 * u;
    return k0.position * (2 * u3 - 3 * u2 + 1) + t0 * (u3 - 2 * u2 + u) + k1.position * (-2 * u3 + 3 * u2) +
           t1 * (u3 - u2);
}

const std::vector<CameraPath>& CameraPaths() {
    static const std::vector<CameraPath> paths = [] {
        std::vector<CameraPath> out;
        for (const Flight& flight : Flights()) out.push_back(Resample(flight));
        return out;
    }();
    return paths;
}

bool WriteCameraPaths(const std::string& mediaDir) {
    const std::vector<CameraPath>& paths = CameraPaths();
    for (int p = 0; p < static_cast<int>(paths.size()); ++p) {
        UdfWriter writer;
        int index = 0;
        for (const CameraKey& key : paths[static_cast<std::size_t>(p)].keys) {
            const std::string number = std::to_string(index++);
            writer.Root()->AddLeaf(("pos" + number).c_str(), "pos",
                                   KeyBytes(key.time, key.position.x, key.position.y, key.position.z, 0));
            writer.Root()->AddLeaf(("rot" + number).c_str(), "rot",
                                   KeyBytes(key.time, key.rotation[0], key.rotation[1], key.rotation[2], key.rotation[3]));
        }
        std::vector<std::uint8_t> bytes;
        if (!writer.Write(bytes) || !WriteFileBytes(mediaDir + "/" + CameraPathName(p), bytes)) return false;
    }
    return true;
}

#include "snowscape/camera_flight.h"

#include "core/clock.h"
#include "core/media_archive.h"
#include "scene/udf_reader.h"
#include "snowscape/scene_settings.h"

#include <cmath>
#include <memory>

namespace {

constexpr std::size_t kKeyBytes = sizeof(AnimKey);

}  // namespace

int ReadCameraPath(const std::uint8_t* data, std::size_t size, TransformAnimation& animation) {
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(data, size));
    if (root == nullptr) return 0;
    // Only the top-level elements matter: their bytes are the keys.
    reader.LoadElement(root, kUdfOneLevel);
    const String position("pos");
    int keys = 0;
    for (const UdfElement::Entry& entry : root->Entries()) {
        const UdfElement* element = entry.element;
        if (element == nullptr || !element->IsLoaded() || element->Data() == nullptr ||
            element->DataSize() < kKeyBytes)
            continue;
        const AnimKey key = AnimKeyFromBytes(element->Data());
        // A key at no finite time cannot be placed on the path.
        if (!std::isfinite(key.time)) continue;
        if (element->TypeName() == position)
            animation.Position().AddKey(key);
        else
            animation.Rotation().AddKey(key);
        ++keys;
    }
    return keys;
}

CameraPose PoseOf(SceneNode& node) {
    const D3DXMATRIX& m = node.LocalMatrix();
    CameraPose pose;
    pose.position = D3DXVECTOR3(m.m[3][0], m.m[3][1], m.m[3][2]);
    pose.direction = D3DXVECTOR3(m.m[2][0], m.m[2][1], m.m[2][2]);
    pose.up = D3DXVECTOR3(m.m[1][0], m.m[1][1], m.m[1][2]);
    return pose;
}

void PlaceNode(SceneNode& node, const CameraPose& pose) {
    Transform& transform = node.LocalTransform();
    transform.SetPosition(pose.position);
    transform.SetDirection(pose.direction);
    transform.SetUp(pose.up);
}

CameraFlight::CameraFlight() : CameraFlight(SceneTuning().animations) {}

CameraFlight::CameraFlight(const std::vector<String>& pathNames)
    : paths_(pathNames), pathNode_(String("PathCamera"), String("Dummy")),
      freeCamera_(String("FreeCamera"), String("Dummy")) {
    pathNode_.SetAnimation(std::make_unique<TransformAnimation>());
}

void CameraFlight::PlaceFreeCamera() {
    PlaceNode(freeCamera_, CameraPose{D3DXVECTOR3(-370, 100, -250), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0)});
}

void CameraFlight::Start() { Start(NowMilliseconds()); }

void CameraFlight::Start(std::int64_t nowMs) {
    active_ = true;
    pathTime_ = 0;
    PickAndLoad();
    clockStart_ = nowMs;
}

void CameraFlight::PickAndLoad() {
    String name;
    // With no name at all nothing is drawn or loaded: the free camera stays in use.
    if (paths_.Pick(name)) LoadPath(name);
}

bool CameraFlight::LoadPath(const String& name) {
    TransformAnimation& animation = PathAnimation();
    animation.Position().Clear();
    animation.Rotation().Clear();
    loaded_ = name;
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(String(kMediaFolder) + "/" + name, bytes)) return false;
    return ReadCameraPath(bytes.data(), bytes.size(), animation) > 0;
}

bool CameraFlight::PathRange(float& start, float& end) const {
    return pathNode_.Animation()->Range(start, end);
}

CameraPose CameraFlight::Update() { return Update(NowMilliseconds()); }

CameraPose CameraFlight::Update(std::int64_t nowMs) {
    float start = 0, end = 0;
    if (!active_ || !PathRange(start, end)) {
        usedFree_ = true;
        return PoseOf(freeCamera_);
    }
    pathNode_.ApplyAnimation(PathAnimation(), pathTime_);
    const std::int64_t elapsed = nowMs - clockStart_;
    if (elapsed != 0) {
        pathTime_ += static_cast<float>(static_cast<double>(elapsed) * kPathUnitsPerMs);
        clockStart_ = nowMs;
    }
    if (pathTime_ > end && paths_.RemainingCount() > 0) {
        paths_.FinishCurrent();
        PickAndLoad();
        // The range start of the path just flown: every shipped path starts at 0.
        pathTime_ = start;
        // The free camera carries on from where the flight stands, should the new path
        // turn out to have no keys.
        PlaceNode(freeCamera_, PoseOf(pathNode_));
        active_ = true;
    }
    usedFree_ = false;
    return PoseOf(pathNode_);
}

std::optional<float> CameraFlight::FadeAlpha() const {
    float start = 0, end = 0;
    if (!active_ || !PathRange(start, end)) return std::nullopt;
    const float g = pathTime_;
    float distance;
    if (g < kPathFadeUnits)
        distance = g;
    else if (g > end - kPathFadeUnits)
        distance = end - g;
    else
        return std::nullopt;
    float alpha = 1.0f - distance * 0.1f;
    // A time before the range or past its end stays black, never more than black.
    if (alpha > 1.0f) alpha = 1.0f;
    if (!(alpha >= 0.0f)) alpha = 0.0f;
    return alpha;
}

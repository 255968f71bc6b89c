#include "scene/node_animation.h"

#include "scene/scene_node.h"
#include "scene/udf_element.h"

#include <memory>

namespace {

int ReadTrack(const UdfElement* animation, const char* name, KeyTrack& track) {
    const UdfElement* keys = animation->Child(String(name));
    if (keys == nullptr) return 0;
    int read = 0;
    for (const UdfElement::Entry& entry : keys->Entries()) {
        const UdfElement* key = entry.element;
        if (key == nullptr || !key->IsLoaded() || key->Data() == nullptr || key->DataSize() < sizeof(AnimKey))
            break;
        track.AddKey(AnimKeyFromBytes(key->Data()));
        ++read;
    }
    return read;
}

}  // namespace

bool ReadNodeAnimation(const UdfElement* element, TransformAnimation& animation) {
    if (element == nullptr) return false;
    const UdfElement* source = element->Child(String("Animation"));
    if (source == nullptr) return false;
    const int keys = ReadTrack(source, "Position", animation.Position()) +
                     ReadTrack(source, "Scale", animation.Scale()) +
                     ReadTrack(source, "Rotation", animation.Rotation());
    return keys > 0;
}

bool LoadNodeAnimation(const UdfElement* element, SceneNode& node, std::int64_t startMs) {
    auto animation = std::make_unique<TransformAnimation>();
    if (!ReadNodeAnimation(element, *animation)) return false;
    node.SetAnimation(std::move(animation));
    node.Player()->SetFlags(kPlayerLoop);
    node.Player()->Start(startMs);
    return true;
}

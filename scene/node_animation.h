#pragma once
// Reading a scene-file node's "Animation" element into the node's tracks.
//
// "Animation" holds "Position", "Scale" and "Rotation", each a container of key elements of
// one 32-byte key each (AnimKey layout), read in directory order. A key element with fewer
// than 32 bytes ends the reading of its track; the keys before it stay.

#include <cstdint>

class SceneNode;
class TransformAnimation;
class UdfElement;

// Adds the keys under element's "Animation" to animation's tracks. False when there is no
// "Animation" element or it holds no readable key.
bool ReadNodeAnimation(const UdfElement* element, TransformAnimation& animation);
// Reads the node element's animation and, when it has keys, gives the node a transform
// animation and a player bound to it (started at the clock time given). False when the
// node is left without an animation.
bool LoadNodeAnimation(const UdfElement* element, SceneNode& node, std::int64_t startMs);

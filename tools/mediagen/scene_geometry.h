#pragma once
// The village scene ("frostvale.udf") and the camera paths ("frostvalen01.cam" …), written in
// the "UDF Binary 1.0" container. Their generators plug in here: WriteSceneGeometry builds the
// village (houses, church, firs, pond, snowman, sky dome, dust and sparkle quads, lights) and
// WriteCameraPaths the fourteen flights listed in Scene.props (see scene_settings.h).
//
// Until the UDF writer lands, both write nothing and succeed, so the rest of the media set is
// complete and packable without them.

#include <string>

bool WriteSceneGeometry(const std::string& mediaDir);
bool WriteCameraPaths(const std::string& mediaDir);

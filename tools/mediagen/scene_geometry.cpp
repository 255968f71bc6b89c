#include "tools/mediagen/scene_geometry.h"

bool WriteSceneGeometry(const std::string& mediaDir) { return true; }

bool WriteCameraPaths(const std::string& mediaDir) { return true; }

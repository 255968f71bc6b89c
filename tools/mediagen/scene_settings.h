#pragma once
// "Scene.props": the scene tuning values the screensaver ships with (light, fog, projection,
// snow, snow dust, sparkles and the list of camera paths), in the props language.

#include <string>

// The camera path files listed under "Animations", in order.
constexpr int kCameraPathCount = 14;
std::string CameraPathName(int index);  // 0 → "frostvalen01.cam"

std::string SceneSettingsText();
bool WriteSceneSettings(const std::string& mediaDir);

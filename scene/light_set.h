#pragma once
// LightSet: the scene's lights in order of loading, handed to the device each frame.
//
// UploadAll gives the i-th light index i and passes it to SetLight; EnableFor switches on
// only the lights that reach a box. Every call takes the device, and with a null device
// only the lights' indices and flags change. The device's results are not checked: lights
// beyond what it supports are passed all the same. A light not yet uploaded (index -1)
// changes its flag only.

#include "platform/d3d9/d3d9.h"
#include "scene/light.h"

#include <memory>
#include <vector>

class UdfElement;

class LightSet {
public:
    // Takes the light; refuses (false) a null one.
    bool Add(std::unique_ptr<D3DLight> light);
    int Count() const { return static_cast<int>(lights_.size()); }
    D3DLight* At(int i) const { return lights_[static_cast<std::size_t>(i)].get(); }
    void Clear() { lights_.clear(); }

    void UploadAll(IDirect3DDevice9* device);
    void EnableAll(IDirect3DDevice9* device);
    void EnableFor(IDirect3DDevice9* device, const LightBox& box);
    void DisableAll(IDirect3DDevice9* device);

private:
    std::vector<std::unique_ptr<D3DLight>> lights_;
};

// Loads the lights of a scene file's "Lights" element into the set, in directory order.
// Each light's world matrix is ObjectTM x NodeTM (identity for a missing one). Stops and
// fails at a light whose matrix is degenerate or skewed or whose type name is not
// "PointLight", "DirLight" or "SpotLight"; the lights loaded before it stay.
bool LoadLights(const UdfElement* lights, LightSet& set);

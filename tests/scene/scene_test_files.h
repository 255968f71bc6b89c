#pragma once
// Scene files for the tests, written with UdfWriter: meshes in a row, "Props" containers,
// and loading a scene packed into a mounted media archive.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "scene/scene.h"
#include "scene/udf_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace scenetest {

inline const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

inline std::vector<float> Translation(float x, float y, float z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

using Node = UdfWriter::Node;

// A mesh of count vertices (FVF 274: position, normal, one texture pair) in a row along x,
// stride bytes apart, with the given indices.
inline Node* AddMesh(Node* children, const char* name, const char* material, int count, std::vector<std::int32_t> indices,
              unsigned stride = 32, const std::vector<float>& placement = Translation(0, 0, 0)) {
    Node* mesh = children->AddContainer(name, "Mesh");
    mesh->AddMatrix("NodeTM", placement.data());
    mesh->AddMatrix("ObjectTM", kIdentity);
    mesh->AddString("MaterialName", material);
    mesh->AddInt("FVF", 274);
    mesh->AddInt("NumVerts", count);
    mesh->AddInt("NumIndexes", std::int32_t(indices.size()));
    std::vector<std::uint8_t> verts(std::size_t(count) * stride, 0);
    for (int i = 0; i < count; ++i) {
        const float v[8] = {float(i), float(i % 3), 1, 0, 1, 0, 0.25f * float(i), 0.5f};
        std::memcpy(verts.data() + std::size_t(i) * stride, v, std::min<std::size_t>(stride, sizeof v));
    }
    mesh->AddLeaf("Verts", "", std::move(verts));
    mesh->AddInts("Indexes", indices.data(), indices.size());
    return mesh;
}

inline Node* AddProps(Node* element, std::initializer_list<std::pair<const char*, const char*>> values) {
    Node* props = element->AddContainer("Props", "");
    for (const auto& [key, value] : values) props->AddString(key, value);
    return props;
}

inline void AddWords(Node* props, const char* key, std::initializer_list<const char*> words) {
    Node* set = props->AddContainer(key, "");
    int i = 0;
    for (const char* word : words) set->AddString(std::to_string(i++).c_str(), word);
}

// Packs the scene file (and any extra files) as the media folder, mounts the archive (kept
// in archive, which must outlive the scene's use) and loads the scene from it.
inline bool LoadPackedScene(UdfWriter& writer, std::vector<ArchiveFile> extra, std::vector<std::uint8_t>& archive,
                            Scene& scene) {
    std::vector<std::uint8_t> udf;
    writer.Write(udf);
    extra.push_back({"frostvale.udf", udf});
    String error;
    EXPECT_TRUE(PackArchive(kMediaFolder, extra, archive, error)) << error.CStr();
    MountArchiveBytes(archive.data(), archive.size());
    return LoadScene(scene, String(kMediaFolder) + "/frostvale.udf");
}

}  // namespace scenetest

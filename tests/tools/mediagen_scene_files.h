#pragma once
// The generated scene and camera paths read back through the engine's UDF reader, with the
// mesh and node walks shared by the scene tests.

#include "scene/udf_reader.h"
#include "tests/tools/mediagen_formats.h"

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mediagen_test {

// A loaded UDF file; Root() is null when it could not be read or opened.
struct LoadedUdf {
    std::unique_ptr<UdfReader> reader = std::make_unique<UdfReader>();
    UdfElement* root = nullptr;
    std::size_t size = 0;
};

inline LoadedUdf LoadMediaUdf(const std::string& name) {
    LoadedUdf file;
    std::vector<unsigned char> bytes = ReadAll(MediaDir() + "/" + name);
    file.size = bytes.size();
    if (bytes.empty()) return file;
    file.root = OpenUdf(*file.reader, MemoryStream(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    if (file.root && !LoadElement(file.root, 0)) file.root = nullptr;
    return file;
}

using Matrix4 = std::array<float, 16>;

inline Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) out[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
    return out;
}

inline std::array<float, 3> TransformPoint(const Matrix4& m, const float* p) {
    return {p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12], p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13],
            p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]};
}

// Visits every node below a "Children" element with its world matrix (local × parent's);
// top level tells whether the node is a direct child of the file's "Children".
inline void WalkNodes(const UdfElement* children, const Matrix4& parent,
                      const std::function<void(const UdfElement*, const Matrix4&, bool topLevel)>& visit,
                      bool topLevel = true) {
    for (const UdfElement::Entry& entry : children->Entries()) {
        Matrix4 local{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        entry.element->ReadMatrix("NodeTM", local.data());
        const Matrix4 world = Multiply(local, parent);
        visit(entry.element, world, topLevel);
        if (const UdfElement* sub = entry.element->Child("Children")) WalkNodes(sub, world, visit, false);
    }
}

inline int FvfStride(int fvf) {
    int stride = 0;
    if (fvf & 0x002) stride += 12;
    if (fvf & 0x004) stride += 16;
    if (fvf & 0x010) stride += 12;
    if (fvf & 0x040) stride += 4;
    if (fvf & 0x080) stride += 4;
    if (fvf & 0x100) stride += 8;
    if (fvf & 0x200) stride += 8;
    return stride;
}

}  // namespace mediagen_test

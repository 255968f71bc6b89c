#pragma once
// Small UDF files for the scene tests, built with UdfWriter.

#include "scene/udf_writer.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace udftest {

inline void PutU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline std::vector<std::uint8_t> Written(UdfWriter& writer) {
    std::vector<std::uint8_t> bytes;
    writer.Write(bytes);
    return bytes;
}

// A camera path: 20 keys of 32 bytes named rot9, pos0, rot0, pos1, rot1, ... pos9, no types.
inline std::vector<std::uint8_t> CameraPath() {
    UdfWriter writer;
    auto key = [&](const char* name, const char* type, float time) {
        float record[8] = {time, 1, 2, 3, 0, 0, 0, 0};
        writer.Root()->AddLeaf(name, type, record, sizeof record);
    };
    key("rot9", "rot", 720);
    key("pos0", "pos", 0);
    for (int i = 0; i < 9; ++i) {
        const String rot = String("rot") + String::FromInt(i);
        const String pos = String("pos") + String::FromInt(i + 1);
        key(rot.CStr(), "rot", 80.0f * static_cast<float>(i));
        key(pos.CStr(), "pos", 80.0f * static_cast<float>(i + 1));
    }
    return Written(writer);
}

inline const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A small scene: Children (Node) with two meshes, Materials (Material) with one material
// that the first mesh links to, Lights (Light).
inline std::vector<std::uint8_t> SmallScene() {
    UdfWriter writer;
    UdfWriter::Node* children = writer.Root()->AddContainer("Children", "Node");
    UdfWriter::Node* materials = writer.Root()->AddContainer("Materials", "Material");
    UdfWriter::Node* lights = writer.Root()->AddContainer("Lights", "Light");
    UdfWriter::Node* wood = materials->AddContainer("Wood", "Material");
    const float brown[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    wood->AddColor("Diffuse", brown);
    UdfWriter::Node* house = children->AddContainer("House", "Mesh");
    house->AddMatrix("NodeTM", kIdentity);
    house->AddMatrix("ObjectTM", kIdentity);
    house->AddLink("Material", wood);
    const std::int32_t indices[6] = {0, 1, 2, 2, 1, 3};
    house->AddInts("Indices", indices, 6)->SetCount(6);
    house->AddContainer("Props", "")->AddString("Usage", "static");
    UdfWriter::Node* tree = children->AddContainer("Fir", "Dummy");
    tree->AddContainer("Children", "Node")->AddContainer("Needles", "Mesh")->AddInt("FVF", 0x152);
    lights->AddContainer("Sun", "PointLight")->AddReal("Range", 500.0f);
    return Written(writer);
}

}  // namespace udftest

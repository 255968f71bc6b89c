// Writer -> reader round trips, and the type size rule.

#include "scene/udf_reader.h"
#include "scene/udf_writer.h"
#include "tests/scene/udf_test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace udftest;

namespace {


}  // namespace

// Every kind of leaf comes back with its type name and bytes, under nested containers.
TEST(UdfRoundTrip, LeavesContainersAndLinks) {
    UdfWriter writer;
    writer.AddType(UdfType{"Pair", {{"a", "int", false, 0}, {"b", "char", true, 3}}});
    UdfWriter::Node* scene = writer.Root()->AddContainer("Children", "Node");
    UdfWriter::Node* dummy = scene->AddContainer("Yard", "Dummy");
    UdfWriter::Node* mesh = dummy->AddContainer("Children", "Node")->AddContainer("Snowman", "Mesh");
    const float color[4] = {1, 0.5f, 0.25f, 0.125f};
    float matrix[16];
    for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(i) * 1.5f;
    const std::int32_t ints[3] = {-1, 0, 0x7fffffff};
    const float reals[2] = {3.5f, -2.0f};
    const std::uint8_t raw[5] = {0, 1, 2, 0xfe, 0xff};
    mesh->AddInt("Int", -42);
    mesh->AddInts("Ints", ints, 3)->SetCount(3);
    mesh->AddReal("Real", 0.75f);
    mesh->AddReals("Reals", reals, 2);
    mesh->AddString("String", String("with\0zero", 9));
    mesh->AddColor("Color", color);
    mesh->AddMatrix("Matrix", matrix);
    mesh->AddLeaf("Raw", "", raw, 5);
    mesh->AddLeaf("Empty", "", nullptr, 0);
    mesh->AddContainer("Props", "")->SetCount(0);
    UdfWriter::Node* material = writer.Root()->AddContainer("Materials", "Material")->AddContainer("Snow", "Material");
    material->AddColor("Diffuse", color);
    mesh->AddLink("Material", material);
    mesh->AddLink("Root", writer.Root());

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writer.Write(bytes));
    EXPECT_EQ(U32At(bytes, 0), bytes.size());

    for (std::uint32_t options : {0u, kUdfReadDataTree | kUdfInPlace}) {
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(bytes));
        ASSERT_NE(root, nullptr);
        ASSERT_TRUE(reader.LoadElement(root, options));
        ASSERT_EQ(reader.Types().size(), 1u);
        EXPECT_EQ(reader.Types()[0].name.ToStdString(), "Pair");
        ASSERT_EQ(reader.Types()[0].members.size(), 2u);
        EXPECT_TRUE(reader.Types()[0].members[1].isArray);
        EXPECT_EQ(reader.Types()[0].members[1].count, 3u);
        EXPECT_EQ(reader.TypeSize("Pair"), 7u);
        EXPECT_EQ(root->Size(), bytes.size() - (root->Offset() - 4)) << "from the root size field to the end";

        UdfElement* yard = root->Child("Children")->Child("Yard");
        ASSERT_NE(yard, nullptr);
        EXPECT_EQ(yard->TypeName().ToStdString(), "Dummy");
        UdfElement* snowman = yard->Child("Children")->Child("Snowman");
        ASSERT_NE(snowman, nullptr);
        EXPECT_EQ(snowman->Parent(), yard->Child("Children"));

        struct Case {
            const char* name;
            const char* type;
            const void* bytes;
            std::size_t size;
        };
        const std::int32_t minus42 = -42;
        const float threeQuarters = 0.75f;
        const Case cases[] = {
            {"Int", "int", &minus42, 4},       {"Ints", "int", ints, 12},       {"Real", "real", &threeQuarters, 4},
            {"Reals", "", reals, 8},           {"String", "string", "with\0zero", 9},
            {"Color", "color", color, 16},     {"Matrix", "matrix", matrix, 64}, {"Raw", "", raw, 5},
            {"Empty", "", nullptr, 0},
        };
        for (const Case& c : cases) {
            const UdfElement* leaf = snowman->Child(c.name);
            ASSERT_NE(leaf, nullptr) << c.name;
            EXPECT_EQ(leaf->TypeName().ToStdString(), c.type) << c.name;
            EXPECT_EQ(leaf->Size(), c.size) << c.name;
            ASSERT_EQ(leaf->DataSize(), c.size) << c.name;
            if (c.size > 0) {
                EXPECT_EQ(std::memcmp(leaf->Data(), c.bytes, c.size), 0) << c.name;
            }
        }
        EXPECT_EQ(snowman->Child("Ints")->Count(), 3u);
        EXPECT_NE(snowman->Child("Empty"), snowman->Child("Props")) << "an empty leaf has an offset of its own";
        EXPECT_EQ(snowman->Child("Props")->Flags(), UdfElement::kContainer | UdfElement::kHasCount);
        EXPECT_EQ(snowman->Child("Props")->ChildCount(), 0);

        std::int32_t i = 0;
        float f = 0;
        float m[16] = {};
        String s;
        EXPECT_TRUE(snowman->ReadInt("Int", i));
        EXPECT_EQ(i, -42);
        EXPECT_TRUE(snowman->ReadReal("Real", f));
        EXPECT_EQ(f, 0.75f);
        EXPECT_TRUE(snowman->ReadMatrix("Matrix", m));
        EXPECT_EQ(std::memcmp(m, matrix, 64), 0);
        EXPECT_TRUE(snowman->ReadString("String", s));
        EXPECT_EQ(s.Length(), 9);

        UdfElement* linked = snowman->Child("Material");
        EXPECT_EQ(linked, root->Child("Materials")->Child("Snow"));
        EXPECT_TRUE(snowman->IsLink("Material"));
        EXPECT_EQ(linked->Parent(), root->Child("Materials"));
        EXPECT_TRUE(linked->ReadColor("Diffuse", m));
        EXPECT_EQ(snowman->Child("Root"), root);
    }
}

// The writer refuses entries that name nodes of another writer.
TEST(UdfRoundTrip, WriterRefusesForeignTargets) {
    UdfWriter other;
    UdfWriter::Node* foreign = other.Root()->AddInt("X", 1);
    UdfWriter writer;
    writer.Root()->AddLink("X", foreign);
    std::vector<std::uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(writer.Write(bytes));
    EXPECT_TRUE(bytes.empty());
}

// The type size rule: built-ins, sums, arrays, unknown names, loops.
TEST(UdfTypes, SizeRule) {
    UdfWriter writer;
    writer.AddType(UdfType{"Vec", {{"x", "real", false, 0}, {"y", "real", false, 0}, {"z", "real", false, 0}}});
    writer.AddType(UdfType{"Tri", {{"v", "Vec", true, 3}, {"flags", "byte", false, 0}}});
    writer.AddType(UdfType{"Name", {{"c", "char", true, 32}}});
    writer.AddType(UdfType{"Odd", {{"u", "unknown", true, 9}, {"i", "int", false, 0}}});
    writer.AddType(UdfType{"Loop", {{"self", "Loop", false, 0}, {"i", "int", false, 0}}});
    writer.AddType(UdfType{"PingA", {{"b", "PingB", false, 0}, {"i", "int", false, 0}}});
    writer.AddType(UdfType{"PingB", {{"a", "PingA", false, 0}, {"c", "char", false, 0}}});
    writer.AddType(UdfType{"Big", {{"n", "Name", true, 0xffffffff}, {"m", "Name", true, 0xffffffff}}});
    writer.AddType(UdfType{"Empty", {}});
    UdfReader reader;
    ASSERT_NE(reader.Open(MemoryStream(Written(writer))), nullptr);
    struct Case {
        const char* type;
        std::uint64_t size;
    };
    const Case cases[] = {
        {"int", 4},  {"real", 4},     {"char", 1},         {"byte", 1},   {"Vec", 12},
        {"Tri", 37}, {"Name", 32},    {"Odd", 4},          {"Loop", 4},   {"PingA", 5},
        {"PingB", 1},  // PingB was reached through PingA, whose loop member counts 0
        {"Big", kUdfMaxTypeSize},     {"Empty", 0},        {"nothing", 0}, {"INT", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(reader.TypeSize(c.type), c.size) << c.type;
    EXPECT_NE(reader.FindType("Tri"), nullptr);
    EXPECT_EQ(reader.FindType("tri"), nullptr);
}

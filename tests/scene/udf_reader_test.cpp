#include "scene/udf_reader.h"
#include "tests/scene/udf_test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace udftest;

namespace {


}  // namespace

// The signature text must be exactly "UDF Binary 1.0", with its count of 14.
TEST(UdfOpen, OpensOnlyTheExactSignature) {
    const std::vector<std::uint8_t> good = CameraPath();
    struct Case {
        const char* what;
        std::size_t at;          // byte to change (relative to the file start)
        int value;               // new byte value, or -1 to cut the file at `at`
        bool opens;
    };
    const Case cases[] = {
        {"unchanged", 0, 0, true},
        {"total size is ignored", 0, 0x7f, true},
        {"version digit", 4 + 4 + 13, '1', false},
        {"lower case u", 4 + 4, 'u', false},
        {"lower case b", 4 + 4 + 4, 'b', false},
        {"space for dot", 4 + 4 + 12, ' ', false},
        {"count 13", 4, 13, false},
        {"count 15", 4, 15, false},
        {"huge count", 7, 0xff, false},
        {"cut inside the signature", 10, -1, false},
        {"cut before the type count", 22, -1, false},
        {"cut before the root size", 26, -1, false},
        {"empty file", 0, -1, false},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (c.value < 0) bytes.resize(c.at);
        else if (std::strcmp(c.what, "unchanged") != 0) bytes[c.at] = static_cast<std::uint8_t>(c.value);
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(bytes));
        EXPECT_EQ(root != nullptr, c.opens) << c.what;
        if (root == nullptr) {
            EXPECT_EQ(reader.Stream().Size(), 0u) << c.what << ": the stream is closed";
            continue;
        }
        EXPECT_EQ(root->Name().ToStdString(), "_root");
        EXPECT_EQ(root->TypeName().ToStdString(), "_roottype");
        EXPECT_EQ(root->Flags(), UdfElement::kContainer);
        EXPECT_EQ(root->Offset(), 30u);
        EXPECT_EQ(root->Size(), 1132u);
    }
}

// The camera path layout: root size 1132, directory 488 with 20 entries of 32 bytes each,
// the first key's data right after the directory at 518.
TEST(UdfLayout, CameraPathFile) {
    const std::vector<std::uint8_t> bytes = CameraPath();
    ASSERT_EQ(bytes.size(), 1158u);
    EXPECT_EQ(U32At(bytes, 0), 1158u);
    EXPECT_EQ(U32At(bytes, 22), 0u);    // type definitions
    EXPECT_EQ(U32At(bytes, 26), 1132u); // root size
    EXPECT_EQ(U32At(bytes, 30), 488u);  // root directory size
    EXPECT_EQ(U32At(bytes, 34), 20u);   // entries

    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(bytes));
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(reader.LoadElement(root, 0));
    ASSERT_EQ(root->ChildCount(), 20);
    const char* names[] = {"rot9", "pos0", "rot0", "pos1", "rot1"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(root->ChildAt(i)->Name().ToStdString(), names[i]);
    for (int i = 0; i < 20; ++i) {
        const UdfElement* key = root->ChildAt(i);
        EXPECT_EQ(key->Flags(), 0);
        EXPECT_EQ(key->Size(), 32u);
        EXPECT_EQ(key->Offset(), 518u + 32u * static_cast<std::uint32_t>(i));
        EXPECT_EQ(key->TypeName().ToStdString(), key->Name()[0] == 'r' ? "rot" : "pos");
        EXPECT_EQ(key->Parent(), root);
        ASSERT_EQ(key->DataSize(), 32u);
        EXPECT_EQ(std::memcmp(key->Data(), bytes.data() + key->Offset(), 32), 0);
    }
    float time = -1;
    EXPECT_TRUE(root->ReadReal("rot9", time));
    EXPECT_EQ(time, 720.0f);
}

// Lookups compare names exactly and find containers with their types and flags.
TEST(UdfLayout, SceneRootAndLookups) {
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(SmallScene()));
    ASSERT_NE(root, nullptr);
    reader.LoadElement(root, 0);
    struct Case {
        const char* name;
        const char* type;  // null: no such child
    };
    const Case cases[] = {{"Children", "Node"}, {"Materials", "Material"}, {"Lights", "Light"},
                          {"children", nullptr}, {"Child", nullptr},        {"", nullptr}};
    for (const Case& c : cases) {
        const UdfElement* child = root->Child(c.name);
        ASSERT_EQ(child != nullptr, c.type != nullptr) << c.name;
        if (child == nullptr) continue;
        EXPECT_EQ(child->TypeName().ToStdString(), c.type);
        EXPECT_EQ(child->Flags(), UdfElement::kContainer);
        EXPECT_TRUE(child->DirectoryRead());
    }
    const UdfElement* house = root->Child("Children")->Child("House");
    ASSERT_NE(house, nullptr);
    const std::vector<UdfElement::Entry>& entries = Children(house);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[2].name.ToStdString(), "Material");
    EXPECT_TRUE(entries[2].link);
    EXPECT_TRUE(house->IsLink("Material"));
    EXPECT_FALSE(house->IsLink("NodeTM"));
    const UdfElement* indices = house->Child("Indices");
    EXPECT_EQ(indices->Flags(), UdfElement::kHasCount);
    EXPECT_EQ(indices->Count(), 6u);
}

// Entries with the same offset give one element; a link does not make the linking
// container the element's parent, a plain entry does.
TEST(UdfElements, OneElementPerOffset) {
    UdfWriter writer;
    UdfWriter::Node* a = writer.Root()->AddContainer("A", "Node");
    UdfWriter::Node* b = writer.Root()->AddContainer("B", "Node");
    UdfWriter::Node* shared = a->AddInt("Shared", 7);
    b->AddLink("ByLink", shared);
    UdfWriter::Node* c = writer.Root()->AddContainer("C", "Node");
    c->AddReference("Again", shared, 0);
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(Written(writer)));
    ASSERT_NE(root, nullptr);
    reader.LoadElement(root, 0);
    UdfElement* first = root->Child("A")->Child("Shared");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(root->Child("B")->Child("ByLink"), first);
    EXPECT_EQ(root->Child("C")->Child("Again"), first);
    EXPECT_EQ(first->Parent(), root->Child("C")) << "the last plain entry is the parent";
    EXPECT_EQ(first->Flags() & UdfElement::kLink, 0);
    EXPECT_EQ(first->Name().ToStdString(), "Shared") << "the element keeps the name of the entry that made it";
    EXPECT_EQ(reader.ElementCount(), 5u);  // root, A, B, C, Shared
}

// Typed reads copy a fixed count of leading bytes, and fail (destination untouched) when
// the child is missing, not loaded, or shorter than the count.
TEST(UdfTypedReads, FixedCountsAndFailures) {
    UdfWriter writer;
    UdfWriter::Node* root = writer.Root();
    const std::uint8_t two[2] = {1, 2};
    root->AddLeaf("Two", "int", two, 2);
    std::vector<std::int32_t> many(408);
    for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<std::int32_t>(1000 + i);
    root->AddInts("Many", many.data(), many.size());  // 1632 bytes
    const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    root->AddColor("Color", color);
    root->AddLeaf("Short", "matrix", kIdentity, 63);
    root->AddMatrix("Matrix", kIdentity);
    root->AddReal("Real", 2.5f);
    root->AddString("Text", "snow");
    root->AddString("Empty", "");
    root->AddContainer("Box", "Node")->AddInt("Inner", 5);

    UdfReader reader;
    UdfElement* top = reader.Open(MemoryStream(Written(writer)));
    ASSERT_NE(top, nullptr);
    reader.LoadElement(top, kUdfNoChildren);  // directory only: children not loaded
    std::int32_t untouched = -9;
    EXPECT_FALSE(top->ReadInt("Many", untouched));
    EXPECT_EQ(untouched, -9);
    String notLoaded("kept");
    EXPECT_FALSE(top->ReadString("Text", notLoaded));
    EXPECT_EQ(notLoaded.ToStdString(), "kept");
    reader.LoadElement(top, 0);

    struct Case {
        const char* name;
        std::size_t count;  // 4, 16 or 64 bytes
        bool ok;
        float first;        // first value read, as a float (ints compared through their bits)
    };
    const Case cases[] = {
        {"Two", 4, false, 0},     {"Many", 4, true, 0},     {"Color", 16, true, 0.25f}, {"Color", 64, false, 0},
        {"Short", 64, false, 0},  {"Matrix", 64, true, 1},  {"Real", 4, true, 2.5f},    {"Missing", 4, false, 0},
        {"Inner", 4, false, 0},   {"Box", 4, false, 0},  // a container holds no bytes unless asked
    };
    for (const Case& c : cases) {
        float out[16];
        for (float& f : out) f = -7.0f;
        bool ok = false;
        if (c.count == 4) ok = top->ReadReal(c.name, out[0]);
        if (c.count == 16) ok = top->ReadColor(c.name, out);
        if (c.count == 64) ok = top->ReadMatrix(c.name, out);
        EXPECT_EQ(ok, c.ok) << c.name;
        if (!ok) {
            for (float f : out) EXPECT_EQ(f, -7.0f) << c.name << " wrote on failure";
        } else if (std::strcmp(c.name, "Many") != 0 && std::strcmp(c.name, "Box") != 0) {
            EXPECT_EQ(out[0], c.first) << c.name;
        }
    }
    std::int32_t value = 0;
    EXPECT_TRUE(top->ReadInt("Many", value));
    EXPECT_EQ(value, 1000);
    EXPECT_FALSE(top->ReadInt("Two", value));
    EXPECT_EQ(value, 1000);
    String text;
    EXPECT_TRUE(top->ReadString("Text", text));
    EXPECT_EQ(text.ToStdString(), "snow");
    EXPECT_TRUE(top->ReadString("Empty", text));
    EXPECT_EQ(text.Length(), 0);
    EXPECT_FALSE(top->ReadString("Missing", text));
}

// What each option bit loads, for a root with a container "Box" {leaf "Leaf", container
// "Inner" {leaf "Deep"}} and a top-level leaf "Top".
TEST(UdfLoadOptions, WhatEachOptionLoads) {
    UdfWriter writer;
    UdfWriter::Node* box = writer.Root()->AddContainer("Box", "Node");
    box->AddInt("Leaf", 11);
    box->AddContainer("Inner", "Node")->AddInt("Deep", 22);
    writer.Root()->AddInt("Top", 33);
    const std::vector<std::uint8_t> bytes = Written(writer);

    enum : int { kNo, kOwn, kView };  // data: not loaded, own copy, view into the parent
    struct Case {
        std::uint32_t options;
        bool boxDirectory, innerDirectory;
        int root, box, leaf, inner, deep, top;
    };
    const Case cases[] = {
        {0, true, true, kNo, kNo, kOwn, kNo, kOwn, kOwn},
        {kUdfNoChildren, false, false, kNo, kNo, kNo, kNo, kNo, kNo},
        {kUdfOneLevel, true, false, kNo, kNo, kNo, kNo, kNo, kOwn},
        {kUdfReadData, true, true, kOwn, kOwn, kOwn, kOwn, kOwn, kOwn},
        {kUdfDataFromParent, true, true, kNo, kNo, kOwn, kNo, kOwn, kOwn},
        {kUdfReadDataTree, true, true, kOwn, kOwn, kOwn, kOwn, kOwn, kOwn},
        {kUdfReadDataTree | kUdfInPlace, true, true, kOwn, kView, kView, kView, kView, kView},
        {kUdfReadData | kUdfInPlace, true, true, kOwn, kOwn, kView, kOwn, kView, kView},
        {kUdfInPlace, true, true, kNo, kNo, kOwn, kNo, kOwn, kOwn},
    };
    for (const Case& c : cases) {
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(bytes));
        ASSERT_NE(root, nullptr);
        reader.LoadElement(root, c.options);
        EXPECT_TRUE(root->DirectoryRead());
        UdfElement* boxElement = root->Child("Box");
        ASSERT_NE(boxElement, nullptr);
        EXPECT_EQ(boxElement->DirectoryRead(), c.boxDirectory) << "options " << c.options;
        UdfElement* inner = boxElement->Child("Inner");
        if (c.boxDirectory) {
            ASSERT_NE(inner, nullptr);
        }
        if (inner != nullptr) {
            EXPECT_EQ(inner->DirectoryRead(), c.innerDirectory) << "options " << c.options;
        }
        const struct {
            const char* what;
            const UdfElement* element;
            int expected;
        } checks[] = {{"root", root, c.root},
                      {"box", boxElement, c.box},
                      {"leaf", c.boxDirectory ? boxElement->Child("Leaf") : nullptr, c.leaf},
                      {"inner", inner, c.inner},
                      {"deep", c.innerDirectory ? inner->Child("Deep") : nullptr, c.deep},
                      {"top", root->Child("Top"), c.top}};
        for (const auto& check : checks) {
            if (check.element == nullptr) {
                EXPECT_EQ(check.expected, kNo) << check.what << " options " << c.options;
                continue;
            }
            const int state = !check.element->IsLoaded() ? kNo : check.element->OwnsData() ? kOwn : kView;
            EXPECT_EQ(state, check.expected) << check.what << " options " << c.options;
            if (!check.element->IsLoaded()) continue;
            ASSERT_EQ(check.element->DataSize(), std::min<std::size_t>(check.element->Size(), bytes.size() - check.element->Offset()));
            EXPECT_EQ(std::memcmp(check.element->Data(), bytes.data() + check.element->Offset(), check.element->DataSize()), 0)
                << check.what << " options " << c.options;
        }
    }
}

// The typed-record step counts whole records of the element's type.
TEST(UdfLoadOptions, TypedRecords) {
    UdfWriter writer;
    writer.AddType(UdfType{"Key", {{"time", "real", false, 0}, {"value", "real", true, 7}}});
    const float keys[17] = {};
    writer.Root()->AddLeaf("Keys", "Key", keys, sizeof keys);  // two records of 32 and 4 bytes over
    writer.Root()->AddLeaf("Raw", "", keys, 8);
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(Written(writer)));
    ASSERT_NE(root, nullptr);
    reader.LoadElement(root, kUdfTypedRecords);
    EXPECT_EQ(root->Child("Keys")->RecordSize(), 32u);
    EXPECT_EQ(root->Child("Keys")->RecordCount(), 2u);
    EXPECT_EQ(root->Child("Raw")->RecordSize(), 0u);
    EXPECT_EQ(root->Child("Raw")->RecordCount(), 0u);
}

// Damaged and hostile files: loops, offsets and sizes outside the file, counts beyond
// the data. None may crash, loop, read outside the bytes or allocate without bound.

#include "scene/udf_reader.h"
#include "tests/scene/udf_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace udftest;

namespace {

// True when following parents from element ends at null within limit steps.
bool ParentsEnd(const UdfElement* element, int limit = 1000) {
    for (int i = 0; i < limit && element != nullptr; ++i) element = element->Parent();
    return element == nullptr;
}

}  // namespace

// A container that contains itself, directly or through links, is loaded once and the
// load ends; parents never form a loop.
TEST(UdfLoops, SelfContainingContainersLoadOnce) {
    struct Case {
        const char* what;
        void (*build)(UdfWriter&);
        std::size_t elements;  // elements made, the root included
    };
    const Case cases[] = {
        {"link to the root",
         [](UdfWriter& w) { w.Root()->AddContainer("A", "Node")->AddLink("Up", w.Root()); }, 2},
        {"link to the parent",
         [](UdfWriter& w) {
             UdfWriter::Node* a = w.Root()->AddContainer("A", "Node");
             a->AddContainer("B", "Node")->AddLink("Up", a);
         },
         3},
        {"plain entry to itself",
         [](UdfWriter& w) {
             UdfWriter::Node* a = w.Root()->AddContainer("A", "Node");
             a->AddReference("Self", a, UdfElement::kContainer);
         },
         2},
        {"plain entry to the root",
         [](UdfWriter& w) { w.Root()->AddContainer("A", "Node")->AddReference("Root", w.Root(), UdfElement::kContainer); },
         2},
        {"two containers through each other",
         [](UdfWriter& w) {
             UdfWriter::Node* a = w.Root()->AddContainer("A", "Node");
             UdfWriter::Node* b = w.Root()->AddContainer("B", "Node");
             a->AddReference("ToB", b, UdfElement::kContainer);
             b->AddReference("ToA", a, UdfElement::kContainer);
             a->AddInt("Value", 1);
         },
         4},
    };
    const std::uint32_t optionSets[] = {0, kUdfOneLevel, kUdfReadDataTree, kUdfReadDataTree | kUdfInPlace, kUdfReadData};
    for (const Case& c : cases) {
        UdfWriter writer;
        c.build(writer);
        const std::vector<std::uint8_t> bytes = Written(writer);
        for (std::uint32_t options : optionSets) {
            UdfReader reader;
            UdfElement* root = reader.Open(MemoryStream(bytes));
            ASSERT_NE(root, nullptr) << c.what;
            EXPECT_TRUE(reader.LoadElement(root, options));
            EXPECT_TRUE(reader.LoadElement(root, options)) << "a second load is harmless";
            EXPECT_EQ(reader.ElementCount(), c.elements) << c.what << " options " << options;
            UdfElement* a = root->Child("A");
            ASSERT_NE(a, nullptr) << c.what;
            EXPECT_TRUE(ParentsEnd(a)) << c.what;
            EXPECT_TRUE(ParentsEnd(root)) << c.what;
            EXPECT_EQ(root->Parent(), nullptr) << c.what;
        }
    }
}

// Offsets and sizes outside the file give elements with at most the bytes the file holds
// there; typed reads past those bytes fail.
TEST(UdfDamage, OffsetsAndSizesOutsideTheFile) {
    UdfWriter writer;
    writer.Root()->AddInt("Good", 5);
    writer.Root()->AddRawEntry("Beyond", "int", 0, 0, 0x7fffffff, 4);
    writer.Root()->AddRawEntry("Huge", "", 0, 0, 31, 0xffffffff);  // 30 is the root
    writer.Root()->AddRawEntry("AtEnd", "color", 0, 0, 0, 16);  // offset patched to the last 8 bytes
    writer.Root()->AddRawEntry("FarBox", "Node", UdfElement::kContainer, 0, 0xfffffff0, 0xffff);
    writer.Root()->AddRawEntry("EndBox", "Node", UdfElement::kContainer, 0, 0, 100);  // patched to the last 4 bytes
    std::vector<std::uint8_t> bytes = Written(writer);
    // Patch the offsets of AtEnd and EndBox, found by their names in the directory.
    auto patchOffset = [&](const char* name, std::uint32_t offset, bool hasCount) {
        const std::string needle = name;
        const auto it = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
        ASSERT_NE(it, bytes.end());
        std::size_t at = static_cast<std::size_t>(it - bytes.begin()) + needle.size();
        at += 4 + U32At(bytes, at) + 1 + (hasCount ? 4 : 0);
        PutU32At(bytes, at, offset);
    };
    patchOffset("AtEnd", static_cast<std::uint32_t>(bytes.size() - 8), false);
    patchOffset("EndBox", static_cast<std::uint32_t>(bytes.size() - 4), false);

    for (std::uint32_t options : {0u, kUdfReadData, kUdfReadDataTree | kUdfInPlace}) {
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(bytes));
        ASSERT_NE(root, nullptr);
        reader.LoadElement(root, options);
        struct Case {
            const char* name;
            std::size_t held;
        };
        const Case cases[] = {{"Good", 4}, {"Beyond", 0}, {"Huge", bytes.size() - 31}, {"AtEnd", 8}};
        for (const Case& c : cases) {
            const UdfElement* e = root->Child(c.name);
            ASSERT_NE(e, nullptr) << c.name;
            EXPECT_TRUE(e->IsLoaded()) << c.name;
            EXPECT_EQ(e->DataSize(), c.held) << c.name << " options " << options;
        }
        float color[4] = {9, 9, 9, 9};
        EXPECT_FALSE(root->ReadColor("AtEnd", color)) << "8 of 16 bytes";
        EXPECT_EQ(color[0], 9.0f);
        std::int32_t value = -1;
        EXPECT_FALSE(root->ReadInt("Beyond", value));
        EXPECT_EQ(value, -1);
        EXPECT_TRUE(root->ReadInt("Good", value));
        EXPECT_EQ(value, 5);
        EXPECT_EQ(root->Child("FarBox")->ChildCount(), 0);
        EXPECT_EQ(root->Child("EndBox")->ChildCount(), 0);
    }
}

// Count and length fields larger than the data end the reading at the data's end.
TEST(UdfDamage, CountsBeyondTheData) {
    const std::vector<std::uint8_t> good = CameraPath();
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool opens;
        int children;
    };
    const Case cases[] = {
        {"entry count 2^32-1", 34, 0xffffffffu, true, 20},
        {"entry count 21", 34, 21, true, 20},
        {"entry count 3", 34, 3, true, 3},
        {"first name length huge", 38, 0xfffffff0u, true, 0},
        {"first name length past the end", 38, 1200, true, 0},
        {"type count huge", 22, 0xffffffffu, false, 0},
        {"type count 1", 22, 1, false, 0},  // the root size read as a name length runs past the end
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        PutU32At(bytes, c.at, c.value);
        UdfReader reader;
        UdfElement* root = reader.Open(MemoryStream(bytes));
        if (!c.opens) {
            EXPECT_EQ(root, nullptr) << c.what;
            continue;
        }
        if (root == nullptr) continue;  // a header that no longer parses is also fine
        reader.LoadElement(root, 0);
        EXPECT_LE(root->ChildCount(), c.children) << c.what;
        if (std::string(c.what).rfind("entry count", 0) == 0) {
            EXPECT_EQ(root->ChildCount(), c.children) << c.what;
        }
    }
}

// Overlapping directories cannot multiply the work: every file gets at most one entry per
// four of its bytes, whatever its directories claim.
TEST(UdfDamage, OverlappingDirectoriesAreBounded) {
    // 200 containers, each listing all 200 (itself included): 40,000 entries claimed.
    UdfWriter writer;
    std::vector<UdfWriter::Node*> boxes;
    for (int i = 0; i < 200; ++i) boxes.push_back(writer.Root()->AddContainer(String::FromInt(i), "Node"));
    for (UdfWriter::Node* box : boxes)
        for (UdfWriter::Node* other : boxes) box->AddReference(other->Name(), other, UdfElement::kContainer);
    const std::vector<std::uint8_t> bytes = Written(writer);
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(bytes));
    ASSERT_NE(root, nullptr);
    reader.LoadElement(root, 0);
    std::size_t entries = 0;
    std::set<const UdfElement*> seen;
    for (const UdfElement::Entry& entry : root->Entries()) {
        entries += 1 + entry.element->Entries().size();
        seen.insert(entry.element);
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_EQ(entries, 200u * 201u) << "this file is large enough for all its entries";
    EXPECT_LE(entries, bytes.size() / 4);
    EXPECT_EQ(reader.ElementCount(), 201u);
}

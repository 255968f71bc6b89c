#pragma once
// UdfWriter: builds a "UDF Binary 1.0" file in memory, in the layout UdfReader reads.
//
// A program builds a tree of nodes under Root(): containers (with a directory of their
// own) and typed leaves, plus entries that refer to another node of the same writer
// (links, flag 0x02, or plain shared entries). Write() lays the tree out: every container
// is its directory followed by its own children's bytes in directory order, and every
// entry records the absolute offset and size of the element it names. Since the reader
// knows elements by offset, a leaf of no bytes is given the position of its own directory
// entry, where no other element starts.
//
//     UdfWriter writer;
//     UdfWriter::Node* node = writer.Root()->AddContainer("Children", "Node")->AddContainer("House", "Mesh");
//     node->AddMatrix("NodeTM", identity);
//     node->AddLink("Material", materials->AddContainer("Wood", "Material"));
//     std::vector<std::uint8_t> bytes;
//     writer.Write(bytes);

#include "core/byte_string.h"
#include "scene/udf_type.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class UdfWriter {
public:
    class Node {
    public:
        Node* AddContainer(const String& name, const String& typeName);
        Node* AddLeaf(const String& name, const String& typeName, const void* data, std::size_t size);
        Node* AddLeaf(const String& name, const String& typeName, std::vector<std::uint8_t> bytes);
        Node* AddInt(const String& name, std::int32_t value);                          // "int"
        Node* AddInts(const String& name, const std::int32_t* values, std::size_t n);  // "int"
        Node* AddReal(const String& name, float value);                                // "real"
        Node* AddReals(const String& name, const float* values, std::size_t n);        // empty type
        Node* AddString(const String& name, const String& text);                       // "string"
        Node* AddColor(const String& name, const float* rgba);                         // "color", 4 floats
        Node* AddMatrix(const String& name, const float* matrix);                      // "matrix", 16 floats
        // A link entry (flag 0x02) to target, which keeps its own place in the tree.
        Node* AddLink(const String& name, const Node* target);
        // An entry with target's offset, size and type and exactly the given flags.
        Node* AddReference(const String& name, const Node* target, std::uint8_t flags);
        // An entry written as given, pointing wherever offset says (for tests of damage).
        Node* AddRawEntry(const String& name, const String& typeName, std::uint8_t flags, std::uint32_t count,
                          std::uint32_t offset, std::uint32_t size);
        // Sets flag 0x01: the entry carries this element count.
        Node* SetCount(std::uint32_t count);

        const String& Name() const { return name_; }
        bool IsContainer() const { return container_; }

    private:
        friend class UdfWriter;
        Node(UdfWriter* writer, String name, String typeName, bool container);
        Node* Add(std::unique_ptr<Node> node);

        UdfWriter* writer_;
        String name_;
        String typeName_;
        bool container_;
        std::uint8_t flags_ = 0;
        std::uint32_t count_ = 0;
        std::vector<std::uint8_t> data_;
        std::vector<std::unique_ptr<Node>> children_;
        // Entries that name another node, or a raw offset.
        const Node* target_ = nullptr;
        bool raw_ = false;
        std::uint32_t rawOffset_ = 0;
        std::uint32_t rawSize_ = 0;
        // Filled by the layout.
        std::uint64_t offset_ = 0;
        std::uint64_t size_ = 0;
        std::uint64_t directorySize_ = 0;
    };

    UdfWriter();
    UdfWriter(const UdfWriter&) = delete;
    UdfWriter& operator=(const UdfWriter&) = delete;
    ~UdfWriter();

    // The root container; its entries are the file's top-level elements.
    Node* Root() { return root_.get(); }
    void AddType(UdfType type) { types_.push_back(std::move(type)); }

    // The whole file. False, with out empty, when it would not fit 32-bit offsets or an
    // entry refers to a node of another writer.
    bool Write(std::vector<std::uint8_t>& out);

private:
    bool Layout(Node* node, std::uint64_t offset);
    void Emit(const Node* node, class MemoryStream& out) const;
    bool EntryFields(const Node* entry, std::uint8_t& flags, std::uint32_t& count, std::uint64_t& offset,
                     std::uint64_t& size, const String*& typeName) const;
    static std::uint64_t Measure(Node* node);
    static std::uint64_t EntrySize(const Node* entry);

    std::vector<UdfType> types_;
    std::unique_ptr<Node> root_;
    std::uint64_t rootSizeField_ = 0;
};

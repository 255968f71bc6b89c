#include "scene/udf_writer.h"

#include "scene/memory_stream.h"
#include "scene/udf_reader.h"

#include <cstring>
#include <utility>

namespace {

constexpr std::uint64_t kMax32 = 0xFFFFFFFFull;

void PutU32(MemoryStream& out, std::uint64_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    out.Write(bytes, 4);
}

void PutU8(MemoryStream& out, std::uint8_t value) { out.Write(&value, 1); }

void PutText(MemoryStream& out, const String& text) {
    PutU32(out, static_cast<std::uint64_t>(text.Length()));
    out.Write(text.CStr(), static_cast<std::size_t>(text.Length()));
}

std::uint64_t TextSize(const String& text) { return 4 + static_cast<std::uint64_t>(text.Length()); }

}  // namespace

UdfWriter::Node::Node(UdfWriter* writer, String name, String typeName, bool container)
    : writer_(writer), name_(std::move(name)), typeName_(std::move(typeName)), container_(container) {}

UdfWriter::Node* UdfWriter::Node::Add(std::unique_ptr<Node> node) {
    children_.push_back(std::move(node));
    return children_.back().get();
}

UdfWriter::Node* UdfWriter::Node::AddContainer(const String& name, const String& typeName) {
    return Add(std::unique_ptr<Node>(new Node(writer_, name, typeName, true)));
}

UdfWriter::Node* UdfWriter::Node::AddLeaf(const String& name, const String& typeName, std::vector<std::uint8_t> bytes) {
    Node* leaf = Add(std::unique_ptr<Node>(new Node(writer_, name, typeName, false)));
    leaf->data_ = std::move(bytes);
    return leaf;
}

UdfWriter::Node* UdfWriter::Node::AddLeaf(const String& name, const String& typeName, const void* data,
                                          std::size_t size) {
    const auto* first = static_cast<const std::uint8_t*>(data);
    return AddLeaf(name, typeName, size == 0 ? std::vector<std::uint8_t>() : std::vector<std::uint8_t>(first, first + size));
}

UdfWriter::Node* UdfWriter::Node::AddInt(const String& name, std::int32_t value) {
    return AddLeaf(name, "int", &value, sizeof value);
}

UdfWriter::Node* UdfWriter::Node::AddInts(const String& name, const std::int32_t* values, std::size_t n) {
    return AddLeaf(name, "int", values, n * sizeof(std::int32_t));
}

UdfWriter::Node* UdfWriter::Node::AddReal(const String& name, float value) {
    return AddLeaf(name, "real", &value, sizeof value);
}

UdfWriter::Node* UdfWriter::Node::AddReals(const String& name, const float* values, std::size_t n) {
    return AddLeaf(name, "", values, n * sizeof(float));
}

UdfWriter::Node* UdfWriter::Node::AddString(const String& name, const String& text) {
    return AddLeaf(name, "string", text.CStr(), static_cast<std::size_t>(text.Length()));
}

UdfWriter::Node* UdfWriter::Node::AddColor(const String& name, const float* rgba) {
    return AddLeaf(name, "color", rgba, 4 * sizeof(float));
}

UdfWriter::Node* UdfWriter::Node::AddMatrix(const String& name, const float* matrix) {
    return AddLeaf(name, "matrix", matrix, 16 * sizeof(float));
}

UdfWriter::Node* UdfWriter::Node::AddLink(const String& name, const Node* target) {
    Node* entry = AddReference(name, target, UdfElement::kLink);
    entry->flags_ = 0xFF;  // marks "the target's own flags, plus the link bit"
    return entry;
}

UdfWriter::Node* UdfWriter::Node::AddReference(const String& name, const Node* target, std::uint8_t flags) {
    Node* entry = Add(std::unique_ptr<Node>(new Node(writer_, name, String(), false)));
    entry->target_ = target;
    entry->flags_ = flags;
    return entry;
}

UdfWriter::Node* UdfWriter::Node::AddRawEntry(const String& name, const String& typeName, std::uint8_t flags,
                                              std::uint32_t count, std::uint32_t offset, std::uint32_t size) {
    Node* entry = Add(std::unique_ptr<Node>(new Node(writer_, name, typeName, false)));
    entry->raw_ = true;
    entry->flags_ = flags;
    entry->count_ = count;
    entry->rawOffset_ = offset;
    entry->rawSize_ = size;
    return entry;
}

UdfWriter::Node* UdfWriter::Node::SetCount(std::uint32_t count) {
    flags_ |= UdfElement::kHasCount;
    count_ = count;
    return this;
}

UdfWriter::UdfWriter() : root_(new Node(this, "_root", "_roottype", true)) {}
UdfWriter::~UdfWriter() = default;

// Fields of the directory entry for child; false when it names a node of another writer.
bool UdfWriter::EntryFields(const Node* entry, std::uint8_t& flags, std::uint32_t& count, std::uint64_t& offset,
                            std::uint64_t& size, const String*& typeName) const {
    typeName = &entry->typeName_;
    if (entry->raw_) {
        flags = entry->flags_;
        count = entry->count_;
        offset = entry->rawOffset_;
        size = entry->rawSize_;
        return true;
    }
    const Node* element = entry->target_ != nullptr ? entry->target_ : entry;
    if (element->writer_ != this) return false;
    const std::uint8_t own = static_cast<std::uint8_t>(element->flags_ | (element->container_ ? UdfElement::kContainer : 0));
    flags = own;
    if (entry->target_ != nullptr) {
        flags = entry->flags_ == 0xFF ? static_cast<std::uint8_t>(own | UdfElement::kLink) : entry->flags_;
        typeName = &element->typeName_;
    }
    count = element->count_;
    offset = element->offset_;
    size = element == root_.get() ? rootSizeField_ : element->size_;
    return true;
}

std::uint64_t UdfWriter::EntrySize(const Node* entry) {
    const String& typeName = entry->target_ != nullptr ? entry->target_->typeName_ : entry->typeName_;
    std::uint8_t flags = entry->flags_;
    if (entry->target_ != nullptr && flags == 0xFF) flags = entry->target_->flags_;
    const std::uint64_t count = (flags & UdfElement::kHasCount) != 0 ? 4 : 0;
    return TextSize(entry->name_) + TextSize(typeName) + 1 + count + 8;
}

std::uint64_t UdfWriter::Measure(Node* node) {
    if (!node->container_) {
        node->size_ = node->target_ != nullptr || node->raw_ ? 0 : node->data_.size();
        return node->size_;
    }
    std::uint64_t directory = 8;
    std::uint64_t body = 0;
    for (auto& child : node->children_) {
        directory += EntrySize(child.get());
        if (child->target_ == nullptr && !child->raw_) body += Measure(child.get());
    }
    node->directorySize_ = directory;
    node->size_ = directory + body;
    return node->size_;
}

bool UdfWriter::Layout(Node* node, std::uint64_t offset) {
    node->offset_ = offset;
    if (offset + node->size_ > kMax32) return false;
    std::uint64_t at = offset + node->directorySize_;
    std::uint64_t entryAt = offset + 8;
    for (auto& child : node->children_) {
        const std::uint64_t entry = entryAt;
        entryAt += EntrySize(child.get());
        if (child->target_ != nullptr || child->raw_) continue;
        // Elements are known by offset: a leaf of no bytes placed at `at` would be taken
        // for the element that follows it, so it gets the position of its own entry.
        if (!child->container_ && child->size_ == 0) {
            child->offset_ = entry;
            continue;
        }
        if (!Layout(child.get(), at)) return false;
        at += child->size_;
    }
    return true;
}

void UdfWriter::Emit(const Node* node, MemoryStream& out) const {
    if (!node->container_) {
        if (!node->data_.empty()) out.Write(node->data_.data(), node->data_.size());
        return;
    }
    PutU32(out, node->directorySize_);
    PutU32(out, node->children_.size());
    for (const auto& child : node->children_) {
        std::uint8_t flags = 0;
        std::uint32_t count = 0;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
        const String* typeName = nullptr;
        EntryFields(child.get(), flags, count, offset, size, typeName);
        PutText(out, child->name_);
        PutText(out, *typeName);
        PutU8(out, flags);
        if ((flags & UdfElement::kHasCount) != 0) PutU32(out, count);
        PutU32(out, offset);
        PutU32(out, size);
    }
    for (const auto& child : node->children_)
        if (child->target_ == nullptr && !child->raw_) Emit(child.get(), out);
}

bool UdfWriter::Write(std::vector<std::uint8_t>& out) {
    out.clear();
    std::uint64_t header = 4 + TextSize(kUdfSignature) + 4;
    for (const UdfType& type : types_) {
        header += TextSize(type.name) + 4;
        for (const UdfMember& member : type.members)
            header += TextSize(member.name) + TextSize(member.typeName) + 1 + (member.isArray ? 4 : 0);
    }
    const std::uint64_t rootSize = Measure(root_.get());
    rootSizeField_ = 4 + rootSize;
    const std::uint64_t total = header + 4 + rootSize;
    if (total > kMax32 || !Layout(root_.get(), header + 4)) return false;

    // Every entry must name a node of this writer.
    std::vector<const Node*> pending{root_.get()};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        for (const auto& child : node->children_) {
            const Node* target = child->target_;
            if (target != nullptr && (target->writer_ != this || target->target_ != nullptr || target->raw_)) return false;
            pending.push_back(child.get());
        }
    }

    MemoryStream stream;
    PutU32(stream, total);
    PutText(stream, kUdfSignature);
    PutU32(stream, types_.size());
    for (const UdfType& type : types_) {
        PutText(stream, type.name);
        PutU32(stream, type.members.size());
        for (const UdfMember& member : type.members) {
            PutText(stream, member.name);
            PutText(stream, member.typeName);
            PutU8(stream, member.isArray ? 1 : 0);
            if (member.isArray) PutU32(stream, member.count);
        }
    }
    PutU32(stream, rootSizeField_);
    Emit(root_.get(), stream);
    out = stream.WrittenBytes();
    return true;
}

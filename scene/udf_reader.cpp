#include "scene/udf_reader.h"

#include "core/media_archive.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

const char* const kUdfSignature = "UDF Binary 1.0";

namespace {

// Parents farther up than this are not searched for a loop; a re-parenting that would
// need a longer search is refused as if it looped.
constexpr int kMaxAncestorWalk = 256;
// Element bytes copied by one reader are bounded by this many times the file size.
constexpr std::size_t kCopyFactor = 16;
constexpr std::size_t kCopySlack = 1 << 20;

// A bounded little-endian reader over a span of bytes.
struct Cursor {
    const std::uint8_t* at;
    std::size_t left;

    bool U8(std::uint8_t& value) {
        if (left < 1) return false;
        value = *at++;
        --left;
        return true;
    }
    bool U32(std::uint32_t& value) {
        if (left < 4) return false;
        value = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
        at += 4;
        left -= 4;
        return true;
    }
    bool Text(String& value) {
        std::uint32_t length = 0;
        if (!U32(length) || length > left) return false;
        value = String(reinterpret_cast<const char*>(at), static_cast<int>(length));
        at += length;
        left -= length;
        return true;
    }
};


}  // namespace

UdfReader::~UdfReader() = default;

void UdfReader::Reset() {
    types_.clear();
    typeIndex_.clear();
    typeSizes_.clear();
    byOffset_.clear();
    elements_.clear();
    root_ = nullptr;
}

UdfElement* UdfReader::Open(MemoryStream stream) {
    Reset();
    stream_ = std::move(stream);
    entriesLeft_ = stream_.Size() / 4;
    copyBytesLeft_ = stream_.Size() * kCopyFactor + kCopySlack;
    if (!ReadHeader()) {
        stream_.Close();
        Reset();
        return nullptr;
    }
    return root_;
}

bool UdfReader::ReadHeader() {
    Cursor in{stream_.Data(), stream_.Size()};
    std::uint32_t total = 0;
    String signature;
    if (!in.U32(total) || !in.Text(signature) || !signature.Equals(kUdfSignature)) return false;

    std::uint32_t typeCount = 0;
    if (!in.U32(typeCount)) return false;
    // Every definition takes at least eight bytes, so a count beyond the data ends the
    // loop at the first short read rather than by allocation.
    for (std::uint32_t i = 0; i < typeCount; ++i) {
        UdfType type;
        std::uint32_t memberCount = 0;
        if (!in.Text(type.name) || !in.U32(memberCount)) return false;
        for (std::uint32_t j = 0; j < memberCount; ++j) {
            UdfMember member;
            std::uint8_t isArray = 0;
            if (!in.Text(member.name) || !in.Text(member.typeName) || !in.U8(isArray)) return false;
            member.isArray = isArray != 0;
            if (member.isArray && !in.U32(member.count)) return false;
            type.members.push_back(std::move(member));
        }
        types_.push_back(std::move(type));
    }
    std::uint32_t rootSize = 0;
    if (!in.U32(rootSize)) return false;
    const auto rootOffset = static_cast<std::uint32_t>(stream_.Size() - in.left);
    stream_.Seek(rootOffset);

    for (std::size_t i = 0; i < types_.size(); ++i) typeIndex_[types_[i].name.ToStdString()] = i;
    typeSizes_ = ComputeUdfTypeSizes(types_);

    elements_.push_back(std::make_unique<UdfElement>(this, nullptr, String("_root"), String("_roottype"),
                                                     UdfElement::kContainer, 0, rootOffset, rootSize));
    root_ = elements_.back().get();
    byOffset_[rootOffset] = root_;
    return true;
}

const UdfType* UdfReader::FindType(const String& name) const {
    const auto it = typeIndex_.find(std::string_view(name.CStr(), static_cast<std::size_t>(name.Length())));
    return it == typeIndex_.end() ? nullptr : &types_[it->second];
}

std::uint64_t UdfReader::TypeSize(const String& name) const {
    if (name == "int" || name == "real") return 4;
    if (name == "char" || name == "byte") return 1;
    const auto it = typeIndex_.find(std::string_view(name.CStr(), static_cast<std::size_t>(name.Length())));
    return it == typeIndex_.end() ? 0 : typeSizes_[it->second];
}

bool UdfReader::LoadElement(UdfElement* element, std::uint32_t options) {
    if (element == nullptr || element->reader_ != this) return false;
    // Depth first in directory order, with an explicit stack; an element already reached
    // in this pass (a shared offset, a link back up the tree) is not loaded again.
    ++pass_;
    std::vector<std::pair<UdfElement*, std::uint32_t>> work{{element, options}};
    while (!work.empty()) {
        auto [current, currentOptions] = work.back();
        work.pop_back();
        if (current->visit_ == pass_) continue;
        current->visit_ = pass_;
        LoadOne(current, currentOptions);
        if (!current->IsContainer() || (currentOptions & kUdfNoChildren) != 0) continue;
        std::uint32_t childOptions = currentOptions;
        if ((childOptions & kUdfOneLevel) != 0) childOptions = (childOptions & ~kUdfOneLevel) | kUdfNoChildren;
        if ((childOptions & kUdfReadDataTree) != 0) childOptions |= kUdfDataFromParent;
        for (auto it = current->entries_.rbegin(); it != current->entries_.rend(); ++it)
            if (it->element->visit_ != pass_) work.emplace_back(it->element, childOptions);
    }
    return true;
}

void UdfReader::LoadOne(UdfElement* element, std::uint32_t options) {
    if (element->IsContainer() && !element->directoryRead_) {
        if (!element->loaded_) {
            const bool fromParent = (options & kUdfDataFromParent) != 0 &&
                                    LoadFromParent(element, (options & kUdfInPlace) != 0);
            if (!fromParent && (options & (kUdfReadData | kUdfReadDataTree)) != 0) ReadDataFromStream(element);
        }
        ReadDirectory(element);
    }
    if (!element->IsContainer() && !element->loaded_) {
        if ((options & kUdfInPlace) == 0 || !LoadFromParent(element, true)) ReadDataFromStream(element);
    }
    if ((options & kUdfTypedRecords) != 0 && element->loaded_) {
        element->recordSize_ = TypeSize(element->typeName_);
        element->recordCount_ = element->recordSize_ == 0 ? 0 : element->dataSize_ / element->recordSize_;
    }
}

// Takes the element's bytes from its parent's loaded bytes, when they lie wholly inside.
bool UdfReader::LoadFromParent(UdfElement* element, bool inPlace) {
    const UdfElement* parent = element->parent_;
    if (parent == nullptr || !parent->loaded_ || element->offset_ < parent->offset_) return false;
    const std::size_t start = element->offset_ - parent->offset_;
    if (start > parent->dataSize_ || element->size_ > parent->dataSize_ - start) return false;
    if (inPlace) {
        element->data_ = parent->data_ + start;
    } else {
        if (element->size_ > copyBytesLeft_) return false;
        copyBytesLeft_ -= element->size_;
        element->owned_ = std::make_unique<std::uint8_t[]>(element->size_);
        if (element->size_ > 0) std::memcpy(element->owned_.get(), parent->data_ + start, element->size_);
        element->data_ = element->owned_.get();
    }
    element->dataSize_ = element->size_;
    element->loaded_ = true;
    return true;
}

// Reads size bytes at the element's offset, or as many as the file still holds there.
bool UdfReader::ReadDataFromStream(UdfElement* element) {
    const std::size_t fileSize = stream_.Size();
    const std::size_t available = element->offset_ < fileSize ? fileSize - element->offset_ : 0;
    const std::size_t count = std::min<std::size_t>(element->size_, available);
    if (count > copyBytesLeft_) return false;
    copyBytesLeft_ -= count;
    element->owned_.reset();
    element->data_ = nullptr;
    if (count > 0 && stream_.Seek(element->offset_)) {
        element->owned_ = std::make_unique<std::uint8_t[]>(count);
        element->data_ = element->owned_.get();
        stream_.Read(element->owned_.get(), count);
    }
    element->dataSize_ = element->data_ != nullptr ? count : 0;
    element->loaded_ = true;
    return true;
}

void UdfReader::ReadDirectory(UdfElement* element) {
    element->directoryRead_ = true;
    Cursor in{nullptr, 0};
    if (element->loaded_) {
        in = Cursor{element->data_, element->dataSize_};
    } else if (element->offset_ < stream_.Size()) {
        in = Cursor{stream_.Data() + element->offset_, stream_.Size() - element->offset_};
    }
    std::uint32_t directorySize = 0;
    std::uint32_t count = 0;
    if (!in.U32(directorySize) || !in.U32(count)) return;
    // An entry takes at least 17 bytes, so a count beyond the data ends at the first
    // short entry; the reader-wide entry budget bounds overlapping directories.
    for (std::uint32_t i = 0; i < count && entriesLeft_ > 0; ++i) {
        String name;
        String typeName;
        std::uint8_t flags = 0;
        std::uint32_t elementCount = 0;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        if (!in.Text(name) || !in.Text(typeName) || !in.U8(flags)) break;
        if ((flags & UdfElement::kHasCount) != 0 && !in.U32(elementCount)) break;
        if (!in.U32(offset) || !in.U32(size)) break;
        --entriesLeft_;
        UdfElement* child = ElementAt(element, name, typeName, flags, elementCount, offset, size);
        const bool link = (flags & UdfElement::kLink) != 0;
        element->index_.emplace(name.ToStdString(), element->entries_.size());
        element->entries_.push_back(UdfElement::Entry{std::move(name), child, link});
    }
}

UdfElement* UdfReader::ElementAt(UdfElement* container, const String& name, const String& typeName,
                                 std::uint8_t flags, std::uint32_t count, std::uint32_t offset,
                                 std::uint32_t size) {
    const bool link = (flags & UdfElement::kLink) != 0;
    const auto found = byOffset_.find(offset);
    if (found != byOffset_.end()) {
        UdfElement* known = found->second;
        if (!link && known->parent_ != container && !WouldLoop(known, container)) known->parent_ = container;
        return known;
    }
    elements_.push_back(std::make_unique<UdfElement>(this, link ? nullptr : container, name, typeName,
                                                     static_cast<std::uint8_t>(flags & ~UdfElement::kLink),
                                                     (flags & UdfElement::kHasCount) != 0 ? count : 0, offset, size));
    UdfElement* made = elements_.back().get();
    byOffset_.emplace(offset, made);
    return made;
}

bool UdfReader::WouldLoop(const UdfElement* child, const UdfElement* parent) {
    int steps = 0;
    for (const UdfElement* at = parent; at != nullptr; at = at->parent_) {
        if (at == child || ++steps > kMaxAncestorWalk) return true;
    }
    return false;
}

UdfElement* OpenUdf(UdfReader& reader, MemoryStream stream) { return reader.Open(std::move(stream)); }

UdfElement* OpenUdfFile(UdfReader& reader, const String& name) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(name, bytes)) return nullptr;
    return reader.Open(MemoryStream(std::move(bytes)));
}

bool LoadElement(UdfElement* element, std::uint32_t options) {
    return element != nullptr && element->Reader()->LoadElement(element, options);
}

UdfElement* Child(const UdfElement* element, const String& name) {
    return element == nullptr ? nullptr : element->Child(name);
}

const std::vector<UdfElement::Entry>& Children(const UdfElement* element) {
    static const std::vector<UdfElement::Entry> kNone;
    return element == nullptr ? kNone : element->Entries();
}

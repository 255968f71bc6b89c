#pragma once
// UdfElement: one element of a UDF file, made and owned by the UdfReader that read it.
//
// There is one element object per element offset in the file. A container's children are
// kept in directory order; lookups by name compare exactly and find the first child of
// that name. A child reached through a link entry is listed here but does not take this
// element as its parent. Parents never form a loop: an entry that would make an element
// its own ancestor leaves its parent as it was.
//
// Data is the element's bytes once loaded: its own buffer, or a view into its parent's
// loaded bytes. DataSize() is the number of bytes actually held, which is less than
// Size() when the file ends early.

#include "core/byte_string.h"
#include "core/object.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class UdfReader;

class UdfElement : public virtual Object {
public:
    static constexpr std::uint8_t kHasCount = 0x01;
    static constexpr std::uint8_t kLink = 0x02;
    static constexpr std::uint8_t kContainer = 0x04;

    UdfElement(UdfReader* reader, UdfElement* parent, String name, String typeName, std::uint8_t flags,
               std::uint32_t count, std::uint32_t offset, std::uint32_t size);
    UdfElement(const UdfElement&) = delete;
    UdfElement& operator=(const UdfElement&) = delete;

    const String& Name() const { return name_; }
    const String& TypeName() const { return typeName_; }
    std::uint8_t Flags() const { return flags_; }
    bool IsContainer() const { return (flags_ & kContainer) != 0; }
    std::uint32_t Count() const { return count_; }  // meaningful when kHasCount is set
    std::uint32_t Offset() const { return offset_; }
    std::uint32_t Size() const { return size_; }
    UdfElement* Parent() const { return parent_; }
    UdfReader* Reader() const { return reader_; }

    // Null until loaded (and for loaded elements of no bytes).
    const std::uint8_t* Data() const { return data_; }
    std::size_t DataSize() const { return dataSize_; }
    bool IsLoaded() const { return loaded_; }
    bool OwnsData() const { return owned_ != nullptr; }
    bool DirectoryRead() const { return directoryRead_; }

    // Set by the typed-record step: the record size of the element's type and how many
    // whole records its data holds; both 0 until then.
    std::uint64_t RecordSize() const { return recordSize_; }
    std::uint64_t RecordCount() const { return recordCount_; }

    struct Entry {
        String name;  // the directory entry's name (a link may name its target differently)
        UdfElement* element;
        bool link;
    };
    // The directory in order; empty until the directory has been read.
    const std::vector<Entry>& Entries() const { return entries_; }
    int ChildCount() const { return static_cast<int>(entries_.size()); }
    UdfElement* ChildAt(int index) const { return entries_[static_cast<std::size_t>(index)].element; }
    // The first child of exactly that name, or null.
    UdfElement* Child(const String& name) const;
    // Whether the first entry of that name was a link; false when there is none.
    bool IsLink(const String& name) const;

    // Typed reads of a child's leading bytes. Each fails, leaving out untouched, when the
    // child is missing, not loaded, or holds fewer bytes than the read needs.
    bool ReadInt(const String& name, std::int32_t& out) const;
    bool ReadReal(const String& name, float& out) const;
    bool ReadColor(const String& name, float* rgba) const;      // 4 floats
    bool ReadMatrix(const String& name, float* matrix) const;   // 16 floats, row by row
    bool ReadBytes(const String& name, void* out, std::size_t count) const;
    // The child's bytes as text; fails when the child is missing or not loaded.
    bool ReadString(const String& name, String& out) const;

private:
    friend class UdfReader;

    UdfReader* reader_;
    UdfElement* parent_;
    String name_;
    String typeName_;
    std::uint8_t flags_;
    std::uint32_t count_;
    std::uint32_t offset_;
    std::uint32_t size_;

    const std::uint8_t* data_ = nullptr;
    std::size_t dataSize_ = 0;
    std::unique_ptr<std::uint8_t[]> owned_;
    bool loaded_ = false;
    bool directoryRead_ = false;
    std::uint64_t recordSize_ = 0;
    std::uint64_t recordCount_ = 0;
    std::uint64_t visit_ = 0;  // the reader's load pass that last reached this element

    std::vector<Entry> entries_;
    std::map<std::string, std::size_t, std::less<>> index_;  // name -> first entry
};

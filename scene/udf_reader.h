#pragma once
// UdfReader: reads a "UDF Binary 1.0" file held in memory into UdfElement objects.
//
// The reader owns its stream, the type definitions and every element it makes, one per
// element offset (a directory entry whose offset is already known gets the known element).
// Nothing read from the file can make it read outside the file's bytes, allocate more
// than the file could justify, or loop: an element reached twice in one load is loaded
// once, and the directories of one file together list at most one entry per four bytes of
// the file; copies of element bytes are bounded by a multiple of the file size.

#include "core/byte_string.h"
#include "core/object.h"
#include "scene/memory_stream.h"
#include "scene/udf_element.h"
#include "scene/udf_type.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// LoadElement options.
constexpr std::uint32_t kUdfNoChildren = 0x01;      // do not load the children of a container
constexpr std::uint32_t kUdfOneLevel = 0x04;        // load the children, but not theirs
constexpr std::uint32_t kUdfTypedRecords = 0x08;    // run the typed-record step on the element
constexpr std::uint32_t kUdfReadData = 0x10;        // read a container's bytes before its directory
constexpr std::uint32_t kUdfDataFromParent = 0x20;  // take a container's bytes from its parent's loaded bytes
constexpr std::uint32_t kUdfReadDataTree = 0x40;    // read the bytes once; children take theirs from the parent
constexpr std::uint32_t kUdfInPlace = 0x80;         // view bytes inside the parent's instead of copying

extern const char* const kUdfSignature;  // "UDF Binary 1.0"

class UdfReader : public virtual Object {
public:
    UdfReader() = default;
    ~UdfReader() override;
    UdfReader(const UdfReader&) = delete;
    UdfReader& operator=(const UdfReader&) = delete;

    // Reads the header and the type definitions and makes the root ("_root", "_roottype",
    // container). Null, with the stream closed, when the signature is not exactly
    // kUdfSignature or the header is cut short. Opening again drops all earlier elements.
    UdfElement* Open(MemoryStream stream);
    UdfElement* Root() const { return root_; }

    // Makes an element usable: reads its directory and bytes as the options ask, then
    // (unless kUdfNoChildren) loads its children with derived options. False for null.
    bool LoadElement(UdfElement* element, std::uint32_t options);

    const std::vector<UdfType>& Types() const { return types_; }
    // The definition of that exact name (the last one in the file), or null.
    const UdfType* FindType(const String& name) const;
    // Size in bytes of a type name by the type size rule.
    std::uint64_t TypeSize(const String& name) const;

    const MemoryStream& Stream() const { return stream_; }
    // Elements made so far, the root included.
    std::size_t ElementCount() const { return elements_.size(); }

private:
    void Reset();
    bool ReadHeader();
    void LoadOne(UdfElement* element, std::uint32_t options);
    bool LoadFromParent(UdfElement* element, bool inPlace);
    bool ReadDataFromStream(UdfElement* element);
    void ReadDirectory(UdfElement* element);
    UdfElement* ElementAt(UdfElement* container, const String& name, const String& typeName,
                          std::uint8_t flags, std::uint32_t count, std::uint32_t offset, std::uint32_t size);
    static bool WouldLoop(const UdfElement* child, const UdfElement* parent);

    MemoryStream stream_;
    std::vector<UdfType> types_;
    std::map<std::string, std::size_t, std::less<>> typeIndex_;
    std::vector<std::uint64_t> typeSizes_;
    std::vector<std::unique_ptr<UdfElement>> elements_;
    std::unordered_map<std::uint32_t, UdfElement*> byOffset_;
    UdfElement* root_ = nullptr;
    std::uint64_t pass_ = 0;
    std::size_t entriesLeft_ = 0;
    std::size_t copyBytesLeft_ = 0;
};

// Free-function forms used by the loaders.
UdfElement* OpenUdf(UdfReader& reader, MemoryStream stream);
// Reads the named file whole with ReadFile and opens it; null when it cannot be read.
UdfElement* OpenUdfFile(UdfReader& reader, const String& name);
bool LoadElement(UdfElement* element, std::uint32_t options);
UdfElement* Child(const UdfElement* element, const String& name);
const std::vector<UdfElement::Entry>& Children(const UdfElement* element);

#include "scene/udf_element.h"

#include <cstring>
#include <string_view>
#include <utility>

UdfElement::UdfElement(UdfReader* reader, UdfElement* parent, String name, String typeName, std::uint8_t flags,
                       std::uint32_t count, std::uint32_t offset, std::uint32_t size)
    : reader_(reader),
      parent_(parent),
      name_(std::move(name)),
      typeName_(std::move(typeName)),
      flags_(flags),
      count_(count),
      offset_(offset),
      size_(size) {}

UdfElement* UdfElement::Child(const String& name) const {
    const auto it = index_.find(std::string_view(name.CStr(), static_cast<std::size_t>(name.Length())));
    return it == index_.end() ? nullptr : entries_[it->second].element;
}

bool UdfElement::IsLink(const String& name) const {
    const auto it = index_.find(std::string_view(name.CStr(), static_cast<std::size_t>(name.Length())));
    return it != index_.end() && entries_[it->second].link;
}

bool UdfElement::ReadBytes(const String& name, void* out, std::size_t count) const {
    const UdfElement* child = Child(name);
    if (child == nullptr || !child->loaded_ || child->dataSize_ < count) return false;
    if (count > 0) std::memcpy(out, child->data_, count);
    return true;
}

bool UdfElement::ReadInt(const String& name, std::int32_t& out) const { return ReadBytes(name, &out, 4); }
bool UdfElement::ReadReal(const String& name, float& out) const { return ReadBytes(name, &out, 4); }
bool UdfElement::ReadColor(const String& name, float* rgba) const { return ReadBytes(name, rgba, 16); }
bool UdfElement::ReadMatrix(const String& name, float* matrix) const { return ReadBytes(name, matrix, 64); }

bool UdfElement::ReadString(const String& name, String& out) const {
    const UdfElement* child = Child(name);
    if (child == nullptr || !child->loaded_) return false;
    out = String(reinterpret_cast<const char*>(child->data_), static_cast<int>(child->dataSize_));
    return true;
}

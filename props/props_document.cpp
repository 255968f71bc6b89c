#include "props/props_document.h"

#include <utility>

PropsNode* PropsDocument::CreateChild(PropsNode* parent, const String& name) {
    const int depth = parent == nullptr ? 1 : parent->Depth() + 1;
    std::unique_ptr<PropsNode> node = NewNode(name, depth);
    if (node == nullptr) return nullptr;
    PropsMap& map = parent == nullptr ? top_ : parent->Children();
    return map.Insert(std::move(node));
}

std::unique_ptr<PropsNode> PropsDocument::NewNode(const String& name, int depth) {
    if (depth > kMaxPropsDepth || AtNodeLimit()) return nullptr;
    ++nodesMade_;
    return std::make_unique<PropsNode>(name, depth);
}

void PropsDocument::ClearChildren(PropsNode& node) {
    for (auto& child : node.Children().TakeAll()) parked_.push_back(std::move(child));
}

PropsNode* Find(const PropsMap& map, const String& name) { return map.Find(name); }

PropsNode* Find(const PropsDocument& document, const String& name) { return document.TopLevel().Find(name); }

PropsNode* Find(const PropsNode* node, const String& name) {
    return node == nullptr ? nullptr : node->Children().Find(name);
}

PropsNode* Get(const PropsMap& map, const String& name) { return map.Find(name); }

PropsNode* Get(const PropsNode* node, const String& name) { return Find(node, name); }

PropsNode* Get(const PropsNode* node, int index) { return Find(node, String::FromInt(index)); }

String AsString(const PropsNode* node) { return node == nullptr ? String() : node->Value(); }

std::int32_t AsInt(const PropsNode* node) {
    if (node == nullptr) return 0;
    int value = 0;
    return node->Value().ToInt(value) ? value : 0;
}

double AsDouble(const PropsNode* node) {
    if (node == nullptr) return 0.0;
    double value = 0.0;
    node->Value().ToDouble(value);
    return value;
}

#pragma once
// PropsDocument: the top level of one parsed props file, and the typed reads of its nodes.
//
// The document owns every node. Nodes that a later statement replaces are parked, detached,
// until the document is destroyed, so a statement that replaces a node an enclosing
// statement (or the current scope) still points at never leaves a dangling pointer; each
// node is destroyed exactly once.
// A document makes at most kMaxPropsNodes nodes (or the limit it was given) over its life:
// a file that asks for more (references can double a tree per statement) gets the ones
// made before the limit.

#include "core/byte_string.h"
#include "props/props_node.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int kMaxPropsNodes = 1 << 14;

class PropsDocument {
public:
    PropsDocument() = default;
    explicit PropsDocument(int nodeLimit) : nodeLimit_(nodeLimit) {}
    PropsDocument(const PropsDocument&) = delete;
    PropsDocument& operator=(const PropsDocument&) = delete;

    PropsMap& TopLevel() { return top_; }
    const PropsMap& TopLevel() const { return top_; }

    // A new node for the map of parent (null: the top level) named name, or null when the
    // depth or node limit is reached.
    PropsNode* CreateChild(PropsNode* parent, const String& name);
    // A detached node at the given depth, counted against the node limit; null past it.
    std::unique_ptr<PropsNode> NewNode(const String& name, int depth);
    // Takes the children out of node's map; they live on, detached, with the document.
    void ClearChildren(PropsNode& node);

    int NodesMade() const { return nodesMade_; }
    bool AtNodeLimit() const { return nodesMade_ >= nodeLimit_; }

private:
    PropsMap top_;
    std::vector<std::unique_ptr<PropsNode>> parked_;
    int nodesMade_ = 0;
    int nodeLimit_ = kMaxPropsNodes;
};

// The child of the map (or document, or node) named name without regard to case, or null.
// A null node has no children.
PropsNode* Find(const PropsMap& map, const String& name);
PropsNode* Find(const PropsDocument& document, const String& name);
PropsNode* Find(const PropsNode* node, const String& name);
// The same lookup, used for array elements by decimal index ("0", "1", ...).
PropsNode* Get(const PropsMap& map, const String& name);
PropsNode* Get(const PropsNode* node, const String& name);
PropsNode* Get(const PropsNode* node, int index);

// A copy of the value text; empty for a null node.
String AsString(const PropsNode* node);
// The value text as a number truncated toward zero; 0 when the text is not wholly a number,
// is empty, or the node is null.
std::int32_t AsInt(const PropsNode* node);
// The value text as a number, or the value of its leading numeric part when it is not
// wholly one; 0 for an empty text or a null node.
double AsDouble(const PropsNode* node);

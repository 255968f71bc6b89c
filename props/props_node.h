#pragma once
// PropsNode and PropsMap: the tree a props file parses into.
//
// A map owns its nodes. Lookup ignores case (letters compare as lower case); the entries
// also form a ring in order of creation with a cursor: a new entry is linked after the
// cursor and becomes it, and a walk visits every entry from the cursor on, moving the
// cursor along and leaving it where it started. Names are unique without regard to case.
//
// Every node records its depth below the document (a top-level key has depth 1); the
// parser never builds a tree deeper than kMaxPropsDepth, so code that recurses over a
// tree is bounded.

#include "core/byte_string.h"
#include "core/ring_list.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

constexpr int kMaxPropsDepth = 128;

enum PropsKind : int { kPropsValue = 0, kPropsObject = 1, kPropsArray = 2 };

class PropsNode;

class PropsMap {
public:
    PropsMap() = default;
    PropsMap(const PropsMap&) = delete;
    PropsMap& operator=(const PropsMap&) = delete;
    ~PropsMap();

    int Count() const { return ring_.Count(); }
    bool IsEmpty() const { return ring_.IsEmpty(); }
    // The entry whose name equals name without regard to case, or null.
    PropsNode* Find(const String& name) const;
    // Links the node after the cursor and makes it the cursor. The name must be new.
    PropsNode* Insert(std::unique_ptr<PropsNode> node);
    // Moves the cursor one entry on (nothing when empty).
    void AdvanceCursor() { ring_.Advance(); }
    // The entry at the cursor, or null when empty.
    PropsNode* Cursor() const;

    // Visits Count() entries from the cursor, moving the cursor along; a whole walk
    // leaves it where it started.
    template <typename Visit>
    void Walk(Visit&& visit) {
        ring_.Walk([&](PropsNode* node) { visit(*node); });
    }

    // Moves every entry of other (which ends empty) into this empty map, keeping their
    // ring order and cursor.
    void MoveFrom(PropsMap& other);
    // Takes every entry out, leaving the map empty; the caller owns them.
    std::vector<std::unique_ptr<PropsNode>> TakeAll();
    // Destroys every entry.
    void Clear();

private:
    struct NoCaseLess {
        bool operator()(const String& a, const String& b) const { return a.CompareNoCase(b) < 0; }
    };
    std::map<String, std::unique_ptr<PropsNode>, NoCaseLess> entries_;
    RingList<PropsNode*> ring_;
};

class PropsNode {
public:
    PropsNode(const String& name, int depth) : name_(name), depth_(depth) {}
    PropsNode(const PropsNode&) = delete;
    PropsNode& operator=(const PropsNode&) = delete;

    const String& Name() const { return name_; }
    int Kind() const { return kind_; }
    void SetKind(int kind) { kind_ = kind; }
    // Empty for objects, arrays and empty assignments.
    const String& Value() const { return value_; }
    void SetValue(const String& value) { value_ = value; }
    std::int32_t Counter() const { return counter_; }
    void SetCounter(std::int32_t counter) { counter_ = counter; }
    int Depth() const { return depth_; }

    PropsMap& Children() { return children_; }
    const PropsMap& Children() const { return children_; }

private:
    String name_;
    int kind_ = kPropsValue;
    String value_;
    std::int32_t counter_ = 0;
    int depth_;
    PropsMap children_;
};

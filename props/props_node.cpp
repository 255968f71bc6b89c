#include "props/props_node.h"

#include <utility>

PropsMap::~PropsMap() { Clear(); }

PropsNode* PropsMap::Find(const String& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.get();
}

PropsNode* PropsMap::Insert(std::unique_ptr<PropsNode> node) {
    PropsNode* raw = node.get();
    auto [it, inserted] = entries_.emplace(raw->Name(), std::move(node));
    if (!inserted) return it->second.get();
    ring_.Insert(raw);
    return raw;
}

PropsNode* PropsMap::Cursor() const {
    return ring_.IsEmpty() ? nullptr : ring_.Current();
}

void PropsMap::MoveFrom(PropsMap& other) {
    if (other.IsEmpty() || !IsEmpty()) return;
    std::vector<PropsNode*> order;
    order.reserve(static_cast<std::size_t>(other.Count()));
    other.ring_.Walk([&](PropsNode* node) { order.push_back(node); });
    for (PropsNode* node : order) {
        auto handle = other.entries_.extract(node->Name());
        entries_.insert(std::move(handle));
        ring_.Insert(node);
    }
    ring_.Advance();  // back onto the entry that was other's cursor
    other.ring_.Clear();
}

std::vector<std::unique_ptr<PropsNode>> PropsMap::TakeAll() {
    std::vector<std::unique_ptr<PropsNode>> taken;
    taken.reserve(entries_.size());
    for (auto& entry : entries_) taken.push_back(std::move(entry.second));
    entries_.clear();
    ring_.Clear();
    return taken;
}

void PropsMap::Clear() {
    ring_.Clear();
    entries_.clear();
}

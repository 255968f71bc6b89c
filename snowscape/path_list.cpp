#include "snowscape/path_list.h"

#include "core/random.h"

PathList::PathList(const std::vector<String>& names) {
    // Inserting in order leaves the cursor on the last name.
    for (const String& name : names) remaining_.Insert(name);
}

bool PathList::Pick(String& name) {
    if (remaining_.IsEmpty()) return false;
    const int steps = Random() % remaining_.Count();
    for (int i = 0; i < steps; ++i) remaining_.Advance();
    name = remaining_.Current();
    return true;
}

bool PathList::Current(String& name) const {
    if (remaining_.IsEmpty()) return false;
    name = remaining_.Current();
    return true;
}

void PathList::FinishCurrent() {
    if (remaining_.IsEmpty()) return;
    used_.Insert(remaining_.RemoveAtCursor());
    if (!remaining_.IsEmpty()) return;
    while (!used_.IsEmpty()) remaining_.Insert(used_.RemoveAtCursor());
}

namespace {
std::vector<String> Names(const RingList<String>& list) {
    std::vector<String> names;
    list.ForEachFromHead([&](const String& name) { names.push_back(name); });
    return names;
}
}  // namespace

std::vector<String> PathList::Remaining() const { return Names(remaining_); }
std::vector<String> PathList::Used() const { return Names(used_); }

#pragma once
// PathList: the camera path names still to fly and those already flown, as two ring lists
// with a cursor each (insert after the cursor and make the new node the cursor; remove at
// the cursor and make its predecessor the cursor).
//
// The remaining list starts as the given names in order with its cursor on the last one;
// the used list starts empty. A pick draws n = Random() mod (remaining count) and moves
// the cursor n steps on; the name there stays in the list until it has been flown.
// Finishing it moves it to the used list, and once the remaining list runs empty every
// used name is moved back, so each name is flown once before any is flown again.

#include "core/byte_string.h"
#include "core/ring_list.h"

#include <vector>

class PathList {
public:
    explicit PathList(const std::vector<String>& names);
    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;

    int RemainingCount() const { return remaining_.Count(); }
    int UsedCount() const { return used_.Count(); }

    // Draws from the shared random generator and moves the remaining cursor; false, with no
    // draw, when no name remains.
    bool Pick(String& name);
    // The name at the remaining cursor (the one picked last); false when none remains.
    bool Current(String& name) const;
    // Moves the name at the remaining cursor to the used list, then refills the remaining
    // list from the used one when it ran empty. No effect when no name remains.
    void FinishCurrent();

    // The names of each list from its head in ring order (for tests and tools).
    std::vector<String> Remaining() const;
    std::vector<String> Used() const;

private:
    RingList<String> remaining_;
    RingList<String> used_;
};

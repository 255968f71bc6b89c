#pragma once
// OverlayRoot: the root of the screen elements drawn over the scene. It hands out order
// values inside its order range (one after the other; a lower value draws on top), keeps
// the attached elements in its overlay queue, and holds the task list of elements waiting
// for a rebuild, which it runs before drawing.

#include "render/overlay_queue.h"

#include <vector>

class Window;

class OverlayRoot {
public:
    static constexpr int kRangeStart = 0;
    static constexpr int kRangeEnd = 1024;

    OverlayRoot() = default;
    OverlayRoot(const OverlayRoot&) = delete;
    OverlayRoot& operator=(const OverlayRoot&) = delete;

    // The first free order value of a span, taken; false when the range has no room.
    bool TakeOrder(int span, int& order);
    // z of an order value: its place in the range, 0 ... 1.
    static float DepthOf(int order);

    void Schedule(Window* element);
    void Cancel(Window* element);
    bool IsScheduled(const Window* element) const;
    // Rebuilds every scheduled element; elements scheduled while the tasks run (a buffer
    // that grew moves its other clients' blocks) are rebuilt in the same call.
    void RunTasks();
    // Runs the pending tasks, then draws the elements' renderers.
    bool Draw();

    OverlayQueue& Queue() { return queue_; }

private:
    OverlayQueue queue_;
    std::vector<Window*> tasks_;
    int nextOrder_ = kRangeStart;
};

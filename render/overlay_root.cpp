#include "render/overlay_root.h"

#include "render/screen_element.h"

#include <algorithm>

bool OverlayRoot::TakeOrder(int span, int& order) {
    if (span < 1 || span > kRangeEnd - nextOrder_) return false;
    order = nextOrder_;
    nextOrder_ += span;
    return true;
}

float OverlayRoot::DepthOf(int order) {
    return float(order - kRangeStart) / float(kRangeEnd - kRangeStart);
}

void OverlayRoot::Schedule(Window* element) {
    if (!IsScheduled(element)) tasks_.push_back(element);
}

void OverlayRoot::Cancel(Window* element) {
    tasks_.erase(std::remove(tasks_.begin(), tasks_.end(), element), tasks_.end());
}

bool OverlayRoot::IsScheduled(const Window* element) const {
    return std::find(tasks_.begin(), tasks_.end(), element) != tasks_.end();
}

void OverlayRoot::RunTasks() {
    // A rebuild that grows a buffer tells the buffer's other clients to write again, which
    // schedules them anew; sizes settle after one rebuild each, so a few passes suffice.
    constexpr int kMaxPasses = 8;
    for (int pass = 0; pass < kMaxPasses && !tasks_.empty(); ++pass) {
        std::vector<Window*> batch;
        batch.swap(tasks_);
        for (Window* element : batch) element->Rebuild();
    }
}

bool OverlayRoot::Draw() {
    RunTasks();
    return queue_.Draw();
}

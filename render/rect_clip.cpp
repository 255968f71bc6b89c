#include "render/rect_clip.h"

#include <algorithm>

namespace {

ScreenBox Edges(const ScreenBox& r) { return ScreenBox{r.left, r.top, r.left + r.right, r.top + r.bottom}; }

}  // namespace

ScreenBox ClipRectangle(const ScreenBox& a, const ScreenBox& b, bool positionAndSize) {
    const ScreenBox p = positionAndSize ? Edges(a) : a;
    const ScreenBox q = positionAndSize ? Edges(b) : b;
    // std::clamp needs low <= high; an inverted b clamps to its left and top edges.
    ScreenBox r;
    r.left = std::min(std::max(p.left, q.left), q.right);
    r.top = std::min(std::max(p.top, q.top), q.bottom);
    r.right = std::min(std::max(p.right, q.left), q.right);
    r.bottom = std::min(std::max(p.bottom, q.top), q.bottom);
    if (positionAndSize) return ScreenBox{r.left, r.top, r.right - r.left, r.bottom - r.top};
    return r;
}

#pragma once
// The shared rectangle clipping: rectangle a cut to rectangle b. Both are edges (left, top,
// right, bottom) or, with the position-and-size switch, (x, y, width, height); the result
// comes back in the form they were given in.

struct ScreenBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenBox&) const = default;
};

// left and top are clamped into b; right and bottom are raised to b's near edge and
// lowered to its far one, so a box wholly outside b ends with no area on b's border.
ScreenBox ClipRectangle(const ScreenBox& a, const ScreenBox& b, bool positionAndSize);

#include "render/view_frustum.h"

#include <cmath>

ViewFrustum::ViewFrustum(const D3DXMATRIX& m) {
    // A point p is inside when, for its clip coordinates c = p M: -w <= x <= w, -w <= y <= w,
    // 0 <= z <= w. Each inequality is a plane made of M's columns.
    auto column = [&](int i) { return Plane{m.m[0][i], m.m[1][i], m.m[2][i], m.m[3][i]}; };
    const Plane x = column(0), y = column(1), z = column(2), w = column(3);
    planes_[0] = {w.a + x.a, w.b + x.b, w.c + x.c, w.d + x.d};  // left
    planes_[1] = {w.a - x.a, w.b - x.b, w.c - x.c, w.d - x.d};  // right
    planes_[2] = {w.a + y.a, w.b + y.b, w.c + y.c, w.d + y.d};  // bottom
    planes_[3] = {w.a - y.a, w.b - y.b, w.c - y.c, w.d - y.d};  // top
    planes_[4] = z;                                             // near
    planes_[5] = {w.a - z.a, w.b - z.b, w.c - z.c, w.d - z.d};  // far
    for (Plane& p : planes_) {
        const float length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
        if (length > 0) p = {p.a / length, p.b / length, p.c / length, p.d / length};
    }
}

bool ViewFrustum::IsOutside(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum) const {
    for (const Plane& p : planes_) {
        // The corner of the box farthest along the plane's normal.
        const float x = p.a >= 0 ? maximum.x : minimum.x;
        const float y = p.b >= 0 ? maximum.y : minimum.y;
        const float z = p.c >= 0 ? maximum.z : minimum.z;
        if (p.a * x + p.b * y + p.c * z + p.d < 0) return true;
    }
    return false;
}

#pragma once
// ViewFrustum: the six planes of a view volume, taken from a view x projection matrix in
// Direct3D's conventions (row vectors, depth 0 ... 1), and the test whether an axis-aligned
// box lies wholly outside it. The test is conservative: a box it does not reject may still
// miss the view by a corner.

#include "platform/d3dx/d3dx_math.h"

class ViewFrustum {
public:
    ViewFrustum() = default;
    explicit ViewFrustum(const D3DXMATRIX& viewProjection);

    // True when the box lies entirely on the outer side of one of the planes.
    bool IsOutside(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum) const;

private:
    struct Plane {
        float a, b, c, d;  // inside when a x + b y + c z + d >= 0
    };
    Plane planes_[6]{};
};

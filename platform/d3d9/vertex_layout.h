#pragma once
// Where each component of a flexible-vertex-format vertex lies (byte offsets, -1 = absent).

#include "platform/d3d9/d3d9_types.h"

struct VertexLayout {
    bool pretransformed = false;
    int positionSize = 3;  // floats
    int normal = -1, pointSize = -1, diffuse = -1, specular = -1;
    int texCount = 0;
    int tex[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texSize[8] = {2, 2, 2, 2, 2, 2, 2, 2};
    UINT stride = 0;
};

VertexLayout LayoutOf(DWORD fvf);

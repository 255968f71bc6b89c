#pragma once
// CameraPose: where the frame's camera stands and looks: position, viewing direction (the
// camera node's local +z) and up vector (its local +y). The camera flight produces one per
// frame; the snow, the effects and the billboards read copies of it.

#include "platform/d3dx/d3dx_math.h"

struct CameraPose {
    D3DXVECTOR3 position{0, 0, 0};
    D3DXVECTOR3 direction{0, 0, 1};
    D3DXVECTOR3 up{0, 1, 0};
};

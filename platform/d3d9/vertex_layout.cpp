#include "platform/d3d9/vertex_layout.h"

VertexLayout LayoutOf(DWORD fvf) {
    VertexLayout layout;
    int at = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: at = 12; break;
    case D3DFVF_XYZRHW: at = 16; layout.pretransformed = true; layout.positionSize = 4; break;
    case D3DFVF_XYZW: at = 16; layout.positionSize = 4; break;
    case D3DFVF_XYZB1: at = 16; break;
    case D3DFVF_XYZB2: at = 20; break;
    case D3DFVF_XYZB3: at = 24; break;
    case D3DFVF_XYZB4: at = 28; break;
    case D3DFVF_XYZB5: at = 32; break;
    default: at = 0; break;
    }
    if (fvf & D3DFVF_NORMAL) { layout.normal = at; at += 12; }
    if (fvf & D3DFVF_PSIZE) { layout.pointSize = at; at += 4; }
    if (fvf & D3DFVF_DIFFUSE) { layout.diffuse = at; at += 4; }
    if (fvf & D3DFVF_SPECULAR) { layout.specular = at; at += 4; }
    layout.texCount = int((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (layout.texCount > 8) layout.texCount = 8;
    for (int i = 0; i < layout.texCount; ++i) {
        static const int sizes[4] = {2, 3, 4, 1};  // by D3DFVF_TEXTUREFORMATn code
        layout.texSize[i] = sizes[(fvf >> (16 + i * 2)) & 3];
        layout.tex[i] = at;
        at += layout.texSize[i] * 4;
    }
    layout.stride = UINT(at);
    return layout;
}

#pragma once
// Resampling and mip levels of decoded 0xAARRGGBB images. Filters are D3DX_FILTER values;
// only the low byte (the filter type) counts, D3DX_DEFAULT counts as TRIANGLE and the flag
// bits (mirror, dither, sRGB) are ignored. Channels are filtered independently, alpha not
// premultiplied, and rounded to nearest.
//   NONE (1): no scaling; the image lands at the top-left, the rest is transparent black.
//   POINT (2): the nearest source texel.
//   LINEAR (3): bilinear from the four nearest source texels.
//   TRIANGLE (4), BOX (5): the average of the source area each texel covers when shrinking,
//   bilinear when enlarging; an exact 2:1 shrink is a 2x2 box.

#include "platform/image/image.h"

namespace image {

enum : DWORD {
    kFilterNone = 1,
    kFilterPoint = 2,
    kFilterLinear = 3,
    kFilterTriangle = 4,
    kFilterBox = 5,
    kD3dxDefault = 0xFFFFFFFFu,
    kD3dxDefaultNonPow2 = 0xFFFFFFFEu,
    kD3dxFromFile = 0xFFFFFFFDu,
};

// The filter type of a D3DX_FILTER value; kFilterTriangle for D3DX_DEFAULT, 0 or unknown types.
DWORD FilterType(DWORD filter);

// `out` becomes `source` resampled to width x height (1..kMaxImageSide). False on bad sizes.
bool ResizeImage(const Image& source, int width, int height, DWORD filter, Image& out);

// Number of levels of a full chain down to 1x1: floor(log2(max(width, height))) + 1.
int FullMipCount(int width, int height);

// The next smaller level (each side halved, at least 1) of `source`. POINT and NONE take the
// top-left texel of each 2x2 block; any other filter averages it (on an odd side the area
// average of the covered texels). False for an empty source.
bool NextMipLevel(const Image& source, DWORD mipFilter, Image& out);

}  // namespace image

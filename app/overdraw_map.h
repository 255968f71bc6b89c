#pragma once
// Frames drawn with the device's overdraw counting on: every channel of a pixel holds how
// many fragments it received. Their mean, and a heat map to look at.

#include "platform/d3d9/d3d9_hooks.h"
#include "platform/image/image.h"

// Mean fragments per pixel (0 for an empty frame).
double MeanOverdraw(const PresentedFrame& counts);

// Black for no fragment, then blue, cyan, green, yellow, orange, red and magenta for one to
// seven; white for eight and more.
image::Image OverdrawHeatMap(const PresentedFrame& counts);

#pragma once
// The scene's textures: tileable surfaces (snow, bark, fir needles, log walls, shingles, stone,
// pond ice, planks, the sky dome, a backdrop of distant hills), window panes (also as an atlas with its ".ts" description), and the sprites
// (glow, snow dust, sparkle star, the snow flake). All are painted from deterministic noise.

#include "tools/mediagen/image.h"

#include <functional>
#include <string>

// Paints every pixel from its centre in texture units (u, v in [0, 1)).
void FillImage(Image& image, const std::function<Rgba(float u, float v)>& shader);

// Tileable surfaces.
Image PaintSnow(int size);
Image PaintBark(int size);
Image PaintNeedles(int size);
Image PaintLogs(int size);
Image PaintShingles(int size);
Image PaintStone(int size);
Image PaintSky(int width, int height);
Image PaintIce(int size);
Image PaintPlanks(int size);
// Distant wooded hills for a backdrop ring: tileable along u, transparent sky above them,
// already hazed towards the fog colour.
Image PaintHillsBackdrop(int width, int height);

// A snowy fir bough with a transparent background (alpha cut-out), for branch cards.
Image PaintFirBranch(int size);

// Window panes, opaque.
Image PaintWindow(int size, bool lit);

// Sprites with alpha; colour is premultiplied by the alpha so additive blending fades too.
Image PaintGlow(int size);
Image PaintDust(int size);
Image PaintSparkle(int size);
Image PaintSnowFlake(int size);

// The window atlas description (lit pane left, unlit right, in a 2·size × size image).
std::string WindowAtlasDescription(const std::string& imageName, int size);

// Writes every texture file into the media folder.
bool WriteTextures(const std::string& mediaDir);

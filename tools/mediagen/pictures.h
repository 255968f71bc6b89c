#pragma once
// The pictures linked into the program as resources of their own (not in the media archive):
//   loading.jpg      512 × 512 JPEG, the loading screen (resource 174)
//   corner.tga       256 × 128 32-bit TGA, the loading screen's bottom-right badge (4)
//   corner_176.tga … corner_178.tga  one-pixel placeholders for the other corners (176-178)
//   preview.bmp      155 × 115 24-bit BMP, the preview in the screensaver dialog (173)
//   dialog.bmp       258 × 185 24-bit BMP, the configuration dialog's picture (155)
//   about.bmp        80 × 88 24-bit BMP, the About box picture (141)
//   icon.png         128 × 128 PNG, the program's icon (installed in the hicolor theme, not
//                    linked in)
// All show the winter village, painted procedurally.

#include "tools/mediagen/image.h"

#include <string>

// The village at dusk; withTitle adds the name across the sky.
Image PaintVillage(int width, int height, bool withTitle);
// The name badge with a transparent background.
Image PaintCornerBadge(int width, int height);
// A snowman close-up for the About box.
Image PaintSnowmanPortrait(int width, int height);

bool WritePictures(const std::string& resourceDir);

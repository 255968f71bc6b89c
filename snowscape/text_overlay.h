#pragma once
// TextOverlay: the text drawn over the snow scene: the two bitmap fonts (sansFont from
// "/sylfaen.fs", kept; titleFont from "/ferrow.fs", which draws), the frame-rate label in
// the top-left corner and the clock label whose rectangle sits flush with the bottom-right
// corner, and the overlay root that rebuilds and draws them after the scene.

#include "render/bitmap_font.h"
#include "render/overlay_root.h"
#include "render/text_label.h"
#include "render/texture_cache.h"

#include <memory>

class TextOverlay {
public:
    TextOverlay() = default;
    ~TextOverlay();
    TextOverlay(const TextOverlay&) = delete;
    TextOverlay& operator=(const TextOverlay&) = delete;

    // Loads both fonts; a font that fails is logged and left empty (labels of it draw nothing).
    void LoadFonts();
    // fpsText: (10, 10, 256 x 128), alpha mode 2, alpha factor 0.5, "100".
    void CreateFpsText();
    // clockText: (200, 300), 276 or 350 (12-hour) by 74, times the screen scale, alpha mode 2, "11".
    void CreateClockText(bool twentyFourHour, float screenScale);

    // The client area changed size: the clock's rectangle is made anew for the new screen
    // scale and both labels lay out their glyphs again.
    void Rescale(bool twentyFourHour, float screenScale);

    void SetFpsText(const String& text);
    // Sets the text, then moves the label so its rectangle (not its text) ends at the
    // client area's bottom-right corner.
    void SetClockText(const String& text, int clientWidth, int clientHeight);

    // Runs the pending rebuilds and draws the labels (after the depth clear of the frame).
    bool Draw() { return root_.Draw(); }

    TextLabel* FpsText() const { return fpsText_.get(); }
    TextLabel* ClockText() const { return clockText_.get(); }
    OverlayRoot& Root() { return root_; }

private:
    std::unique_ptr<TextLabel> MakeLabel(int x, int y, int width, int height, float alphaFactor, const char* text);

    // Destroyed last to first: labels, root, fonts, then the textures they point into.
    TextureCache textures_;
    BitmapFont sansFont_;
    BitmapFont titleFont_;
    OverlayRoot root_;
    std::unique_ptr<TextLabel> fpsText_;
    std::unique_ptr<TextLabel> clockText_;
};

extern const char* const kSansFontFile;   // "/sylfaen.fs"
extern const char* const kTitleFontFile;  // "/ferrow.fs"

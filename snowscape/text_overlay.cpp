#include "snowscape/text_overlay.h"

#include "core/log.h"
#include "core/media_archive.h"
#include "snowscape/font_files.h"

const char* const kSansFontFile = "/sylfaen.fs";
const char* const kTitleFontFile = "/ferrow.fs";

namespace {

constexpr int kOverlayTextSize = 64;

}  // namespace

TextOverlay::~TextOverlay() {
    clockText_.reset();
    fpsText_.reset();
}

void TextOverlay::LoadFonts() {
    if (!LoadFont(sansFont_, String(kMediaFolder) + kSansFontFile, textures_))
        Log("", "Error: Sylfaen font loading failed\n");
    if (!LoadFont(titleFont_, String(kMediaFolder) + kTitleFontFile, textures_))
        Log("", "Error: Ferrow font loading failed\n");
}

std::unique_ptr<TextLabel> TextOverlay::MakeLabel(int x, int y, int width, int height, float alphaFactor,
                                                  const char* text) {
    auto label = std::make_unique<TextLabel>();
    label->SetFont(&titleFont_);
    TextStyle style;
    style.size = kOverlayTextSize;
    label->SetStyle(style);
    label->SetRect(x, y, width, height);
    label->SetAlphaMode(2);  // alpha from the texture
    if (alphaFactor != 1.0f) label->SetAlphaFactor(alphaFactor);
    label->SetText(WidenBytes(text));
    label->Attach(root_);
    return label;
}

void TextOverlay::CreateFpsText() { fpsText_ = MakeLabel(10, 10, 256, 128, 0.5f, "100"); }

void TextOverlay::CreateClockText(bool twentyFourHour, float screenScale) {
    const int width = int((twentyFourHour ? 276.0f : 350.0f) * screenScale);
    const int height = int(74.0f * screenScale);
    clockText_ = MakeLabel(200, 300, width, height, 1.0f, "11");
}

void TextOverlay::Rescale(bool twentyFourHour, float screenScale) {
    if (clockText_ != nullptr) CreateClockText(twentyFourHour, screenScale);
    if (fpsText_ != nullptr) fpsText_->MarkDirty(true);
}

void TextOverlay::SetFpsText(const String& text) {
    if (fpsText_ == nullptr) return;
    fpsText_->SetText(WidenBytes(text.CStr()));
    fpsText_->MarkDirty(true);
}

void TextOverlay::SetClockText(const String& text, int clientWidth, int clientHeight) {
    if (clockText_ == nullptr) return;
    clockText_->SetText(WidenBytes(text.CStr()));
    clockText_->Move(clientWidth - clockText_->Width(), clientHeight - clockText_->Height());
    clockText_->MarkDirty(true);
}

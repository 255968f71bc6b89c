// Image decoders on arbitrary bytes: detection, header-only info, every decoder, and the
// texture steps (colour key, resampling, conversion, mip chain) on what decodes.

#include "platform/image/image.h"
#include "platform/image/texture_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    image::Image decoded;
    image::ImageInfo info;
    const bool ok = image::DecodeImage(data, size, decoded, &info);
    image::ImageInfo header;
    const bool headerOk = image::ReadImageInfo(data, size, header);
    if (ok && (!headerOk || header.width != decoded.width || header.height != decoded.height ||
               static_cast<std::size_t>(decoded.width) * decoded.height != decoded.pixels.size())) {
        __builtin_trap();  // a decodable file must have a readable, matching header
    }
    // TGA and BMP are tried on everything, whatever the detection said.
    image::Image other;
    image::ImageInfo otherInfo;
    image::DecodeTga(data, size, other, otherInfo);
    image::DecodeBmp(data, size, other, otherInfo);
    if (!ok || decoded.pixels.size() > (1u << 20)) return 0;

    // Parameters from the file's last bytes, so the fuzzer steers them too.
    const std::uint8_t a = data[size - 1], b = size > 1 ? data[size - 2] : 0;
    static const DWORD kFormats[] = {image::kFormatA8R8G8B8, image::kFormatX8R8G8B8, image::kFormatR8G8B8,
                                     image::kFormatR5G6B5,   image::kFormatX1R5G5B5, image::kFormatA1R5G5B5,
                                     image::kFormatA4R4G4B4, image::kFormatL8,       image::kFormatUnknown};
    image::TextureParams params;
    params.format = kFormats[a % 9];
    params.filter = 1 + (a >> 4) % 5;
    params.mipFilter = 1 + b % 5;
    params.colorKey = decoded.pixels[b % decoded.pixels.size()];
    params.powerOfTwo = (b & 0x80) != 0;
    if (b & 0x40) {
        params.width = 1 + decoded.width * ((b >> 2) % 4 + 1) / 3;
        params.height = 1 + decoded.height * (b % 4 + 1) / 3;
    }
    image::TextureImage texture;
    image::BuildTextureFromImage(decoded, info, params, texture);
    return 0;
}

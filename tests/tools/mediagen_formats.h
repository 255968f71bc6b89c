#pragma once
// Small readers for the headers of the generated files, shared by the mediagen tests.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace mediagen_test {

inline std::string MediaDir() { return std::string(FV_BINARY_DIR) + "/media/FrostvaleMedia"; }
inline std::string ResourceDir() { return std::string(FV_BINARY_DIR) + "/media/resources"; }

inline std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<unsigned char> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline unsigned Little16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
inline unsigned Little32(const std::vector<unsigned char>& b, size_t at) { return Little16(b, at) | (Little16(b, at + 2) << 16); }
inline unsigned Big16(const std::vector<unsigned char>& b, size_t at) { return (b[at] << 8) | b[at + 1]; }
inline unsigned Big32(const std::vector<unsigned char>& b, size_t at) { return (Big16(b, at) << 16) | Big16(b, at + 2); }

struct ImageInfo {
    std::string format;  // "png", "jpeg", "tga", "bmp" or "" when not recognised
    int width = 0, height = 0, bits = 0;  // bits per pixel
};

inline ImageInfo Identify(const std::vector<unsigned char>& b) {
    ImageInfo info;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() > 33 && std::equal(kPng, kPng + 8, b.begin())) {
        info.format = "png";
        info.width = static_cast<int>(Big32(b, 16));
        info.height = static_cast<int>(Big32(b, 20));
        const int channels = b[25] == 6 ? 4 : b[25] == 2 ? 3 : 1;
        info.bits = b[24] * channels;
    } else if (b.size() > 4 && b[0] == 0xFF && b[1] == 0xD8) {
        // Walk the markers to the first start-of-frame.
        size_t at = 2;
        while (at + 9 < b.size() && b[at] == 0xFF) {
            const unsigned marker = b[at + 1], length = Big16(b, at + 2);
            if (marker >= 0xC0 && marker <= 0xC2) {
                info.format = "jpeg";
                info.height = static_cast<int>(Big16(b, at + 5));
                info.width = static_cast<int>(Big16(b, at + 7));
                info.bits = 8 * b[at + 9];
                break;
            }
            at += 2 + length;
        }
    } else if (b.size() > 54 && b[0] == 'B' && b[1] == 'M') {
        info.format = "bmp";
        info.width = static_cast<int>(Little32(b, 18));
        info.height = static_cast<int>(Little32(b, 22));
        info.bits = static_cast<int>(Little16(b, 28));
    } else if (b.size() >= 18 && b[1] == 0 && b[2] == 2) {
        info.format = "tga";
        info.width = static_cast<int>(Little16(b, 12));
        info.height = static_cast<int>(Little16(b, 14));
        info.bits = b[16];
    }
    return info;
}

}  // namespace mediagen_test

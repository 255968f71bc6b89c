#pragma once
// Helpers of the texture tests: a folder of files per test, and the recording device (memory
// textures) published as the texture device.

#include "platform/d3d9/recording_device.h"
#include "render/texture_resource.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace texture_test {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("frostvale_texture_" + std::to_string(std::random_device()()))) {
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    // Writes the bytes and returns the file's full path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const fs::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file.string();
    }
    std::string Write(const std::string& name, const std::string& text) const {
        return Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

private:
    fs::path path_;
};

// A test with the recording device as the texture device.
class RecordingTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = RecordingDevice::Create();
        PublishDevice(device_);
    }
    void TearDown() override {
        PublishDevice(nullptr);
        device_->Release();
    }

    // The texel (0xAARRGGBB) at (x, y) of level 0 of an A8R8G8B8 texture.
    static std::uint32_t Texel(IDirect3DTexture9* texture, int x, int y) {
        D3DLOCKED_RECT locked{};
        if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, 0))) return 0xDEADBEEF;
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<const std::uint8_t*>(locked.pBits) + std::size_t(y) * locked.Pitch + x * 4, 4);
        texture->UnlockRect(0);
        return value;
    }

    RecordingDevice* device_ = nullptr;
    TempFolder folder_;
};

// An opaque w x h PNG of one colour.
inline std::vector<std::uint8_t> SolidPng(int w, int h, std::uint32_t argb) {
    image::Image img;
    img.Allocate(w, h);
    for (auto& p : img.pixels) p = argb;
    return image_test::Png(img);
}

}  // namespace texture_test

// fvtool texture: what the texture loader makes of an image file with default parameters.

#include "platform/d3d9/recording_device.h"
#include "platform/d3dx/d3dx_texture.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using json = nlohmann::ordered_json;

int RunTexture(const std::vector<std::string>& args);
const Subcommand kTexture{"texture", "info FILE", RunTexture};

const char* FormatName(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R8G8B8: return "R8G8B8";
    case D3DFMT_A8R8G8B8: return "A8R8G8B8";
    case D3DFMT_X8R8G8B8: return "X8R8G8B8";
    case D3DFMT_R5G6B5: return "R5G6B5";
    case D3DFMT_X1R5G5B5: return "X1R5G5B5";
    case D3DFMT_A1R5G5B5: return "A1R5G5B5";
    case D3DFMT_A4R4G4B4: return "A4R4G4B4";
    case D3DFMT_A8: return "A8";
    case D3DFMT_X4R4G4B4: return "X4R4G4B4";
    case D3DFMT_A8B8G8R8: return "A8B8G8R8";
    case D3DFMT_X8B8G8R8: return "X8B8G8R8";
    case D3DFMT_L8: return "L8";
    case D3DFMT_A8L8: return "A8L8";
    default: return "Unknown format";
    }
}

bool HasAlpha(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4 ||
           format == D3DFMT_A8 || format == D3DFMT_A8B8G8R8 || format == D3DFMT_A8L8;
}

int RunTexture(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kTexture);
    if (args.size() != 2 || args[0] != "info") return Fail("usage: fvtool texture info FILE");
    std::vector<unsigned char> bytes;
    if (!D3DXReadWholeFile(args[1].c_str(), bytes)) return Fail("cannot read '" + args[1] + "'");
    // A device with memory-backed textures: the loader's result without a GPU.
    RecordingDevice* device = RecordingDevice::Create();
    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr = bytes.empty() ? D3DXERR_INVALIDDATA
                                     : D3DXCreateTextureFromFileInMemoryEx(
                                           device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
    if (FAILED(hr) || !texture) {
        device->Release();
        return Fail("'" + args[1] + "' is not an image the texture loader can read");
    }
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    const json out{{"width", desc.Width},
                   {"height", desc.Height},
                   {"format", FormatName(desc.Format)},
                   {"levels", texture->GetLevelCount()},
                   {"alpha", HasAlpha(desc.Format)}};
    texture->Release();
    device->Release();
    std::printf("%s\n", out.dump(2).c_str());
    return 0;
}

}  // namespace

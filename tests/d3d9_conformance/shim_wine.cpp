// The scenarios on the Direct3D 9 of the system they run on (built with mingw-w64, run under
// Wine): a plain window, a HAL device, read-back through a system-memory surface.

#include "shim_common.h"

int main(int argc, char** argv) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "conformance";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowA("conformance", "conformance", WS_OVERLAPPEDWINDOW, 0, 0, kTargetSize, kTargetSize,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!hwnd || !d3d) {
        std::fprintf(stderr, "Error: no window or no Direct3D 9\n");
        return 1;
    }
    ShimSide side;
    side.createDevice = [&]() -> IDirect3DDevice9* {
        D3DPRESENT_PARAMETERS parameters = TargetPresentParameters(hwnd);
        IDirect3DDevice9* device = nullptr;
        const HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                             &parameters, &device);
        if (FAILED(hr)) std::fprintf(stderr, "Error: CreateDevice failed (0x%08lx)\n", static_cast<unsigned long>(hr));
        return device;
    };
    side.readBack = [](IDirect3DDevice9* device, std::vector<std::uint8_t>& rgba) {
        IDirect3DSurface9 *target = nullptr, *copy = nullptr;
        bool ok = SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &target)) &&
                  SUCCEEDED(device->CreateOffscreenPlainSurface(kTargetSize, kTargetSize, D3DFMT_X8R8G8B8,
                                                                D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
                  SUCCEEDED(device->GetRenderTargetData(target, copy));
        D3DLOCKED_RECT locked{};
        ok = ok && SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
        if (ok) {
            rgba.resize(std::size_t(kTargetSize) * kTargetSize * 4);
            for (int y = 0; y < kTargetSize; ++y) {
                const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + std::ptrdiff_t(y) * locked.Pitch;
                for (int x = 0; x < kTargetSize; ++x) {
                    std::uint8_t* out = &rgba[(std::size_t(y) * kTargetSize + x) * 4];
                    out[0] = row[x * 4 + 2], out[1] = row[x * 4 + 1], out[2] = row[x * 4], out[3] = 255;
                }
            }
            copy->UnlockRect();
        }
        if (copy) copy->Release();
        if (target) target->Release();
        return ok;
    };
    const int status = RunShim(argc, argv, side);
    d3d->Release();
    DestroyWindow(hwnd);
    return status;
}

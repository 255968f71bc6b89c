// Fuzz target: a camera path file on arbitrary bytes. The keys are read into an animation
// that is evaluated across and beyond its range; then the same bytes, served as a media file,
// are flown by a camera flight through frames of every length, with the fade checked to stay
// within 0 ... 1.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "snowscape/camera_flight.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TransformAnimation animation;
    const int keys = ReadCameraPath(data, size, animation);
    float start = 0, end = 0;
    if (animation.Range(start, end) != (keys > 0)) __builtin_trap();
    if (keys > 0) {
        D3DXMATRIX m;
        const float times[] = {start - 1, start, (start + end) / 2, end, end + 1};
        for (float t : times) animation.Apply(t, m);
    }

    static std::vector<std::uint8_t> archive;
    archive.clear();
    String error;
    const std::vector<ArchiveFile> files = {{String("fuzz.cam"), std::vector<std::uint8_t>(data, data + size)}};
    if (!PackArchive(String(kMediaFolder), files, archive, error)) return 0;
    MountArchiveBytes(archive.data(), archive.size());
    {
        CameraFlight flight({String("fuzz.cam"), String("missing.cam"), String("fuzz.cam")});
        flight.PlaceFreeCamera();
        flight.Start(0);
        const std::int64_t frames[] = {0, 16, 16, 1000, 250, 100000, -50, 10000000, 1, 5000000000LL};
        std::int64_t now = 0;
        for (std::int64_t step : frames) {
            now += step;
            const CameraPose pose = flight.Update(now);
            (void)pose;
            if (const std::optional<float> alpha = flight.FadeAlpha())
                if (!(*alpha >= 0.0f && *alpha <= 1.0f)) __builtin_trap();
        }
    }
    UnmountArchiveForTesting();
    return 0;
}

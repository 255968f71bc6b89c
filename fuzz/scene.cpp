// Fuzz target: a scene file of arbitrary bytes, loaded from a mounted media archive into a
// scene (materials, meshes and their settings, lights, nodes), then drawn once on the
// recording device with the node roles given.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/texture_cache.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "snowscape/scene_roles.h"
#include "snowscape/scene_settings.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RecordingDevice* device = [] {
        RecordingDevice* made = RecordingDevice::Create();
        PublishDevice(made);
        return made;
    }();
    std::vector<std::uint8_t> archive;
    String error;
    if (!PackArchive(kMediaFolder, {{"frostvale.udf", std::vector<std::uint8_t>(data, data + size)}}, archive, error))
        return 0;
    MountArchiveBytes(archive.data(), archive.size());
    ResetStateCache();
    {
        TextureCache textures;
        Scene scene(&textures);
        LoadScene(scene, String(kMediaFolder) + "/frostvale.udf");
        SceneRoles roles;
        roles.Assign(scene, SceneTuning(), 0);
        roles.UpdateEffects(CameraPose(), SceneTuning(), 20000);
        DrawContext context;
        context.queue = &scene.Queue();
        DrawNode(scene.Root(), context);
        scene.Queue().Draw();
    }
    device->ClearCalls();
    UnmountArchiveForTesting();
    return 0;
}

#pragma once
// Helpers of the camera tests: camera path files written with the UDF writer, and a media
// archive of them mounted for one test.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "scene/key_track.h"
#include "scene/rotation_track.h"
#include "scene/udf_writer.h"
#include "scene/vector_track.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace camera_test {

struct PathElement {
    std::string name;
    std::string type;  // "pos", "rot", or anything else
    AnimKey key;
    std::size_t bytes = 32;  // fewer cuts the record short
};

inline std::vector<std::uint8_t> CamFile(const std::vector<PathElement>& elements) {
    UdfWriter writer;
    for (const PathElement& e : elements) {
        std::uint8_t record[32];
        AnimKeyToBytes(e.key, record);
        writer.Root()->AddLeaf(String(e.name.c_str()), String(e.type.c_str()), record, e.bytes);
    }
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(writer.Write(bytes));
    return bytes;
}

// A straight flight along +z at height 50 from z = 0, a key pair every 80 units up to end,
// looking along +z.
inline std::vector<std::uint8_t> StraightPath(float end, float x = 0) {
    std::vector<PathElement> elements;
    int i = 0;
    for (float t = 0; t <= end; t += 80, ++i) {
        elements.push_back({"rot" + std::to_string(i), "rot", MakeRotationKey(t, D3DXVECTOR3(0, 1, 0), 0)});
        elements.push_back({"pos" + std::to_string(i), "pos", MakeVectorKey(t, D3DXVECTOR3(x, 50, t))});
    }
    return CamFile(elements);
}

// Mounts an archive of the media folder holding the given files; unmounts at the end.
class MountedMedia {
public:
    struct File {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    explicit MountedMedia(const std::vector<File>& files) {
        std::vector<ArchiveFile> members;
        for (const File& f : files) members.push_back({String(f.name.c_str()), f.bytes});
        std::vector<std::uint8_t> archive;
        String error;
        EXPECT_TRUE(PackArchive(String(kMediaFolder), members, archive, error)) << error.CStr();
        storage_ = std::make_unique<std::uint8_t[]>(archive.size() + 1);
        std::copy(archive.begin(), archive.end(), storage_.get());
        MountArchiveBytes(storage_.get(), archive.size());
    }
    ~MountedMedia() { UnmountArchiveForTesting(); }
    MountedMedia(const MountedMedia&) = delete;
    MountedMedia& operator=(const MountedMedia&) = delete;

private:
    std::unique_ptr<std::uint8_t[]> storage_;
};

inline std::vector<String> Strings(const std::vector<std::string>& names) {
    std::vector<String> out;
    for (const std::string& n : names) out.emplace_back(n.c_str());
    return out;
}

inline std::string Text(const String& s) { return std::string(s.CStr()); }

}  // namespace camera_test

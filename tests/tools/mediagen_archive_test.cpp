// The generated media as the program carries it: the archive (resource 147) holding every
// generated file, and the loader images and bitmaps as resources of their own.

#include "core/archive_writer.h"
#include "core/media_archive.h"
#include "platform/win/resources.h"
#include "tests/tools/mediagen_formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace mediagen_test;

namespace {

std::vector<unsigned char> ResourceBytes(const char* type, int number) {
    HRSRC resource = FindResourceA(nullptr, number, type);
    if (!resource) return {};
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, resource)));
    return std::vector<unsigned char>(data, data + SizeofResource(nullptr, resource));
}

std::vector<std::string> MediaFileNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(MediaDir()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(MediagenArchiveTest, ArchiveResourceIsTheMediaFolderPacked) {
    const std::vector<unsigned char> archive = ResourceBytes("MEMFILE", 147);
    ASSERT_FALSE(archive.empty());
    EXPECT_EQ(archive, ReadAll(std::string(FV_BINARY_DIR) + "/media/frostvale.rar"));
    // The same bytes as packing the folder through the archive writer.
    std::vector<ArchiveFile> files;
    for (const std::string& name : MediaFileNames()) {
        const std::vector<unsigned char> bytes = ReadAll(MediaDir() + "/" + name);
        files.push_back({String(name.c_str()), std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    std::vector<std::uint8_t> packed;
    String error;
    ASSERT_TRUE(PackArchive("FrostvaleMedia", files, packed, error)) << error.CStr();
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), archive.begin(), archive.end()));
}

TEST(MediagenArchiveTest, EveryMediaFileReadsBackThroughTheArchive) {
    const std::vector<unsigned char> archive = ResourceBytes("MEMFILE", 147);
    std::vector<ArchiveMember> members;
    String error;
    ASSERT_TRUE(ListArchive(archive.data(), archive.size(), members, error)) << error.CStr();
    const std::vector<std::string> names = MediaFileNames();
    ASSERT_EQ(members.size(), names.size() + 1);  // the folder entry comes first
    EXPECT_STREQ(members[0].name.CStr(), "FrostvaleMedia");
    MountArchiveBytes(archive.data(), archive.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const std::vector<unsigned char> file = ReadAll(MediaDir() + "/" + names[i]);
        EXPECT_EQ(std::string(members[i + 1].name.CStr()), "FrostvaleMedia\\" + names[i]);
        EXPECT_EQ(members[i + 1].unpackedSize, file.size()) << names[i];
        std::vector<std::uint8_t> read;
        EXPECT_TRUE(ReadFile(String(("FrostvaleMedia/" + names[i]).c_str()), read)) << names[i];
        EXPECT_TRUE(std::equal(read.begin(), read.end(), file.begin(), file.end())) << names[i];
    }
    UnmountArchiveForTesting();
}

TEST(MediagenArchiveTest, LoaderImagesAndBitmapsAreResources) {
    const struct {
        const char* type;
        int number;
        const char* file;
    } cases[] = {
        {"MEMFILE", 174, "loading.jpg"},  {"TGA", 4, "corner.tga"},       {"TGA", 176, "corner_176.tga"},
        {"TGA", 177, "corner_177.tga"},   {"TGA", 178, "corner_178.tga"}, {"BITMAP", 173, "preview.bmp"},
        {"BITMAP", 155, "dialog.bmp"},    {"BITMAP", 141, "about.bmp"},
    };
    for (const auto& c : cases) {
        const std::vector<unsigned char> bytes = ResourceBytes(c.type, c.number);
        EXPECT_FALSE(bytes.empty()) << c.type << " " << c.number;
        EXPECT_EQ(bytes, ReadAll(ResourceDir() + "/" + c.file)) << c.file;
    }
}

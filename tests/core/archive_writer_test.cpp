#include "tests/core/archive_test_util.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace {

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    return static_cast<std::uint32_t>(crc32(0, data, static_cast<uInt>(size)));
}

std::uint16_t At16(const std::vector<std::uint8_t>& b, std::size_t at) { return ArchiveLoad16(b.data() + at); }
std::uint32_t At32(const std::vector<std::uint8_t>& b, std::size_t at) { return ArchiveLoad32(b.data() + at); }

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

using ArchiveRoundTripTest = MountedArchiveTest;

TEST(ArchiveWriterTest, PackedFolderLayout) {
    const std::vector<ArchiveFile> files = {
        {"b.bin", {1, 2, 3}}, {"Scene.props", Bytes("SnowBox = 500\n")}, {"a.txt", {}}};
    std::vector<std::uint8_t> archive;
    String error;
    ASSERT_TRUE(PackArchive("FrostvaleMedia", files, archive, error)) << error.CStr();

    ASSERT_GE(archive.size(), 20u);
    EXPECT_EQ(std::vector<std::uint8_t>(archive.begin(), archive.begin() + 7),
              (std::vector<std::uint8_t>{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}));
    const std::vector<std::uint8_t> main(archive.begin() + 7, archive.begin() + 20);
    EXPECT_EQ(std::vector<std::uint8_t>(main.begin() + 2, main.end()),
              (std::vector<std::uint8_t>{0x73, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(At16(main, 0), Crc(main.data() + 2, 11) & 0xFFFF);

    // Walk the member blocks by hand: folder entry, then the files in byte order of names.
    struct Expected { std::string name; std::uint16_t flags; std::uint32_t attributes; std::vector<std::uint8_t> data; };
    const Expected expected[] = {{"FrostvaleMedia", 0x80E0, 0x10, {}},
                                 {"FrostvaleMedia\\Scene.props", 0x8040, 0x20, Bytes("SnowBox = 500\n")},
                                 {"FrostvaleMedia\\a.txt", 0x8040, 0x20, {}},
                                 {"FrostvaleMedia\\b.bin", 0x8040, 0x20, {1, 2, 3}}};
    std::size_t at = 20;
    for (const Expected& e : expected) {
        ASSERT_LE(at + 32, archive.size());
        const std::size_t headerSize = At16(archive, at + 5);
        EXPECT_EQ(archive[at + 2], 0x74) << e.name;
        EXPECT_EQ(At16(archive, at + 3), e.flags) << e.name;
        EXPECT_EQ(headerSize, 32 + e.name.size()) << e.name;
        EXPECT_EQ(At32(archive, at + 7), e.data.size()) << e.name;
        EXPECT_EQ(At32(archive, at + 11), e.data.size()) << e.name;
        EXPECT_EQ(At32(archive, at + 16), Crc(e.data.data(), e.data.size())) << e.name;
        EXPECT_EQ(archive[at + 24], 20) << e.name;
        EXPECT_EQ(archive[at + 25], 0x30) << e.name;
        EXPECT_EQ(At16(archive, at + 26), e.name.size()) << e.name;
        EXPECT_EQ(At32(archive, at + 28), e.attributes) << e.name;
        EXPECT_EQ(std::string(archive.begin() + static_cast<std::ptrdiff_t>(at + 32),
                              archive.begin() + static_cast<std::ptrdiff_t>(at + headerSize)),
                  e.name);
        EXPECT_EQ(At16(archive, at), Crc(archive.data() + at + 2, headerSize - 2) & 0xFFFF) << e.name;
        EXPECT_TRUE(std::equal(e.data.begin(), e.data.end(), archive.begin() + static_cast<std::ptrdiff_t>(at + headerSize)));
        at += headerSize + e.data.size();
    }
    ASSERT_EQ(archive.size(), at + 7) << "the end block closes the archive";
    const std::vector<std::uint8_t> end(archive.begin() + static_cast<std::ptrdiff_t>(at), archive.end());
    EXPECT_EQ(std::vector<std::uint8_t>(end.begin() + 2, end.end()), (std::vector<std::uint8_t>{0x7B, 0x00, 0x40, 7, 0}));
    EXPECT_EQ(At16(end, 0), Crc(end.data() + 2, 5) & 0xFFFF);

    std::vector<std::uint8_t> again;
    ASSERT_TRUE(PackArchive("FrostvaleMedia", files, again, error));
    EXPECT_EQ(again, archive) << "packing is deterministic";
}

TEST(ArchiveWriterTest, PackRefusesNamesTheReaderCouldNotTellApart) {
    struct Case { const char* what; std::string folder; std::vector<std::string> names; bool ok; };
    const Case cases[] = {
        {"plain", "Media", {"a", "B", "c"}, true},
        {"no files", "Media", {}, true},
        {"longest member name", "Media", {std::string(253, 'x')}, true},
        {"member name over 259", "Media", {std::string(254, 'x')}, false},
        {"empty file name", "Media", {""}, false},
        {"slash in a name", "Media", {"a/b"}, false},
        {"backslash in a name", "Media", {"a\\b"}, false},
        {"names differing in case", "Media", {"Scene.props", "a", "scene.PROPS"}, false},
        {"empty folder", "", {"a"}, false},
        {"slash in the folder", "a/b", {"a"}, false},
    };
    for (const Case& c : cases) {
        std::vector<ArchiveFile> files;
        for (const std::string& name : c.names) files.push_back({name.c_str(), {7}});
        std::vector<std::uint8_t> archive{1};
        String error;
        EXPECT_EQ(PackArchive(c.folder.c_str(), files, archive, error), c.ok) << c.what;
        EXPECT_EQ(archive.empty(), !c.ok) << c.what;
        EXPECT_EQ(error.IsEmpty(), c.ok) << c.what << ": " << error.CStr();
    }
}

TEST_F(ArchiveRoundTripTest, EveryPackedFileReadsBackThroughReadFile) {
    const std::size_t sizes[] = {0, 1, 255, 65536, (1u << 20) + 3};
    std::vector<ArchiveFile> files;
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        files.push_back({String::FromInt(static_cast<int>(i)) + ".bin", Noise(sizes[i], static_cast<unsigned>(i))});
    std::vector<std::uint8_t> archive;
    String error;
    ASSERT_TRUE(PackArchive(kMediaFolder, files, archive, error)) << error.CStr();
    Mount(archive);
    for (const ArchiveFile& file : files) {
        std::vector<std::uint8_t> bytes;
        for (const char* separator : {"/", "\\"}) {
            ASSERT_TRUE(ReadFile(String(kMediaFolder) + separator + file.name, bytes)) << file.name.CStr();
            EXPECT_EQ(bytes, file.bytes) << file.name.CStr();
        }
    }

    std::vector<ArchiveMember> members;
    ASSERT_TRUE(ListArchive(archive.data(), archive.size(), members, error)) << error.CStr();
    ASSERT_EQ(members.size(), files.size() + 1);
    EXPECT_EQ(String(members[0].name), String(kMediaFolder));
    for (std::size_t i = 0; i < files.size(); ++i) {
        const ArchiveMember& m = members[i + 1];
        EXPECT_EQ(m.name, String(kMediaFolder) + "\\" + files[i].name);
        EXPECT_EQ(m.packedSize, files[i].bytes.size());
        EXPECT_EQ(m.unpackedSize, files[i].bytes.size());
        EXPECT_EQ(m.crc, Crc(files[i].bytes.data(), files[i].bytes.size()));
        EXPECT_EQ(m.flags, 0x8040);
    }
}

TEST_F(ArchiveRoundTripTest, WriterOptionsReadBack) {
    const auto data = Bytes("flakes");
    struct Case { const char* what; std::uint16_t mainFlags; bool oldMarker; };
    for (const Case& c : {Case{"Rar! marker", 0, false}, Case{"UniquE! marker", 0, true}, Case{"solid", 0x0008, false}}) {
        ArchiveWriter writer(c.mainFlags, c.oldMarker);
        ASSERT_TRUE(writer.AddFolder("M"));
        ASSERT_TRUE(writer.AddStored("M\\f", data.data(), data.size()));
        const auto archive = writer.Finish();
        EXPECT_EQ(archive[0], c.oldMarker ? 0x55 : 0x52) << c.what;
        EXPECT_EQ(At16(archive, 10), c.mainFlags) << c.what;
        Mount(archive);
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadFile("m/F", bytes)) << c.what;
        EXPECT_EQ(bytes, data) << c.what;
    }
}

TEST(ArchiveListTest, DamagedArchivesAreReported) {
    ArchiveWriter writer;
    writer.AddFolder("M");
    const auto good = writer.Finish();
    auto trailing = good;
    trailing.insert(trailing.end(), {1, 2, 3});
    auto badMarker = good;
    badMarker[0] = 'r';
    auto stopped = good;  // the end block turned into a 0x77 block, then noise
    stopped[stopped.size() - 5] = 0x77;
    stopped.insert(stopped.end(), {9, 9, 9});
    struct Case { const char* what; std::vector<std::uint8_t> bytes; bool ok; std::size_t members; };
    const Case cases[] = {
        {"good", good, true, 1},
        {"stopped by a 0x77 block", stopped, true, 1},
        {"trailing bytes", trailing, false, 0},
        {"bad marker", badMarker, false, 0},
        {"cut in the folder entry", std::vector<std::uint8_t>(good.begin(), good.begin() + 40), false, 0},
        {"empty", {}, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<ArchiveMember> members;
        String error;
        EXPECT_EQ(ListArchive(c.bytes.data(), c.bytes.size(), members, error), c.ok) << c.what;
        EXPECT_EQ(members.size(), c.members) << c.what;
        EXPECT_EQ(error.IsEmpty(), c.ok) << c.what;
    }
}

}  // namespace

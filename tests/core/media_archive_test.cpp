#include "core/log.h"
#include "platform/win/resources.h"
#include "tests/core/archive_test_util.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kSceneText = "SnowBox = 500\n";

// A member block written by hand, independent of the writer.
std::vector<std::uint8_t> RawMember(const std::string& name, const std::string& data, std::uint16_t flags = 0x8040,
                                    std::uint8_t version = 20, std::uint8_t method = 0x30) {
    std::vector<std::uint8_t> block(32, 0);
    block[2] = 0x74;
    Patch16(block, 3, flags);
    Patch16(block, 5, static_cast<std::uint32_t>(32 + name.size()));
    Patch32(block, 7, static_cast<std::uint32_t>(data.size()));
    Patch32(block, 11, static_cast<std::uint32_t>(data.size()));
    Patch32(block, 16, static_cast<std::uint32_t>(
                           crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()))));
    block[24] = version;
    block[25] = method;
    Patch16(block, 26, static_cast<std::uint32_t>(name.size()));
    block.insert(block.end(), name.begin(), name.end());
    block.insert(block.end(), data.begin(), data.end());
    return block;
}

// Marker, main header with the given flags, then the blocks.
std::vector<std::uint8_t> RawArchive(const std::vector<std::vector<std::uint8_t>>& blocks, std::uint16_t mainFlags = 0,
                                     bool oldMarker = false) {
    const std::uint8_t* marker = oldMarker ? kArchiveOldMarker : kArchiveMarker;
    std::vector<std::uint8_t> out(marker, marker + 7);
    std::vector<std::uint8_t> main(13, 0);
    main[2] = 0x73;
    Patch16(main, 3, mainFlags);
    Patch16(main, 5, 13);
    out.insert(out.end(), main.begin(), main.end());
    for (const auto& block : blocks) out.insert(out.end(), block.begin(), block.end());
    return out;
}

// The media folder with Scene.props and an empty file, as the writer makes it.
std::vector<std::uint8_t> MediaArchive() {
    ArchiveWriter writer;
    writer.AddFolder("FrostvaleMedia");
    const auto scene = Bytes(kSceneText);
    writer.AddStored("FrostvaleMedia\\Scene.props", scene.data(), scene.size());
    writer.AddStored("FrostvaleMedia\\empty.txt", nullptr, 0);
    return writer.Finish();
}

// ReadFile's result as text; nullopt on failure, after checking that it left no bytes.
std::optional<std::string> Read(const std::string& name) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    if (!ReadFile(String(name.c_str()), bytes)) {
        EXPECT_TRUE(bytes.empty()) << "a failed read leaves no bytes: " << name;
        return std::nullopt;
    }
    return std::string(bytes.begin(), bytes.end());
}

using ArchiveReadTest = MountedArchiveTest;

TEST(MemoryArchiveTest, ReadsOnlyWholeRangesInside) {
    const std::uint8_t data[5] = {1, 2, 3, 4, 5};
    struct Case { std::size_t position, n; bool ok; };
    for (const Case& c : {Case{0, 5, true}, Case{3, 2, true}, Case{3, 3, false}, Case{0, 0, false},
                          Case{5, 1, false}, Case{9, 1, false}, Case{1, SIZE_MAX, false}}) {
        MemoryArchive view(data, sizeof data);
        view.Seek(c.position);
        std::uint8_t out[8] = {};
        EXPECT_EQ(view.Read(out, c.n), c.ok) << c.position << "+" << c.n;
        EXPECT_EQ(view.Position(), c.ok ? c.position + c.n : c.position);
        if (c.ok) {
            EXPECT_EQ(out[0], data[c.position]);
        }
    }
}

TEST_F(ArchiveReadTest, NamesMatchInAnyCaseAndWithEitherSlash) {
    Mount(MediaArchive());
    struct Case { const char* name; bool found; };
    for (const Case& c : {Case{"FrostvaleMedia/Scene.props", true}, Case{"frostvalemedia\\scene.PROPS", true},
                          Case{"FrostvaleMedia_Scene.props", true}, Case{"FROSTVALEMEDIA/SCENE.PROPS", true},
                          Case{"/Scene.props", false}, Case{"Scene.props", false},
                          Case{"FrostvaleMedia//Scene.props", false}, Case{"FrostvaleMedia/Scene.prop", false},
                          Case{"FrostvaleMedia/Scene.props ", false}, Case{"", false}}) {
        const auto text = Read(c.name);
        EXPECT_EQ(text.has_value(), c.found) << c.name;
        if (text) {
            EXPECT_EQ(*text, kSceneText);
        }
    }
    EXPECT_TRUE(ArchiveNamesMatch("a/b\\C", "A\\B/c"));
    EXPECT_FALSE(ArchiveNamesMatch("\xe4", "\xc4")) << "only a..z change case";
}

TEST_F(ArchiveReadTest, NamesAreCutTo259Bytes) {
    const std::string longName = "FrostvaleMedia\\" + std::string(285, 'a');  // 300 bytes stored
    Mount(RawArchive({RawMember(longName, "long")}));
    struct Case { std::string name; bool found; };
    for (const Case& c : {Case{longName, true}, Case{longName.substr(0, 259), true},
                          Case{longName.substr(0, 259) + "zzz", true}, Case{longName.substr(0, 258), false}}) {
        EXPECT_EQ(Read(c.name).has_value(), c.found) << c.name.size() << " bytes";
    }
    std::vector<ArchiveMember> members;
    String error;
    ASSERT_TRUE(ListArchive(mounted_.get(), MountedArchive()->Size(), members, error));
    EXPECT_EQ(members.at(0).name.Length(), 259);
}

TEST_F(ArchiveReadTest, BothMarkersAreAcceptedAndNothingElse) {
    const auto member = RawMember("FrostvaleMedia\\Scene.props", kSceneText);
    auto badMarker = RawArchive({member});
    badMarker[3] = '?';
    const auto full = RawArchive({member});
    struct Case { const char* what; std::vector<std::uint8_t> archive; bool ok; };
    const Case cases[] = {
        {"Rar! marker", full, true},
        {"UniquE! marker", RawArchive({member}, 0, true), true},
        {"other marker", badMarker, false},
        {"marker only", std::vector<std::uint8_t>(full.begin(), full.begin() + 7), false},
        {"main header cut short", std::vector<std::uint8_t>(full.begin(), full.begin() + 19), false},
        {"nothing", {}, false},
    };
    for (const Case& c : cases) {
        Mount(c.archive);
        EXPECT_EQ(Read("FrostvaleMedia/Scene.props").has_value(), c.ok) << c.what;
    }
}

TEST_F(ArchiveReadTest, AlteredBytesFailTheFileCrc) {
    const auto archive = MediaArchive();
    const std::size_t scene = MemberBlockStart(archive, 1);
    const std::size_t nameSize = std::string("FrostvaleMedia\\Scene.props").size();
    struct Case { const char* what; std::size_t at; bool ok; };
    for (const Case& c : {Case{"untouched", 0, true}, Case{"first data byte", scene + 32 + nameSize, false},
                          Case{"last data byte", scene + 32 + nameSize + kSceneText.size() - 1, false},
                          Case{"file CRC", scene + 16, false}, Case{"header CRC (ignored)", scene, true},
                          Case{"file time (ignored)", scene + 20, true}}) {
        auto altered = archive;
        if (c.at != 0) altered[c.at] ^= 0x01;
        Mount(altered);
        EXPECT_EQ(Read("FrostvaleMedia/Scene.props").has_value(), c.ok) << c.what;
    }
}

TEST_F(ArchiveReadTest, ZeroLengthMemberIsAnEmptyBuffer) {
    Mount(MediaArchive());
    std::vector<std::uint8_t> bytes{9};
    EXPECT_TRUE(ReadFile("FrostvaleMedia/empty.txt", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(ArchiveReadTest, VersionNeededMustLieIn13To20) {
    struct Case { std::uint8_t version; bool ok; };
    for (const Case& c : {Case{0, false}, Case{12, false}, Case{13, true}, Case{20, true}, Case{21, false},
                          Case{29, false}}) {
        Mount(RawArchive({RawMember("M\\a", "abc", 0x8040, c.version)}));
        EXPECT_EQ(Read("m/A").has_value(), c.ok) << int(c.version);
    }
}

TEST_F(ArchiveReadTest, CompressedMembersFailWithOneLogLine) {
    const fs::path logPath = fs::temp_directory_path() / ("frostvale_archive_" + std::to_string(std::random_device()()) + ".log");
    for (std::uint8_t method : {0x31, 0x33, 0x35, 0x00}) {
        Mount(RawArchive({RawMember("M\\packed", "not really packed", 0x8040, 20, method)}));
        ASSERT_TRUE(OpenLogFile(logPath.c_str()));
        EXPECT_FALSE(Read("M/packed").has_value()) << int(method);
        CloseLogFile();
        std::ifstream in(logPath);
        std::stringstream text;
        text << in.rdbuf();
        const std::string log = text.str();
        EXPECT_EQ(log.rfind("Error: ", 0), 0u) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
        EXPECT_NE(log.find("M\\packed"), std::string::npos) << log;
    }
    fs::remove(logPath);
}

TEST_F(ArchiveReadTest, SolidArchivesCheckTheVersionOfEveryCompressedMember) {
    struct Case {
        const char* what;
        std::uint16_t mainFlags;
        std::uint8_t earlierVersion, earlierMethod;
        bool ok;
    };
    for (const Case& c : {Case{"solid, compressed v20 before", 0x0008, 20, 0x33, true},
                          Case{"solid, compressed v29 before", 0x0008, 29, 0x33, false},
                          Case{"solid, stored v29 before", 0x0008, 29, 0x30, true},
                          Case{"not solid, compressed v29 before", 0x0000, 29, 0x33, true}}) {
        Mount(RawArchive({RawMember("M\\first", "xyz", 0x8040, c.earlierVersion, c.earlierMethod),
                          RawMember("M\\second", "second")},
                         c.mainFlags));
        const auto text = Read("M/second");
        EXPECT_EQ(text.has_value(), c.ok) << c.what;
        if (text) {
            EXPECT_EQ(*text, "second");
        }
    }
    Mount(RawArchive({RawMember("M\\first", "xyz", 0x8040, 20, 0x33)}, 0x0008));
    EXPECT_FALSE(Read("M/first").has_value()) << "a compressed member of a solid archive";
}

TEST_F(ArchiveReadTest, TheWalkSkipsOtherBlocksAndStops) {
    std::vector<std::uint8_t> comment(7, 0);  // a block of another type with no data
    comment[2] = 0x75;
    Patch16(comment, 5, 7);
    std::vector<std::uint8_t> withData(11, 0);  // another type with a 4-byte data area
    withData[2] = 0x7A;
    Patch16(withData, 3, 0x8000);
    Patch16(withData, 5, 11);
    Patch32(withData, 7, 4);
    withData.insert(withData.end(), {0x74, 0x74, 0x74, 0x74});
    auto stop = comment;
    stop[2] = 0x77;
    auto tooSmall = comment;
    Patch16(tooSmall, 5, 6);
    auto end = comment;
    end[2] = 0x7B;
    const auto member = RawMember("M\\x", "found");
    struct Case { const char* what; std::vector<std::vector<std::uint8_t>> blocks; bool ok; };
    const Case cases[] = {
        {"plain", {member}, true},
        {"after other blocks", {comment, withData, member}, true},
        {"after an end block", {end, member}, true},
        {"after a 0x77 block", {stop, member}, false},
        {"after a header size below 7", {tooSmall, member}, false},
        {"absent", {comment, withData}, false},
    };
    for (const Case& c : cases) {
        Mount(RawArchive(c.blocks));
        EXPECT_EQ(Read("M/x").has_value(), c.ok) << c.what;
    }
}

TEST_F(ArchiveReadTest, EncryptedMembersAreNotDelivered) {
    Mount(RawArchive({RawMember("M\\secret", "plain", 0x8044)}));
    EXPECT_FALSE(Read("M/secret").has_value());
}

TEST_F(ArchiveReadTest, TheReaderNeverReadsOutsideTheArchive) {
    const auto archive = MediaArchive();
    // Every cut of the archive before the end of Scene.props's data fails; the sanitizer
    // catches any read past the copy's end.
    const std::size_t sceneEnd = MemberBlockStart(archive, 2);
    for (std::size_t n = 0; n < archive.size(); ++n) {
        Mount(std::vector<std::uint8_t>(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_EQ(Read("FrostvaleMedia/Scene.props").has_value(), n >= sceneEnd) << n << " bytes";
        Read("FrostvaleMedia/empty.txt");
    }
    const std::size_t at = MemberBlockStart(archive, 1);
    struct Case { const char* what; std::size_t field; bool wide; std::uint32_t value; };
    for (const Case& c : {Case{"packed size past the end", 7, true, 0xFFFFFFF0u},
                          Case{"header size past the end", 5, false, 0xFFFF},
                          Case{"name size past the header", 26, false, 0x0100}}) {
        auto altered = archive;
        c.wide ? Patch32(altered, at + c.field, c.value) : Patch16(altered, at + c.field, c.value);
        Mount(altered);
        EXPECT_FALSE(Read("FrostvaleMedia/Scene.props").has_value()) << c.what;
        std::vector<ArchiveMember> members;
        String error;
        EXPECT_FALSE(ListArchive(altered.data(), altered.size(), members, error)) << c.what;
    }
}

TEST_F(ArchiveReadTest, AStoredMemberMustHoldAllItsBytes) {
    const auto archive = MediaArchive();
    const std::size_t at = MemberBlockStart(archive, 1);
    struct Case { const char* what; std::uint32_t unpacked; std::uint16_t flags; bool ok; };
    const auto size = static_cast<std::uint32_t>(kSceneText.size());
    for (const Case& c : {Case{"as written", size, 0x8040, true}, Case{"one byte more", size + 1, 0x8040, false},
                          Case{"larger than the archive", 0xFFFFFFFFu, 0x8040, false},
                          Case{"no data area", size, 0x0040, false}}) {
        auto altered = archive;
        Patch32(altered, at + 11, c.unpacked);
        Patch16(altered, at + 3, c.flags);
        Mount(altered);
        EXPECT_EQ(Read("FrostvaleMedia/Scene.props").has_value(), c.ok) << c.what;
    }
    auto altered = RawArchive({RawMember("M\\x", "x", 0x8040, 20, 0x33)});
    Patch32(altered, 20 + 11, 0xFFFFFFFFu);
    Mount(altered);
    EXPECT_FALSE(Read("M/x").has_value()) << "a compressed member larger than the archive";
}

TEST_F(ArchiveReadTest, DiskBeforeMountingArchiveAfter) {
    const fs::path root = fs::temp_directory_path() / ("frostvale_archive_disk_" + std::to_string(std::random_device()()));
    fs::remove_all(root);
    fs::create_directories(root / "FrostvaleMedia");
    std::ofstream(root / "FrostvaleMedia" / "Scene.props") << "from disk";
    std::ofstream(root / "FrostvaleMedia" / "Only.props") << "only on disk";
    const fs::path saved = fs::current_path();
    fs::current_path(root);
    EXPECT_EQ(Read("FrostvaleMedia/Scene.props"), "from disk");
    EXPECT_FALSE(Read("FrostvaleMedia/Missing.props").has_value());
    Mount(MediaArchive());
    EXPECT_EQ(Read("FrostvaleMedia/Scene.props"), kSceneText);
    EXPECT_FALSE(Read("FrostvaleMedia/Only.props").has_value()) << "the disk is not consulted once mounted";
    UnmountArchiveForTesting();
    EXPECT_EQ(Read("FrostvaleMedia/Only.props"), "only on disk");
    fs::current_path(saved);
    fs::remove_all(root);
}

TEST_F(ArchiveReadTest, MountArchiveUsesResource147) {
    HRSRC resource = FindResourceA(nullptr, 147, "MEMFILE");
    EXPECT_EQ(MountedArchive(), nullptr);
    EXPECT_EQ(MountArchive(), resource != nullptr);
    ASSERT_NE(MountedArchive(), nullptr);
    if (resource == nullptr) {
        EXPECT_EQ(MountedArchive()->Size(), 0u);
        EXPECT_FALSE(Read(__FILE__).has_value()) << "an empty archive does not fall back to the disk";
    } else {
        EXPECT_EQ(MountedArchive()->Size(), SizeofResource(nullptr, resource));
        EXPECT_EQ(MountedArchive()->Data(), LockResource(LoadResource(nullptr, resource)));
    }
}

}  // namespace

TEST(MemberRelativePathTest, OnlyPathsInsideTheFolderAreWritten) {
    const struct {
        const char* member;
        bool ok;
        const char* relative;
    } cases[] = {
        {"FrostvaleMedia\\Scene.props", true, "FrostvaleMedia/Scene.props"},
        {"FrostvaleMedia/a/b.png", true, "FrostvaleMedia/a/b.png"},
        {"file", true, "file"},
        {"..\\evil", false, ""},
        {"FrostvaleMedia/../../evil", false, ""},
        {"/etc/passwd", false, ""},
        {"\\root", false, ""},
        {"a//b", false, ""},
        {"a/./b", false, ""},
        {"a/", false, ""},
        {"", false, ""},
        {"..", false, ""},
    };
    for (const auto& c : cases) {
        String relative("x");
        EXPECT_EQ(MemberRelativePath(String(c.member), relative), c.ok) << c.member;
        EXPECT_STREQ(relative.CStr(), c.relative) << c.member;
    }
}

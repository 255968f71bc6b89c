#include "scene/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>

// Read copies at most the bytes left and marks the end when it comes up short.
TEST(MemoryStreamRead, CopiesAtMostTheBytesLeft) {
    MemoryStream stream(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    struct Case {
        std::size_t ask;
        std::size_t got;
        std::size_t position;
        bool atEnd;
    };
    const Case cases[] = {{2, 2, 2, false}, {0, 0, 2, false}, {3, 3, 5, false}, {1, 0, 5, true}, {4, 0, 5, true}};
    std::uint8_t out[8] = {};
    for (const Case& c : cases) {
        EXPECT_EQ(stream.Read(out, c.ask), c.got) << c.ask;
        EXPECT_EQ(stream.Tell(), c.position);
        EXPECT_EQ(stream.AtEnd(), c.atEnd);
    }
    ASSERT_TRUE(stream.Seek(3));
    EXPECT_FALSE(stream.AtEnd());
    EXPECT_EQ(stream.Read(out, 8), 2u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_TRUE(stream.AtEnd());
}

// Seek from each origin; targets outside [0, size] fail and keep the position.
TEST(MemoryStreamRead, SeekOrigins) {
    MemoryStream stream(std::vector<std::uint8_t>(10, 7));
    using O = MemoryStream::Origin;
    struct Case {
        std::int64_t offset;
        O origin;
        bool ok;
        std::size_t position;
    };
    const Case cases[] = {
        {4, O::Start, true, 4},   {3, O::Current, true, 7},  {-2, O::Current, true, 5}, {0, O::End, true, 10},
        {-10, O::End, true, 0},   {-1, O::Start, false, 0},  {11, O::Start, false, 0},  {1, O::End, false, 0},
        {-11, O::End, false, 0},  {INT64_MAX, O::End, false, 0}, {10, O::Start, true, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stream.Seek(c.offset, c.origin), c.ok) << c.offset;
        EXPECT_EQ(stream.Tell(), c.position) << c.offset;
    }
    stream.Close();
    std::uint8_t out = 0;
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Read(&out, 1), 0u);
}

// Writes collect in 16 KiB segments and come back joined in order.
TEST(MemoryStreamWrite, SegmentsJoinInOrder) {
    MemoryStream stream;
    std::vector<std::uint8_t> expected;
    const std::size_t sizes[] = {1, 0x3fff, 1, 0x4000, 0x9000, 3};
    std::uint8_t next = 0;
    for (std::size_t size : sizes) {
        std::vector<std::uint8_t> chunk(size);
        for (std::uint8_t& b : chunk) b = next++;
        stream.Write(chunk.data(), chunk.size());
        expected.insert(expected.end(), chunk.begin(), chunk.end());
        EXPECT_EQ(stream.WrittenSize(), expected.size());
    }
    EXPECT_EQ(stream.WrittenBytes(), expected);
    EXPECT_EQ(stream.Size(), 0u) << "writing does not touch the read side";
}

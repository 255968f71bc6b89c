#include "core/byte_buffer.h"
#include "core/ring_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> WalkValues(RingList<int>& list) {
    std::vector<int> seen;
    list.Walk([&](int v) { seen.push_back(v); });
    return seen;
}
}  // namespace

TEST(RingListTest, InsertGoesAfterTheCursorAndBecomesIt) {
    RingList<int> list;
    list.Insert(1);
    list.Insert(2);
    list.Insert(3);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Current(), 3);
    EXPECT_EQ(WalkValues(list), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(list.Current(), 3) << "a whole walk leaves the cursor where it started";
    list.Advance();  // cursor on 1
    list.Insert(9);  // between 1 and 2
    list.MoveCursorToHead();
    EXPECT_EQ(WalkValues(list), (std::vector<int>{1, 9, 2, 3}));
}

TEST(RingListTest, RemoveMakesThePredecessorTheCursor) {
    RingList<int> list;
    for (int v : {1, 2, 3, 4}) list.Insert(v);
    list.MoveCursorToHead();
    list.Advance();  // on 2
    EXPECT_EQ(list.RemoveAtCursor(), 2);
    EXPECT_EQ(list.Current(), 1);
    list.MoveCursorToHead();
    EXPECT_EQ(list.RemoveAtCursor(), 1) << "removing the head";
    EXPECT_EQ(list.Current(), 4) << "the head's predecessor wraps round";
    EXPECT_EQ(list.Head(), 3);
    EXPECT_EQ(list.RemoveAtCursor(), 4);
    EXPECT_EQ(list.RemoveAtCursor(), 3);
    EXPECT_TRUE(list.IsEmpty());
    list.Insert(7);
    EXPECT_EQ(list.Head(), 7);
    EXPECT_EQ(WalkValues(list), (std::vector<int>{7}));
}

TEST(ByteBufferTest, GrowthRule) {
    ByteBuffer buffer;
    EXPECT_EQ(buffer.Length(), 0);
    EXPECT_EQ(buffer.Capacity(), 10);
    const std::uint8_t* first = buffer.Data();
    buffer.SetLength(10);  // fits, 0 spare
    EXPECT_EQ(buffer.Data(), first);
    buffer.SetLength(0);  // 10 spare, not more than the step
    EXPECT_EQ(buffer.Data(), first);
    buffer.SetLength(11);  // too small: exactly n + step
    EXPECT_EQ(buffer.Capacity(), 21);
    buffer.SetLength(5);  // 16 spare, more than the step: shrink to 15
    EXPECT_EQ(buffer.Capacity(), 15);

    ByteBuffer text;
    for (int i = 0; i < 100; ++i) text.Append(static_cast<std::uint8_t>(i));
    ASSERT_EQ(text.Length(), 100);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(text.Data()[i], i) << "bytes kept across growth";

    ByteBuffer freed;
    freed.SetStep(0);
    freed.SetLength(0);
    EXPECT_EQ(freed.Data(), nullptr);
    EXPECT_EQ(freed.Capacity(), 0);
}

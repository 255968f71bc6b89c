// Batch buffers: allocation, freeing and merging, compaction and its thresholds, resize,
// growth and restore, with the clients told whenever their block moves.

#include "render_fixture.h"
#include "render/dynamic_batch_buffer.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Client : BufferClient {
    std::vector<UINT> offsets;
    bool answer = true;
    bool Relocate(BufferBlock* block) override {
        offsets.push_back(block->offset);
        return answer;
    }
};

// The blocks as "offset+length" (used) or "offset-length" (free).
std::string Layout(const BatchBuffer& buffer) {
    std::string text;
    for (const BufferBlock* b = buffer.FirstBlock(); b != nullptr; b = b->next) {
        if (!text.empty()) text += " ";
        text += std::to_string(b->offset) + (b->free ? "-" : "+") + std::to_string(b->length);
    }
    return text;
}

std::pair<UINT, UINT> Span(const BatchBuffer& buffer) {
    UINT start = 0, length = 0;
    buffer.GetUsedRange(&start, &length);
    return {start, length};
}

using BatchBufferTest = RecordedDeviceTest;

TEST_F(BatchBufferTest, ConfigureMakesOneFreeBlockAndTheDeviceBuffer) {
    BatchBuffer buffer;
    ASSERT_TRUE(buffer.ConfigureVertices(960, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, 12, D3DPOOL_DEFAULT));
    EXPECT_EQ(Layout(buffer), "0-960");
    EXPECT_EQ(buffer.FreeBytes(), 960u);
    EXPECT_EQ(device->CallsOf("CreateVertexBuffer"), std::vector<std::string>{"CreateVertexBuffer(960, 8, 2, 0)"});
    ASSERT_TRUE(buffer.ConfigureIndices(64, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED));
    EXPECT_EQ(device->CallsOf("CreateIndexBuffer"), std::vector<std::string>{"CreateIndexBuffer(64, 0, 102, 1)"});
    EXPECT_NE(buffer.IndexBuffer(), nullptr);
    EXPECT_EQ(buffer.VertexBuffer(), nullptr);
    Interface* found = nullptr;
    EXPECT_TRUE(buffer.QueryInterface("BatchBuffer", &found));
    EXPECT_FALSE(buffer.QueryInterface("DBB", &found));
}

TEST_F(BatchBufferTest, AllocationTakesTheBestFitFirstInOffsetOrder) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(100, 0, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
    Client client;
    std::vector<BufferBlock*> blocks;
    for (UINT length : {10u, 20u, 10u, 30u, 10u}) blocks.push_back(buffer.Allocate(length, nullptr, &client));
    EXPECT_EQ(Layout(buffer), "0+10 10+20 30+10 40+30 70+10 80-20");
    buffer.Free(blocks[1], false);  // hole of 20 at 10
    buffer.Free(blocks[3], false);  // hole of 30 at 40
    EXPECT_EQ(Layout(buffer), "0+10 10-20 30+10 40-30 70+10 80-20");
    // 18 fits the 20-byte holes best; the first in offset order wins the tie.
    BufferBlock* a = buffer.Allocate(18, nullptr, &client);
    EXPECT_EQ(a->offset, 10u);
    EXPECT_EQ(Layout(buffer), "0+10 10+18 28-2 30+10 40-30 70+10 80-20");
    // A request equal to a free block's length takes it without a split.
    BufferBlock* b = buffer.Allocate(20, nullptr, &client);
    EXPECT_EQ(b->offset, 80u);
    EXPECT_EQ(Layout(buffer), "0+10 10+18 28-2 30+10 40-30 70+10 80+20");
    EXPECT_EQ(buffer.Allocate(31, nullptr, &client), nullptr);
    EXPECT_EQ(buffer.FreeBytes(), 32u);
    EXPECT_EQ(b->client, &client);
    EXPECT_EQ(b->owner, &buffer);
}

TEST_F(BatchBufferTest, UsedSpanFollowsAllocationsAndFrees) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(100, 0, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
    EXPECT_EQ(Span(buffer), std::make_pair(0u, 0u));
    BufferBlock* a = buffer.Allocate(10, nullptr, nullptr);
    BufferBlock* b = buffer.Allocate(20, nullptr, nullptr);
    BufferBlock* c = buffer.Allocate(30, nullptr, nullptr);
    EXPECT_EQ(Span(buffer), std::make_pair(0u, 60u));
    buffer.Free(b, false);  // middle: the span stays
    EXPECT_EQ(Span(buffer), std::make_pair(0u, 60u));
    buffer.Free(a, false);  // the front shrinks to the next used block
    EXPECT_EQ(Span(buffer), std::make_pair(30u, 30u));
    buffer.Free(c, false);  // the only used block: empty
    EXPECT_EQ(Span(buffer), std::make_pair(0u, 0u));
    EXPECT_EQ(Layout(buffer), "0-100");  // merged both ways
    EXPECT_EQ(buffer.FreeBytes(), 100u);
}

TEST_F(BatchBufferTest, FreeWithClearZeroesTheBytes) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(64, D3DUSAGE_DYNAMIC, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
    BufferBlock* block = buffer.Allocate(16, nullptr, nullptr);
    void* data = nullptr;
    ASSERT_TRUE(buffer.Lock(0, 16, 0, &data));
    std::memset(data, 0xAB, 16);
    buffer.Unlock();
    device->ClearCalls();
    buffer.Free(block, true);
    EXPECT_EQ(device->CallsOf("VertexBuffer::Lock"), std::vector<std::string>{"VertexBuffer::Lock(0, 16, 4096)"});
    ASSERT_TRUE(buffer.Lock(0, 16, 0, &data));
    EXPECT_EQ(static_cast<unsigned char*>(data)[15], 0);
    buffer.Unlock();
    buffer.Free(block, true);  // already free: nothing happens
}

TEST_F(BatchBufferTest, CompactionMovesUsedBlocksAndTellsTheirClients) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(100, 0, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
    Client first, second, third;
    BufferBlock* a = buffer.Allocate(10, nullptr, &first);
    BufferBlock* b = buffer.Allocate(20, nullptr, &second);
    buffer.Allocate(30, nullptr, &third);
    buffer.Free(b, false);
    EXPECT_TRUE(buffer.Compact(false));
    EXPECT_EQ(Layout(buffer), "0+10 10+30 40-60");
    EXPECT_TRUE(first.offsets.empty());  // did not move
    EXPECT_EQ(third.offsets, std::vector<UINT>{10});
    EXPECT_EQ(Span(buffer), std::make_pair(0u, 40u));
    EXPECT_EQ(buffer.FreeBytes(), 60u);
    // Forced: everybody rewrites; one refusal makes the result false.
    second.offsets.clear();
    first.answer = false;
    EXPECT_FALSE(buffer.Compact(true));
    EXPECT_EQ(first.offsets, std::vector<UINT>{0});
    EXPECT_EQ(third.offsets, (std::vector<UINT>{10, 10}));
    buffer.Free(a, false);
    EXPECT_EQ(buffer.Allocate(0, nullptr, nullptr), nullptr);
    buffer.Free(nullptr, false);
}

TEST_F(BatchBufferTest, CompactIfWastefulHonoursTheThresholds) {
    struct Case {
        bool enabled;
        UINT holeBytes;
        float fraction;
        bool compacts;
    };
    // Used span 60 with a 20-byte hole: 20 / 60 = 0.33.
    const Case cases[] = {
        {false, 0, 0.3f, false}, {true, 0, 0.3f, true},  {true, 0, 0.4f, false},
        {true, 19, 0, true},     {true, 20, 0, false},   {true, 0, 0, false},
    };
    for (const Case& c : cases) {
        BatchBuffer buffer;
        buffer.ConfigureVertices(100, 0, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
        if (c.enabled) buffer.EnableCompaction(c.holeBytes, c.fraction);
        buffer.Allocate(10, nullptr, nullptr);
        BufferBlock* hole = buffer.Allocate(20, nullptr, nullptr);
        buffer.Allocate(30, nullptr, nullptr);
        buffer.Free(hole, false);
        EXPECT_EQ(buffer.CompactIfWasteful(), c.compacts) << c.holeBytes << " " << c.fraction;
        EXPECT_EQ(Span(buffer).second, c.compacts ? 40u : 60u);
    }
}

TEST_F(BatchBufferTest, ResizeWithoutRecreateKeepsBlocksConsistent) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(100, 0, D3DFVF_XYZ, 4, D3DPOOL_DEFAULT);
    BufferBlock* a = buffer.Allocate(40, nullptr, nullptr);
    buffer.Resize(150, false);
    EXPECT_EQ(Layout(buffer), "0+40 40-110");
    EXPECT_EQ(buffer.FreeBytes(), 110u);
    buffer.Resize(120, false);  // the trailing free block shrinks with the size
    EXPECT_EQ(Layout(buffer), "0+40 40-80");
    EXPECT_EQ(buffer.FreeBytes(), 80u);
    buffer.Allocate(80, nullptr, nullptr);
    buffer.Resize(130, false);  // last block used: a free one is appended
    EXPECT_EQ(Layout(buffer), "0+40 40+80 120-10");
    buffer.Free(a, false);
    device->ClearCalls();
    ASSERT_TRUE(buffer.Resize(200, true));  // recreate: new buffer, blocks renumbered
    EXPECT_EQ(device->CallsOf("CreateVertexBuffer"), std::vector<std::string>{"CreateVertexBuffer(200, 0, 2, 0)"});
    EXPECT_EQ(Layout(buffer), "0+80 80-120");
}

TEST_F(BatchBufferTest, DynamicBufferGrowsAndEveryClientRewrites) {
    DynamicBatchBuffer buffer;
    BufferDescription description = VertexDescription(D3DFVF_XYZ, 12, 100);
    description.growthStep = 64;
    ASSERT_TRUE(buffer.Configure(description));
    Client one, two, three;
    buffer.Allocate(60, nullptr, &one);
    buffer.Allocate(30, nullptr, &two);
    device->ClearCalls();
    // 50 does not fit in 10: grow by max(50, 64) and compact with every client told.
    BufferBlock* grown = buffer.Allocate(50, nullptr, &three);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(buffer.Size(), 164u);
    EXPECT_EQ(device->CallsOf("CreateVertexBuffer"), std::vector<std::string>{"CreateVertexBuffer(164, 0, 2, 0)"});
    EXPECT_EQ(one.offsets, std::vector<UINT>{0});
    EXPECT_EQ(two.offsets, std::vector<UINT>{60});
    EXPECT_TRUE(three.offsets.empty());
    EXPECT_EQ(Layout(buffer), "0+60 60+30 90+50 140-24");
    // A request larger than the step grows by the request; one beyond 4 GB fails.
    ASSERT_NE(buffer.Allocate(200, nullptr, nullptr), nullptr);
    EXPECT_EQ(buffer.Size(), 364u);
    EXPECT_EQ(buffer.Allocate(0xFFFFFF00u, nullptr, nullptr), nullptr);
    EXPECT_EQ(buffer.Size(), 364u);
    Interface* found = nullptr;
    EXPECT_TRUE(buffer.QueryInterface("DBB", &found));
    EXPECT_TRUE(buffer.QueryInterface("DynamicBatchBuffer", &found));
    EXPECT_TRUE(buffer.QueryInterface("BatchBuffer", &found));
}

TEST_F(BatchBufferTest, DynamicGrowthFallsBackAndFails) {
    DynamicBatchBuffer buffer;
    BufferDescription description = VertexDescription(D3DFVF_XYZ, 12, 100);
    description.growthStep = 64;
    ASSERT_TRUE(buffer.Configure(description));
    Client client;
    buffer.Allocate(90, nullptr, &client);
    device->SetResult("CreateVertexBuffer", E_OUTOFMEMORY);
    EXPECT_EQ(buffer.Allocate(50, nullptr, nullptr), nullptr);
    EXPECT_EQ(buffer.Size(), 100u);
    EXPECT_EQ(Layout(buffer), "0+90 90-10");
    EXPECT_EQ(device->Count("CreateVertexBuffer"), 3);  // configure, grown, original size
}

TEST_F(BatchBufferTest, RestoreKeepsOneGrowthStepOfHeadroom) {
    DynamicBatchBuffer buffer;
    BufferDescription description = VertexDescription(D3DFVF_XYZ, 12, 1000);
    description.growthStep = 100;
    description.minimumSize = 300;
    ASSERT_TRUE(buffer.Configure(description));
    Client a, b;
    BufferBlock* hole = buffer.Allocate(400, nullptr, nullptr);
    buffer.Allocate(150, nullptr, &a);
    buffer.Allocate(100, nullptr, &b);
    buffer.Free(hole, false);
    ASSERT_TRUE(buffer.Invalidate());
    EXPECT_FALSE(buffer.HasBuffer());
    ASSERT_TRUE(buffer.Restore());
    EXPECT_EQ(buffer.Size(), 350u);  // 250 used + 100 headroom
    EXPECT_EQ(Layout(buffer), "0+150 150+100 250-100");
    EXPECT_EQ(a.offsets, std::vector<UINT>{0});
    EXPECT_EQ(b.offsets, std::vector<UINT>{150});
    // The minimum size wins over a small need.
    DynamicBatchBuffer small;
    ASSERT_TRUE(small.Configure(description));
    small.Allocate(10, nullptr, nullptr);
    ASSERT_TRUE(small.Restore());
    EXPECT_EQ(small.Size(), 300u);
}

TEST_F(BatchBufferTest, WithoutDeviceCreationWaitsForRestore) {
    PublishDevice(nullptr);
    DynamicBatchBuffer buffer;
    BufferDescription description = VertexDescription(D3DFVF_XYZ, 12, 100);
    ASSERT_TRUE(buffer.Configure(description));
    EXPECT_FALSE(buffer.HasBuffer());
    EXPECT_FALSE(buffer.DeviceExistedAtRegistration());
    ASSERT_NE(buffer.Allocate(500, nullptr, nullptr), nullptr);  // the blocks still grow
    EXPECT_EQ(device->Count("CreateVertexBuffer"), 0);
    PublishDevice(device);
    ASSERT_TRUE(buffer.Restore());
    EXPECT_TRUE(buffer.HasBuffer());
    EXPECT_EQ(buffer.Size(), 500u + 4096u);
}

TEST_F(BatchBufferTest, BoundsOfReadablePositions) {
    BatchBuffer buffer;
    buffer.ConfigureVertices(48, 0, D3DFVF_XYZ, 12, D3DPOOL_MANAGED);
    buffer.Allocate(36, nullptr, nullptr);
    void* data = nullptr;
    ASSERT_TRUE(buffer.Lock(0, 36, 0, &data));
    const float positions[] = {1, 2, 3, -4, 5, 0, 2, -1, 9};
    std::memcpy(data, positions, sizeof positions);
    buffer.Unlock();
    D3DVECTOR low{}, high{};
    ASSERT_TRUE(buffer.ComputeBounds(&low, &high));
    EXPECT_EQ(low.x, -4);
    EXPECT_EQ(low.y, -1);
    EXPECT_EQ(low.z, 0);
    EXPECT_EQ(high.x, 2);
    EXPECT_EQ(high.y, 5);
    EXPECT_EQ(high.z, 9);
    BatchBuffer writeOnly;
    writeOnly.ConfigureVertices(48, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, 12, D3DPOOL_DEFAULT);
    writeOnly.Allocate(12, nullptr, nullptr);
    EXPECT_FALSE(writeOnly.ComputeBounds(&low, &high));
}

}  // namespace

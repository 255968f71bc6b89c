// The render queue, the assembler and the overlay queue: drawing order, sharing between
// neighbouring elements, standalone renderers, retiring and the per-texture rebuild.

#include "render_fixture.h"
#include "render/overlay_queue.h"
#include "render/render_texture.h"
#include "render/texture_geometry.h"
#include "render/texture_resource.h"

#include <algorithm>

namespace {

struct FakeTexture : RenderTexture {
    IDirect3DBaseTexture9* Direct3DTexture() const override { return nullptr; }
};

// A minimal ordered element: an order value, children, and its per-texture geometry.
struct Element : OrderedItem, BufferClient {
    explicit Element(int order) : order(order) {}
    int order;
    std::vector<Element*> children;
    TextureGeometry geometry;
    int relocations = 0;
    int OrderValue() const override { return order; }
    void ListRenderers(std::vector<Renderer*>& out) const override { geometry.ListRenderers(out); }
    int ChildCount() const override { return int(children.size()); }
    OrderedItem* ChildAt(int i) const override { return children[i]; }
    bool Relocate(BufferBlock*) override {
        ++relocations;
        return true;
    }
    bool Build(OverlayQueue& queue, std::vector<TextureTriangles> requests) {
        return geometry.Rebuild(queue, this, this, RenderStateBlock(), requests);
    }
    Renderer* Only() const {
        std::vector<Renderer*> renderers;
        ListRenderers(renderers);
        return renderers.size() == 1 ? renderers[0] : nullptr;
    }
};

RendererDescription Standalone(UINT size = 72) {
    RendererDescription d;
    d.vertices = VertexDescription(TextureGeometry::kFvf, TextureGeometry::kStride, size);
    d.standalone = true;
    return d;
}

using RenderQueueTest = RecordedDeviceTest;

TEST_F(RenderQueueTest, InsertChildPlacesBeforeOrAfterItsNeighbour) {
    RenderQueue queue;
    RendererRef a(new Renderer()), b(new Renderer()), c(new Renderer()), d(new Renderer());
    EXPECT_TRUE(queue.InsertChild(a, nullptr, true));
    EXPECT_TRUE(queue.InsertChild(b, a.Get(), true));
    EXPECT_TRUE(queue.InsertChild(c, a.Get(), false));
    EXPECT_TRUE(queue.InsertChild(d, nullptr, true));  // no neighbour: the end
    EXPECT_FALSE(queue.InsertChild(a, nullptr, true));
    EXPECT_EQ(queue.Children(), (std::vector<Renderer*>{b.Get(), a.Get(), c.Get(), d.Get()}));
    EXPECT_EQ(queue.DrawingPosition(c.Get()), 2);
    EXPECT_TRUE(queue.RemoveChild(a.Get()));
    EXPECT_EQ(queue.DrawingPosition(a.Get()), -1);
    EXPECT_TRUE(queue.IsCompatible(Standalone()));
}

TEST_F(RenderQueueTest, EmptyQueueDrawsNothing) {
    OverlayQueue overlay;
    device->ClearCalls();
    EXPECT_TRUE(overlay.Draw());
    EXPECT_TRUE(device->Calls().empty());
}

TEST_F(RenderQueueTest, NeighboursShareAndStandaloneNeverDoes) {
    OverlayQueue overlay;
    FakeTexture snow, glow;
    Element low(10), high(20);
    overlay.AddElement(&low);
    overlay.AddElement(&high);
    ASSERT_TRUE(low.Build(overlay, {{&snow, 2}}));
    ASSERT_TRUE(high.Build(overlay, {{&snow, 1}}));
    ASSERT_NE(low.Only(), nullptr);
    EXPECT_EQ(low.Only(), high.Only());  // one RenderVertices, one draw call
    EXPECT_EQ(overlay.Queue().ChildCount(), 1);
    device->ClearCalls();
    ASSERT_TRUE(overlay.Draw());
    EXPECT_EQ(device->CallsOf("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive(4, 0, 3)"});

    // A different texture between them: a RenderVertices of its own.
    Element middle(15);
    overlay.AddElement(&middle);
    ASSERT_TRUE(middle.Build(overlay, {{&glow, 1}}));
    ASSERT_NE(middle.Only(), nullptr);
    EXPECT_NE(middle.Only(), low.Only());

    // A standalone request never joins, even an identical one.
    RendererDescription d = Standalone();
    d.state.texture = &snow;
    RendererRef own = overlay.AcquireRenderer(&middle, d);
    ASSERT_TRUE(own);
    EXPECT_NE(own.Get(), low.Only());
    EXPECT_EQ(own->Parent(), nullptr);
    // The shared renderer sat on both sides of the new one: it was retired.
    EXPECT_TRUE(low.Only()->IsRetired());
    auto order = overlay.Queue().Children();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], own.Get());
    EXPECT_EQ(order[1], middle.Only()->Parent());

    // At the next rebuild the clients of the retired renderer regroup.
    ASSERT_TRUE(low.Build(overlay, {{&snow, 2}}));
    ASSERT_TRUE(high.Build(overlay, {{&snow, 1}}));
    EXPECT_FALSE(low.Only()->IsRetired());
    EXPECT_FALSE(high.Only()->IsRetired());
    auto regrouped = overlay.Queue().Children();
    EXPECT_EQ(regrouped.size(), 5u);  // the middle one now keeps them apart
    low.geometry.Clear();
    high.geometry.Clear();
    middle.geometry.Clear();
}

// An element with another texture between two that share a renderer is drawn between
// them: high order first, the middle one, then the low one on top.
TEST_F(RenderQueueTest, AnotherTextureBetweenSharingNeighboursIsDrawnBetweenThem) {
    OverlayQueue overlay;
    FakeTexture snow, glow;
    Element low(10), middle(15), high(20);
    for (Element* e : {&low, &middle, &high}) overlay.AddElement(e);
    ASSERT_TRUE(low.Build(overlay, {{&snow, 2}}));
    ASSERT_TRUE(high.Build(overlay, {{&snow, 1}}));
    ASSERT_TRUE(middle.Build(overlay, {{&glow, 3}}));
    // The shared renderer was retired: the neighbours regroup at their next rebuild.
    ASSERT_TRUE(low.Build(overlay, {{&snow, 2}}));
    ASSERT_TRUE(high.Build(overlay, {{&snow, 1}}));
    device->ClearCalls();
    ASSERT_TRUE(overlay.Draw());
    std::vector<UINT> triangles;
    for (const RecordedCall& call : device->Calls())
        if (call.method == "DrawPrimitive") triangles.push_back(UINT(std::stoul(call.arguments.substr(call.arguments.rfind(' ')))));
    EXPECT_EQ(triangles, (std::vector<UINT>{1, 3, 2}));
    for (Element* e : {&low, &middle, &high}) e->geometry.Clear();
}

// Batching compares texture identities: the rectangles of one atlas share, another texture
// does not.
TEST_F(RenderQueueTest, SubTexturesOfOneAtlasShareABatch) {
    TextureResource atlas, other;
    ASSERT_TRUE(atlas.CreateEmpty(texture_mode::kEmpty, 64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
    ASSERT_TRUE(other.CreateEmpty(texture_mode::kEmpty, 64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
    TextureResource* left = atlas.AddSub(TextureRect{0, 0, 31, 31}, String("left"));
    TextureResource* right = atlas.AddSub(TextureRect{32, 0, 63, 31}, String("right"));
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    const struct {
        RenderTexture *a, *b;
        bool shares;
    } cases[] = {{left, right, true}, {left, &atlas, true}, {left, &other, false}, {left, nullptr, false}};
    for (const auto& c : cases) {
        RenderStateBlock a, b;
        a.texture = c.a;
        b.texture = c.b;
        EXPECT_EQ(a.SharesWith(b), c.shares);
        EXPECT_EQ(b.SharesWith(a), c.shares);
    }
}

TEST_F(RenderQueueTest, ElementsDrawnHighOrderFirst) {
    struct Holder : OrderedItem {
        int order = 0;
        Renderer* renderer = nullptr;
        int OrderValue() const override { return order; }
        void ListRenderers(std::vector<Renderer*>& out) const override {
            if (renderer) out.push_back(renderer);
        }
    };
    OverlayQueue overlay;
    std::vector<std::unique_ptr<Holder>> holders;
    std::vector<RendererRef> held;
    for (int order : {10, 20, 30, 15, 5, 25}) {
        auto holder = std::make_unique<Holder>();
        holder->order = order;
        overlay.AddElement(holder.get());
        RendererRef r = overlay.AcquireRenderer(holder.get(), Standalone());
        ASSERT_TRUE(r);
        holder->renderer = r.Get();
        held.push_back(r);
        holders.push_back(std::move(holder));
    }
    std::vector<int> drawn;
    for (Renderer* r : overlay.Queue().Children()) {
        for (auto& h : holders)
            if (h->renderer == r) drawn.push_back(h->order);
    }
    EXPECT_EQ(drawn, (std::vector<int>{30, 25, 20, 15, 10, 5}));
}

TEST_F(RenderQueueTest, ChildrenOfAnElementCountInItsSubtree) {
    FakeTexture snow, glow;
    OverlayQueue overlay;
    Element parent(30), child(12), newcomer(10);
    parent.children = {&child};
    overlay.AddElement(&parent);
    overlay.AddElement(&newcomer);
    ASSERT_TRUE(child.Build(overlay, {{&glow, 1}}));  // a child: not in the root list itself
    // The newcomer (10) finds the parent (30) above; the child's order 12 > 10 counts.
    ASSERT_TRUE(newcomer.Build(overlay, {{&glow, 1}}));
    EXPECT_EQ(newcomer.Only(), child.Only());
    child.geometry.Clear();
    newcomer.geometry.Clear();
}

TEST_F(RenderQueueTest, RebuildResizesDropsAndReacquires) {
    FakeTexture a, b;
    OverlayQueue overlay;
    Element element(1);
    overlay.AddElement(&element);
    ASSERT_TRUE(element.Build(overlay, {{&a, 2}, {&b, 1}}));
    EXPECT_EQ(element.geometry.EntryCount(), 2);
    EXPECT_EQ(element.geometry.BlockFor(&a)->length, 144u);
    EXPECT_EQ(element.geometry.BlockFor(&a)->clientValue, &a);
    ASSERT_TRUE(element.Build(overlay, {{&a, 3}}));
    EXPECT_EQ(element.geometry.EntryCount(), 1);
    EXPECT_EQ(element.geometry.BlockFor(&a)->length, 216u);
    EXPECT_EQ(element.geometry.BlockFor(&b), nullptr);
    Renderer* before = element.Only();
    before->Retire();
    ASSERT_TRUE(element.Build(overlay, {{&a, 3}}));
    EXPECT_NE(element.Only(), before);
    EXPECT_FALSE(element.Only()->IsRetired());
}

TEST_F(RenderQueueTest, AssemblerAbsorbAndRetire) {
    FakeTexture a, b;
    RendererDescription da = Standalone();
    da.standalone = false;
    da.state.texture = &a;
    RendererDescription db = da;
    db.state.texture = &b;
    RendererAssembler first, second;
    RendererRef fa = first.FindOrCreate(da, true);
    RendererRef sa = second.FindOrCreate(da, true);
    RendererRef sb = second.FindOrCreate(db, true);
    EXPECT_FALSE(first.FindOrCreate(db, false));
    RendererDescription other = da;
    other.kind = 2;
    RendererAssembler empty;
    EXPECT_FALSE(empty.FindOrCreate(other, true));  // only vertex geometry is assembled
    EXPECT_FALSE(first.IsCompatible(other));
    EXPECT_FALSE(first.IsCompatible(Standalone()));
    EXPECT_TRUE(first.IsCompatible(db));

    EXPECT_FALSE(first.Absorb(fa.Get()));  // not an assembler: nothing happens
    EXPECT_TRUE(first.Absorb(&second));
    EXPECT_EQ(second.ChildCount(), 0);
    EXPECT_EQ(first.ChildCount(), 2);
    EXPECT_TRUE(sa->IsRetired());  // a compatible child here already
    EXPECT_FALSE(sb->IsRetired());
    EXPECT_EQ(sb->Parent(), &first);

    // RenderVertices::Absorb retires a compatible other.
    RenderVertices* va = AsVertices(fa);
    RenderVertices lone;
    ASSERT_TRUE(lone.Assemble(da));
    EXPECT_TRUE(va->Absorb(&lone));
    EXPECT_TRUE(lone.IsRetired());

    first.Retire();
    EXPECT_TRUE(fa->IsRetired());
    EXPECT_TRUE(sb->IsRetired());
    EXPECT_TRUE(first.Draw());
}

TEST_F(RenderQueueTest, AssemblerDrawStopsAtTheFirstFailure) {
    RendererAssembler assembler;
    RendererDescription d = Standalone();
    d.standalone = false;
    RendererRef one = assembler.FindOrCreate(d, true);
    AsVertices(one)->Vertices()->Allocate(72, nullptr, nullptr);
    device->SetResult("DrawPrimitive", D3DERR_INVALIDCALL);
    EXPECT_FALSE(assembler.Draw());
}

}  // namespace

#include "core/object.h"
#include "core/shared_ref.h"

#include <gtest/gtest.h>

// GCC 12 cannot see that the copies share one counter and warns about a use after free on
// paths that never run.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif

namespace {

struct Watcher : Interface {
    int released = 0;
    int destroyed = 0;
    Interface* last = nullptr;
    void OnReleased(Interface* source) override { ++released; last = source; }
    void OnDestroyed(Interface* source) override { ++destroyed; last = source; }
};

struct Counted : Interface {
    explicit Counted(int* deaths) : deaths_(deaths) {}
    ~Counted() override { ++*deaths_; }
    bool QueryInterface(const String& name, Interface** out) override {
        if (name.Equals("Renderer")) {
            *out = this;
            return true;
        }
        return Interface::QueryInterface(name, out);
    }
    int* deaths_;
};

}  // namespace

TEST(InterfaceTest, ReleaseTellsTheOwnerAtZeroEveryTime) {
    Watcher owner;
    int deaths = 0;
    Counted object(&deaths);
    object.SetOwner(&owner);
    object.AddUse();
    object.AddUse();
    object.Release();
    EXPECT_EQ(owner.released, 0);
    object.Release();
    EXPECT_EQ(owner.released, 1);
    EXPECT_EQ(owner.last, &object);
    object.Release();  // already zero: told again, count stays zero
    EXPECT_EQ(owner.released, 2);
    EXPECT_EQ(object.UseCount(), 0);
}

TEST(InterfaceTest, DestructionTellsTheListener) {
    Watcher listener;
    int deaths = 0;
    auto* object = new Counted(&deaths);
    object->SetListener(&listener);
    delete object;
    EXPECT_EQ(listener.destroyed, 1);
    EXPECT_EQ(listener.last, object);
}

TEST(InterfaceTest, QueryByExactName) {
    int deaths = 0;
    Counted object(&deaths);
    Interface* found = nullptr;
    EXPECT_TRUE(object.QueryInterface("Renderer", &found));
    EXPECT_EQ(found, &object);
    EXPECT_FALSE(object.QueryInterface("renderer", &found));
    EXPECT_FALSE(object.QueryInterface("Window", &found));
    String name;
    EXPECT_STREQ(object.ClassName(name).CStr(), "Object");
    EXPECT_TRUE(object.Keep());
}

TEST(SharedRefTest, DestroysExactlyOnceAtTheLastReset) {
    int deaths = 0;
    SharedRef<Counted> a(new Counted(&deaths));
    SharedRef<Counted> b(a);
    SharedRef<Counted> c = b;
    EXPECT_EQ(a.Count(), 3);
    a.Reset();
    b.Reset();
    EXPECT_EQ(deaths, 0);
    c.Reset();
    EXPECT_EQ(deaths, 1);
    c.Reset();
    EXPECT_EQ(deaths, 1);
    EXPECT_FALSE(c);
    SharedRef<Counted> empty(nullptr);
    EXPECT_EQ(empty.Count(), 0);
}

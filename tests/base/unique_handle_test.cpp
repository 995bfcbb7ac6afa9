// UniqueHandle with traits that count what they close: every value it held is
// closed exactly once, whichever way it is given up or replaced.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/unique_handle.h"

namespace {

std::vector<int> g_Closed;

struct CountingTraits {
    using Type = int;
    static Type Empty() { return 0; }
    static void Close(Type value) { g_Closed.push_back(value); }
};
using CountedHandle = UniqueHandle<CountingTraits>;

// What a creating system call does with the cell Put() hands out.
void Fill(int* cell, int value)
{
    *cell = value;
}

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { g_Closed.clear(); }
};

TEST_F(UniqueHandleTest, PutClosesTheOldValueBeforeHandingOutTheCell)
{
    {
        CountedHandle handle;
        Fill(handle.Put(), 7);
        EXPECT_TRUE(g_Closed.empty()) << "an empty owner has nothing to close";
        EXPECT_EQ(7, handle.Get());
        // Reused for a second call: the first value must not leak.
        int* cell = handle.Put();
        EXPECT_EQ((std::vector<int>{7}), g_Closed);
        EXPECT_EQ(0, *cell) << "the cell is handed out empty";
        Fill(cell, 8);
        EXPECT_EQ(8, handle.Get());
    }
    EXPECT_EQ((std::vector<int>{7, 8}), g_Closed);
}

TEST_F(UniqueHandleTest, EveryValueIsClosedOnceWhicheverWayItGoes)
{
    {
        CountedHandle first(1);
        first.Reset(2);
        EXPECT_EQ((std::vector<int>{1}), g_Closed);
        CountedHandle second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        CountedHandle third(3);
        third = std::move(second);
        EXPECT_EQ((std::vector<int>{1, 3}), g_Closed);
        EXPECT_EQ(2, third.Get());
        CountedHandle released(4);
        EXPECT_EQ(4, released.Release());
        EXPECT_FALSE(released.IsValid());
    }
    // 4 was given up, so only 2 is left to close; the moved-from owners close nothing.
    EXPECT_EQ((std::vector<int>{1, 3, 2}), g_Closed);
}

} // namespace

#include <gtest/gtest.h>

#include "base/item_list.h"
#include "base/text_string_list.h"

namespace {
// A list that counts the owned items it releases.
class CountingList : public CItemList {
public:
    ~CountingList() override { Clear(); }
    int released = 0;

protected:
    void ReleaseItem(void*) override { ++released; }
};
} // namespace

TEST(ItemList, KeepsOrderFromBothEnds)
{
    CountingList list;
    int a = 1, b = 2, c = 3;
    ASSERT_TRUE(list.PushBack(&b, false));
    ASSERT_TRUE(list.PushBack(&c, false));
    ASSERT_TRUE(list.PushFront(&a, false));
    EXPECT_EQ(3, list.GetCount());
    EXPECT_EQ(&a, list.PopFront());
    EXPECT_EQ(&b, list.PopFront());
    EXPECT_EQ(&c, list.PopFront());
    EXPECT_EQ(nullptr, list.PopFront());
    EXPECT_EQ(0, list.GetCount());
}

TEST(ItemList, ClearReleasesOnlyOwnedItemsAndPopReleasesNone)
{
    CountingList list;
    int items[4];
    list.PushBack(&items[0], true);
    list.PushBack(&items[1], false);
    list.PushBack(&items[2], true);
    list.PushBack(&items[3], true);
    list.PopFront(); // the caller takes items[0]
    list.Clear();
    EXPECT_EQ(2, list.released);
    EXPECT_EQ(0, list.GetCount());
}

TEST(ItemList, KeepsAtMostTenSpareNodes)
{
    CountingList list;
    int item = 0;
    for (int i = 0; i < 25; ++i)
        list.PushBack(&item, false);
    list.Clear();
    EXPECT_EQ(CItemList::kSpareLimit, list.GetSpareCount());
    for (int i = 0; i < 4; ++i)
        list.PushBack(&item, false);
    EXPECT_EQ(CItemList::kSpareLimit - 4, list.GetSpareCount());
}

TEST(TextStringList, OwnsItsStrings)
{
    CTextStringList list;
    ASSERT_TRUE(list.Append("first"));
    ASSERT_TRUE(list.Append("second and more", 6));
    ASSERT_TRUE(list.Append("", 0));
    EXPECT_STREQ("first", list.GetAt(0)->GetData());
    EXPECT_STREQ("second", list.GetAt(1)->GetData());
    EXPECT_TRUE(list.GetAt(2)->IsEmpty());
    EXPECT_EQ(nullptr, list.GetAt(3));
}

#include <gtest/gtest.h>

#include "joblist/ItemList.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

ConvertItem Named(const std::string& name) {
    ConvertItem item;
    WriteField(item.sourceName, name);
    return item;
}

std::string Names(const ItemList& list) {
    std::string names;
    list.ForEach([&](const ConvertItem& item) { names += ReadField(item.sourceName); });
    return names;
}

TEST(ItemList, RecordsKeepTheirAddressWhileOthersComeAndGo) {
    ItemList list;
    ConvertItem* first = &list.Append(Named("a"));
    for (int i = 0; i < 1000; ++i) list.Append(Named("x"));
    list.InsertBefore(0, Named("b"));
    list.RemoveAt(2);
    EXPECT_EQ(list.At(1), first);
    EXPECT_EQ(list.IndexOf(first), 1);
}

TEST(ItemList, InsertAndRemoveByPosition) {
    ItemList list;
    list.Append(Named("a"));
    list.Append(Named("c"));
    ASSERT_NE(list.InsertAfter(0, Named("b")), nullptr);
    ASSERT_NE(list.InsertBefore(0, Named("0")), nullptr);
    ASSERT_NE(list.InsertBefore(4, Named("d")), nullptr);  // at the end
    EXPECT_EQ(Names(list), "0abcd");
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_TRUE(list.RemoveAt(3));
    EXPECT_EQ(Names(list), "abc");
}

TEST(ItemList, PositionsOutsideTheListYieldNothing) {
    ItemList list;
    EXPECT_EQ(list.At(0), nullptr);
    list.Append(Named("a"));
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(1), nullptr);
    EXPECT_EQ(list.InsertAfter(1, Named("x")), nullptr);
    EXPECT_EQ(list.InsertBefore(2, Named("x")), nullptr);
    EXPECT_FALSE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(-1));
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    EXPECT_EQ(Names(list), "a");
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace tessival

#include "core/item_store.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace zv {
namespace {

MenuEntry named(const std::string& name, std::int16_t parent = 0) {
    MenuEntry e;
    e.name = name;
    e.parentMenu = parent;
    return e;
}

std::vector<std::string> walkNames() {
    std::vector<std::string> names;
    for (std::int16_t slot : listOrder())
        names.push_back(items[slot].name);
    return names;
}

class ItemStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetProgram();
        clearList();
    }
    void fill(std::initializer_list<const char*> names) {
        for (const char* n : names)
            ASSERT_NE(append(named(n)), -1);
    }
};

TEST_F(ItemStoreTest, EmptyStoreWalksNoEntry) {
    EXPECT_TRUE(walkNames().empty());
    EXPECT_EQ(lastSlot(), -1);
    EXPECT_EQ(store.listHead, -1);
}

TEST_F(ItemStoreTest, AppendKeepsFileOrder) {
    fill({"a", "b", "c"});
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(lastSlot(), 2);
    EXPECT_EQ(items[2].nextIndex, -1);
    EXPECT_EQ(store.freeSlot, 3);
}

TEST_F(ItemStoreTest, InsertBeforeTheHeadBecomesTheHead) {
    fill({"a", "b"});
    EXPECT_EQ(insertBefore(0, named("x")), 2);
    EXPECT_EQ(store.listHead, 2);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"x", "a", "b"}));
    EXPECT_EQ(insertBefore(2, named("y")), 3);
    EXPECT_EQ(store.listHead, 3);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"y", "x", "a", "b"}));
}

TEST_F(ItemStoreTest, EachInsertBeforeTheNewestPutsTheBatchNewestFirst) {
    fill({"a", "b", "c"});
    const std::int16_t first = insertBefore(1, named("first"));
    ASSERT_NE(first, -1);
    ASSERT_NE(insertBefore(first, named("second")), -1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "second", "first", "b", "c"}));
}

TEST_F(ItemStoreTest, RemoveAtEveryPlace) {
    fill({"a", "b", "c", "d"});
    remove(0); // the head moves on
    EXPECT_EQ(store.listHead, 1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "c", "d"}));
    remove(2); // the middle
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "d"}));
    remove(3); // the last
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b"}));
    EXPECT_EQ(lastSlot(), 1);
    remove(3); // not in the list any more: nothing happens
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b"}));
}

TEST_F(ItemStoreTest, InsertBeforeARemovedEntryAppendsAndDoesNotBringItBack) {
    fill({"a", "b"});
    remove(1);
    ASSERT_NE(insertBefore(1, named("new")), -1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "new"}));
    ASSERT_NE(append(named("end")), -1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "new", "end"}));
}

TEST_F(ItemStoreTest, SwapTradesContentsNotLinks) {
    fill({"a", "b", "c"});
    MenuEntry b = named("b", 7);
    b.target = Target(std::int16_t{9});
    b.iconIndex = 4;
    items[1] =
        MenuEntry{b.name, b.itemType, b.parentMenu, b.target, b.iconIndex, items[1].nextIndex};
    swapEntries(0, 1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(items[0].parentMenu, 7);
    EXPECT_EQ(items[0].iconIndex, 4);
    EXPECT_EQ(items[0].target, Target(std::int16_t{9}));
    EXPECT_EQ(items[0].nextIndex, 1);
    EXPECT_EQ(items[1].nextIndex, 2);
}

TEST_F(ItemStoreTest, FreeSlotsWrapAndRemovedSlotsStayTaken) {
    for (int i = 0; i < storeSlots; ++i)
        items[i].name = "x";
    items[3].name.clear();
    EXPECT_EQ(findFreeSlot(100), 3);
    items[3].name = "x";
    EXPECT_EQ(findFreeSlot(100), -1);

    test::resetProgram();
    clearList();
    fill({"a", "b"});
    remove(0);
    // The removed entry keeps its name, so its slot is not handed out again this run.
    EXPECT_EQ(findFreeSlot(0), 2);
    EXPECT_FALSE(inList(0));
    EXPECT_TRUE(inList(1));
}

TEST_F(ItemStoreTest, FullStoreRefusesInsertAndAppend) {
    for (int i = 0; i < storeSlots; ++i)
        ASSERT_NE(append(named("e" + std::to_string(i))), -1);
    EXPECT_EQ(store.freeSlot, -1);
    const auto before = walkNames();
    EXPECT_EQ(append(named("one too many")), -1);
    EXPECT_EQ(insertBefore(5, named("one too many")), -1);
    EXPECT_EQ(walkNames(), before);
}

TEST_F(ItemStoreTest, TheLastEntryCanBeCopiedAndInsertedAgain) {
    fill({"a", "b"});
    const MenuEntry copy = items[1];
    ASSERT_NE(insertBefore(0, copy), -1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "a", "b"}));
    EXPECT_EQ(lastSlot(), 1);
}

TEST(TargetTest, TextAndNumberOfTheSameValueAreEqual) {
    EXPECT_EQ(Target(" 7 ").asNumber(), std::optional<std::int16_t>(7));
    EXPECT_EQ(Target(std::int16_t{7}), Target("7 "));
    EXPECT_FALSE(Target("7x").asNumber());
    EXPECT_FALSE(Target("").asNumber());
    EXPECT_FALSE(Target("32768").asNumber());
    EXPECT_EQ(Target("-32768").asNumber(), std::optional<std::int16_t>(-32768));
    EXPECT_EQ(Target(std::int16_t{-3}).asText(), "-3");
    EXPECT_NE(Target("a"), Target("b"));
    // A number never equals a text that is no number.
    EXPECT_NE(Target(std::int16_t{0}), Target("x"));
    EXPECT_NE(Target(""), Target(std::int16_t{0}));
}

} // namespace
} // namespace zv

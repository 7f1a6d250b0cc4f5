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
    listRewind();
    Step step;
    while (listStep(step)) {
        names.push_back(step.entry.name);
        if (step.isLast)
            break;
    }
    return names;
}

// Leaves the cursor on the entry in the given slot, as the edit commands do.
void seek(std::int16_t slot) {
    listRewind();
    Step step;
    while (listStep(step) && step.slot != slot) {
    }
}

class ItemStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetProgram();
        listInit();
    }
    void fill(std::initializer_list<const char*> names) {
        for (const char* n : names)
            ASSERT_TRUE(listAppend(named(n)));
    }
};

TEST_F(ItemStoreTest, EmptyStoreWalksNoEntry) {
    listRewind();
    Step step;
    EXPECT_FALSE(listStep(step));
    EXPECT_TRUE(step.isLast);
    EXPECT_EQ(step.slot, -1);
    EXPECT_EQ(store.listHead, -1);
}

TEST_F(ItemStoreTest, AppendKeepsFileOrderAndMarksTheLast) {
    fill({"a", "b", "c"});
    listRewind();
    Step step;
    std::vector<std::pair<std::string, bool>> seen;
    while (listStep(step))
        seen.emplace_back(step.entry.name, step.isLast);
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::string, bool>>{{"a", false}, {"b", false}, {"c", true}}));
    EXPECT_EQ(store.freeSlot, 3);
}

TEST_F(ItemStoreTest, InsertAtTheFrontBecomesTheHead) {
    fill({"a", "b"});
    // Cursor on the first entry.
    seek(0);
    ASSERT_TRUE(listInsert(named("x")));
    EXPECT_EQ(store.listHead, 2);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"x", "a", "b"}));

    // Cursor rewound: the new entry is the head and the next step returns it.
    listRewind();
    ASSERT_TRUE(listInsert(named("y")));
    EXPECT_EQ(store.listHead, 3);
    Step step;
    ASSERT_TRUE(listStep(step));
    EXPECT_EQ(step.entry.name, "y");
    EXPECT_EQ(step.slot, 3);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"y", "x", "a", "b"}));
}

TEST_F(ItemStoreTest, TwoInsertsInARowPutTheSecondFirst) {
    fill({"a", "b", "c"});
    seek(1);
    ASSERT_TRUE(listInsert(named("first")));
    ASSERT_TRUE(listInsert(named("second")));
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "second", "first", "b", "c"}));
}

TEST_F(ItemStoreTest, RemoveAtEveryPlace) {
    fill({"a", "b", "c", "d"});
    // First entry: the head moves on.
    seek(0);
    listRemove();
    EXPECT_EQ(store.listHead, 1);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "c", "d"}));

    // Middle: the next step returns the successor with its slot, then the walk goes on.
    seek(2);
    listRemove();
    Step step;
    ASSERT_TRUE(listStep(step));
    EXPECT_EQ(step.entry.name, "d");
    EXPECT_EQ(step.slot, 3);
    EXPECT_TRUE(step.isLast);
    EXPECT_FALSE(listStep(step));
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "d"}));

    // Last: the walk ends at once.
    seek(3);
    listRemove();
    EXPECT_FALSE(listStep(step));
    EXPECT_TRUE(step.isLast);
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b"}));
}

TEST_F(ItemStoreTest, InsertAfterRemovingTheLastEntryDoesNotBringItBack) {
    fill({"a", "b"});
    seek(1);
    listRemove();
    ASSERT_TRUE(listInsert(named("new")));
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "new"}));
    ASSERT_TRUE(listAppend(named("end")));
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"a", "new", "end"}));
}

TEST_F(ItemStoreTest, SwapTradesContentsNotLinks) {
    fill({"a", "b", "c"});
    MenuEntry b = named("b", 7);
    b.target = Target(std::int16_t{9});
    b.iconIndex = 4;
    items[1] =
        MenuEntry{b.name, b.itemType, b.parentMenu, b.target, b.iconIndex, items[1].nextIndex};
    listSwap(0, 1);
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
    listInit();
    fill({"a", "b"});
    seek(0);
    listRemove();
    // The removed entry keeps its name, so its slot is not handed out again this run.
    EXPECT_EQ(findFreeSlot(0), 2);
}

TEST_F(ItemStoreTest, FullStoreRefusesInsertAndAppend) {
    for (int i = 0; i < storeSlots; ++i)
        ASSERT_TRUE(listAppend(named("e" + std::to_string(i))));
    EXPECT_EQ(store.freeSlot, -1);
    const auto before = walkNames();
    EXPECT_FALSE(listAppend(named("one too many")));
    seek(5);
    EXPECT_FALSE(listInsert(named("one too many")));
    EXPECT_EQ(walkNames(), before);
}

TEST_F(ItemStoreTest, TheLastEntryCanBeCopiedAndInsertedAgain) {
    fill({"a", "b"});
    seek(1);
    const MenuEntry copy = items[1];
    seek(0);
    ASSERT_TRUE(listInsert(copy));
    EXPECT_EQ(walkNames(), (std::vector<std::string>{"b", "a", "b"}));
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
}

} // namespace
} // namespace zv

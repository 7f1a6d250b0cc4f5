#include "test_support.h"

namespace zv {
namespace {

using Names = test::Names;
using test::namesInList;

const auto named = [](const std::string& n) { return MenuEntry{n, File, 0, Target(""), -1, -1}; };

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

TEST_F(ItemStoreTest, RemoveAtEveryPlaceAndInsertBeforeARemovedEntryAppends) {
    fill({"a", "b", "c", "d"});
    remove(0); // the head moves on
    EXPECT_EQ(namesInList(), (Names{"b", "c", "d"}));
    remove(2); // the middle
    EXPECT_EQ(namesInList(), (Names{"b", "d"}));
    remove(3); // the last
    EXPECT_EQ(namesInList(), (Names{"b"}));
    EXPECT_EQ(lastSlot(), 1);
    remove(3); // not in the list any more: nothing happens
    EXPECT_EQ(namesInList(), (Names{"b"}));
    // A removed entry is not brought back by inserting before it.
    ASSERT_NE(insertBefore(2, named("new")), -1);
    ASSERT_NE(append(named("end")), -1);
    EXPECT_EQ(namesInList(), (Names{"b", "new", "end"}));
    // It keeps its name, so its slot is not handed out again this run.
    EXPECT_EQ(findFreeSlot(0), 6);
    EXPECT_FALSE(inList(0));
    EXPECT_TRUE(inList(1));
}

TEST_F(ItemStoreTest, SwapTradesContentsNotLinks) {
    fill({"a", "b", "c"});
    items[1] = MenuEntry{"b", File, 7, Target(std::int16_t{9}), 4, items[1].nextIndex};
    swapEntries(0, 1);
    EXPECT_EQ(namesInList(), (Names{"b", "a", "c"}));
    EXPECT_EQ(items[0].parentMenu, 7);
    EXPECT_EQ(items[0].iconIndex, 4);
    EXPECT_EQ(items[0].target, Target(std::int16_t{9}));
}

TEST_F(ItemStoreTest, FreeSlotsWrapAndAFullStoreRefusesInsertAndAppend) {
    for (int i = 0; i < storeSlots; ++i)
        items[i].name = "x";
    items[3].name.clear();
    EXPECT_EQ(findFreeSlot(100), 3);
    items[3].name = "x";
    EXPECT_EQ(findFreeSlot(100), -1);

    SetUp();
    for (int i = 0; i < storeSlots; ++i)
        ASSERT_NE(append(named("e" + std::to_string(i))), -1);
    EXPECT_EQ(store.freeSlot, -1);
    const auto before = namesInList();
    EXPECT_EQ(append(named("one too many")), -1);
    EXPECT_EQ(insertBefore(5, named("one too many")), -1);
    EXPECT_EQ(namesInList(), before);
}

TEST(TargetTest, TextAndNumberOfTheSameValueAreEqual) {
    EXPECT_EQ(Target(" 7 ").asNumber(), std::optional<std::int16_t>(7));
    EXPECT_EQ(Target(std::int16_t{7}), Target("7 "));
    for (const char* notANumber : {"7x", "", "32768"})
        EXPECT_FALSE(Target(notANumber).asNumber()) << notANumber;
    EXPECT_EQ(Target("-32768").asNumber(), std::optional<std::int16_t>(-32768));
    EXPECT_EQ(Target(std::int16_t{-3}).asText(), "-3");
    EXPECT_NE(Target("a"), Target("b"));
    // A number never equals a text that is no number.
    EXPECT_NE(Target(std::int16_t{0}), Target("x"));
    EXPECT_NE(Target(""), Target(std::int16_t{0}));
}

} // namespace
} // namespace zv

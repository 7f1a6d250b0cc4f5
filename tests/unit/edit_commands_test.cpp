#include "editing/edit_menu.h"
#include "test_support.h"

namespace zv {
namespace {

using test::messages;
using test::namesInList;
using test::rowNames;
using Names = test::Names;

// Entries of the full pop-up menu, by position.
enum Action { Disable = 0, Delete = 4, Cut = 6, Copy = 7, Paste = 8, MoveUp = 9, MoveDown = 10 };

// Root: 0 A, 1 Sub (menu 1), 2 B, 3 C. Menu 1: In1, Nested (menu 2). Menu 2: Deep. An entry of
// menu 3 stands before the Menu entry that opens it, as a new submenu's placeholder does.
const std::string editMenuFile = " 3 \r\nA, 0 , 0 ,a,-1 \r\nOrphan, 0 , 3 ,o,-1 \r\n"
                                 "Sub, 1 , 0 , 1 ,-1 \r\nIn1, 0 , 1 ,i,-1 \r\n"
                                 "Nested, 1 , 1 , 2 ,-1 \r\nDeep, 0 , 2 ,d,-1 \r\n"
                                 "Later, 1 , 2 , 3 ,-1 \r\nB, 0 , 0 ,b,-1 \r\nC, 0 , 0 ,c,-1 \r\n";

class EditCommandsTest : public test::ProgramTest {
  protected:
    void SetUp() override { startEditing(editMenuFile); }
    void startEditing(const std::string& menuFile) {
        start(menuFile);
        clickTrigger();
        editMenu.editMode = true;
    }
};

TEST_F(EditCommandsTest, CopyMarksNothingCutAndPasteMoveAnEntry) {
    command(root(), 3, Copy);
    EXPECT_FALSE(unsavedChanges);
    ASSERT_TRUE(clipItem.has_value());
    EXPECT_EQ(clipItem->name, "C");
    command(root(), 2, Cut);
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(rowNames(root()), (Names{"A", "Sub", "C"}));
    // Paste into the submenu above its highlighted row; the clipboard stays filled.
    MenuWindow& sub = openSub(1);
    command(sub, 1, Paste);
    EXPECT_EQ(rowNames(sub), (Names{"In1", "B", "Nested"}));
    command(sub, 0, Paste);
    EXPECT_EQ(rowNames(sub), (Names{"B", "In1", "B", "Nested"}));
}

TEST_F(EditCommandsTest, MovesSwapWithoutRedrawAndRefuseAtTheEnds) {
    command(root(), 0, Disable);
    EXPECT_FALSE(editMenu.editMode);
    // The pop-up stops the hover timer, whose tick would open or close a submenu under it.
    root().mouseMove(0, 0, 50, 5);
    root().mouseMove(0, 0, 50, 25);
    ASSERT_TRUE(headless::record(*root().window()).timer.running);
    command(root(), 0, 4); // "&No action :)" of the short menu does nothing
    EXPECT_FALSE(headless::record(*root().window()).timer.running);
    command(root(), 0, 0); // "&Enable Edit mode"
    EXPECT_TRUE(editMenu.editMode);
    command(root(), 0, MoveUp);
    command(root(), 3, MoveDown);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "You cannot move the uppermost menu item up.");
    EXPECT_EQ(messages()[1].text, "You cannot move the lowest menu item down.");
    EXPECT_FALSE(unsavedChanges);

    const int presents = headless::record(*root().window()).presents;
    command(root(), 2, MoveDown);
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(headless::record(*root().window()).presents, presents); // no redraw
    EXPECT_EQ(root().hoverRow, 2);
    EXPECT_EQ(items[root().slotOfRow(2)].name, "C"); // the entry moved aside now holds the row
    EXPECT_EQ(items[root().slotOfRow(3)].name, "B");
}

TEST_F(EditCommandsTest, DeleteTakesSubmenusThatFollowAndRefusesTheOnlyRow) {
    command(root(), 1, Delete);
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(rowNames(root()), (Names{"A", "B", "C"}));
    // Menus 1, 2 and 3 went with every entry, the one before its Menu entry too.
    EXPECT_EQ(namesInList(), (Names{"A", "B", "C"}));

    // Nesting deeper than the eleven menu levels is followed all the same.
    std::string deep = " 20 \r\nTop, 1 , 0 , 1 ,-1 \r\nKeep, 0 , 0 ,k,-1 \r\n";
    for (int id = 1; id < 16; ++id)
        deep += "L" + std::to_string(id) + ", 1 , " + std::to_string(id) + " , " +
                std::to_string(id + 1) + " ,-1 \r\n";
    startEditing(deep + "Bottom, 0 , 16 ,b,-1 \r\n");
    command(root(), 0, Delete);
    EXPECT_EQ(namesInList(), (Names{"Keep"}));
    // An entry that opens the root again takes nothing of the root with it.
    startEditing(" 1 \r\nA, 0 , 0 ,a,-1 \r\nSub, 1 , 0 , 1 ,-1 \r\nBack, 1 , 1 , 0 ,-1 \r\n");
    command(root(), 1, Delete);
    EXPECT_EQ(namesInList(), (Names{"A"}));

    startEditing(" 1 \r\nOnly, 0 , 0 ,x,-1 \r\n");
    command(root(), 0, Delete);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "There must be at least 1 item in any menu.");
    EXPECT_EQ(namesInList(), (Names{"Only"}));
    EXPECT_FALSE(unsavedChanges);
}

TEST_F(EditCommandsTest, EmptiedMenusCanBeFilledAgainAndAFullStoreIsRefused) {
    MenuWindow& sub = openSub(1);
    command(sub, 0, Cut);
    command(sub, 0, Cut);
    EXPECT_EQ(sub.lastRow, -1);
    // Paste with no row: the entry goes to the end of the list, in the caller's menu.
    command(sub, 0, Paste);
    EXPECT_EQ(rowNames(sub), (Names{"Nested"}));
    EXPECT_EQ(namesInList().back(), "Nested");

    // With every slot taken Paste is refused with a message and changes nothing.
    test::fillStore();
    const auto before = namesInList();
    unsavedChanges = false;
    command(sub, 0, Paste);
    EXPECT_EQ(namesInList(), before);
    EXPECT_FALSE(unsavedChanges);
    ASSERT_FALSE(messages().empty());
    EXPECT_NE(messages().back().text.find("The menu is full"), std::string::npos);
    EXPECT_EQ(messages().back().title, "Zelvora");
}

} // namespace
} // namespace zv

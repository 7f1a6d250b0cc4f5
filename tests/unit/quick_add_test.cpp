#include "core/app_state.h"
#include "core/item_store.h"
#include "editing/edit_menu.h"
#include "editing/quick_add_dialog.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

constexpr int BatchAdd = 12;

// Root: Top1 (menu 1) holding Nested (menu 2); Top2 (menu 3); Plain.
const std::string menu = " 3 \r\n"
                         "Top1, 1 , 0 , 1 ,-1 \r\n"
                         "Nested, 1 , 1 , 2 ,-1 \r\n"
                         "Top2, 1 , 0 ,\" 3 \",-1 \r\n"
                         "Plain, 0 , 0 ,p,-1 \r\n";

class QuickAddTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.write("Alpha.exe", "x");
        tree.write("Beta.EXE", "x");
        tree.write("tool.exe.exe", "x");
        tree.write("sub/Gamma.exe", "x");
        test::startProgram(folder, menu);
        triggerWindow.mouseDown(platform::buttonLeft, 0, 5, 5);
        triggerWindow.mouseUp(platform::buttonLeft, 0, 5, 5);
        editMenu.editMode = true;
    }
    void batchAdd(const std::string& folderAnswer) {
        headless::dialogs().folderAnswers.push_back(folderAnswer);
        headless::dialogs().popupAnswers.push_back(BatchAdd);
        menuLevel(0).hoverRow = 0;
        menuLevel(0).mouseDown(platform::buttonRight, 0, 10, 10);
    }
    platform::Dialog& dialog() { return *headless::openDialogs().at(0)->dialog; }
    const platform::Control& control(const char* name) {
        return quickAddDialog.model.control(name);
    }
    std::vector<std::string> menuNames(std::int16_t id) {
        std::vector<std::string> names;
        for (std::int16_t slot : listOrder())
            if (items[slot].parentMenu == id)
                names.push_back(items[slot].name);
        return names;
    }
    std::vector<std::string> messageTexts() {
        std::vector<std::string> texts;
        for (const auto& m : headless::state().messages)
            texts.push_back(m.text);
        return texts;
    }
    test::TempFolder folder;
    test::TempFolder tree;
};

TEST_F(QuickAddTest, OffersEachFileWithItsNameCategoriesAndIcon) {
    batchAdd(tree.path());
    ASSERT_TRUE(batchAddOpen);
    ASSERT_EQ(headless::openDialogs().size(), 1u);
    EXPECT_EQ(headless::record(dialog()).titleOnScreen, "Zelvora QuickAdd 0.9");
    EXPECT_FALSE(headless::record(dialog()).modal);
    const auto& calls = headless::dialogs().choosers;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "Please select a folder to search");
    // topTwips-level submenus only, in list order.
    EXPECT_EQ(control("cmbCategory").items,
              (std::vector<std::string>{"(top-level)", "Top1", "Top2"}));
    EXPECT_EQ(control("cmbCategory").selected, 0);
    EXPECT_EQ(control("lblName").text, "Alpha");
    EXPECT_EQ(control("lblTarget").text, tree.path() + "\\Alpha.exe");
    EXPECT_TRUE(control("cmdYes").enabled);
    // The file's large icon is drawn in the picture box.
    const auto& picture = headless::record(dialog()).pictures.at("ico");
    EXPECT_GT(picture.presents, 0);

    headless::userClicks(dialog(), "cmdNo");
    EXPECT_EQ(control("lblName").text, "Beta.EXE"); // an upper-case ending stays
    headless::userClicks(dialog(), "cmdNo");
    EXPECT_EQ(control("lblName").text, "tool"); // every ".exe" goes
    EXPECT_EQ(offeredName("a.lnk.exe.lnk"), "a");
}

TEST_F(QuickAddTest, AcceptedFilesGoToTheChosenMenuInReverseOrder) {
    batchAdd(tree.path());
    headless::userClicks(dialog(), "cmdYes"); // Alpha to the root
    headless::userSelects(dialog(), "cmbCategory", 2);
    headless::userClicks(dialog(), "cmdYes"); // Beta.EXE to Top2 (id 3, read as text)
    headless::userSelects(dialog(), "cmbCategory", 0);
    headless::userClicks(dialog(), "cmdYes"); // tool to the root
    EXPECT_EQ(control("lblName").text, "Gamma");
    headless::userClicks(dialog(), "cmdNo");
    // The search is over: both messages, the dialog closed.
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Search accomplished.",
                                                        "Please Save the changes and restart "
                                                        "Zelvora."}));
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
    EXPECT_EQ(menuNames(0), (std::vector<std::string>{"Top1", "Top2", "tool", "Alpha", "Plain"}));
    EXPECT_EQ(menuNames(3), (std::vector<std::string>{"Beta.EXE"}));
    for (std::int16_t slot = 0; slot < storeSlots; ++slot)
        if (items[slot].name == "Alpha") {
            EXPECT_EQ(items[slot].iconIndex, -1);
            EXPECT_EQ(items[slot].target.asText(), tree.path() + "\\Alpha.exe");
        }
    // Accepted files count as changes: quitting asks to save.
    EXPECT_TRUE(unsavedChanges);
}

TEST_F(QuickAddTest, EmptyNamesAndAFullStoreAreRefusedWithAMessage) {
    batchAdd(tree.path());
    headless::userTypes(dialog(), "lblName", "");
    headless::userClicks(dialog(), "cmdYes");
    EXPECT_EQ(messageTexts().back(), "Please select a name");
    EXPECT_EQ(control("lblTarget").text, tree.path() + "\\Alpha.exe"); // still on offer
    EXPECT_EQ(menuNames(0).size(), 3u);

    while (store.freeSlot != -1) {
        append(MenuEntry{"filler", File, 9, Target("f"), -1, -1});
    }
    headless::userTypes(dialog(), "lblName", "Alpha");
    headless::userClicks(dialog(), "cmdYes");
    EXPECT_NE(messageTexts().back().find("The menu is full"), std::string::npos);
    EXPECT_EQ(control("lblName").text, "Beta.EXE"); // moved on
}

TEST_F(QuickAddTest, OnlyOneAtATimeAndAnEarlyCloseEndsIt) {
    batchAdd(tree.path());
    batchAdd(tree.path()); // ignored while open
    EXPECT_EQ(headless::openDialogs().size(), 1u);
    EXPECT_EQ(headless::dialogs().choosers.size(), 1u);
    headless::dialogs().folderAnswers.clear(); // the ignored command asked for no folder

    headless::userCloses(dialog());
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"Please Save the changes and restart Zelvora."}));
    EXPECT_FALSE(unsavedChanges);

    // A new batch add lists the top-level submenus again; a cancelled folder choice ends it.
    batchAdd(tree.path());
    EXPECT_EQ(control("cmbCategory").items.size(), 3u);
    headless::userCloses(dialog());
    batchAdd("");
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
}

TEST_F(QuickAddTest, ClosingDuringASearchStepEndsTheSearchThere) {
    for (int i = 0; i < 30; ++i)
        tree.write("empty" + std::to_string(i) + "/readme.txt", "x");
    tree.write("zz/last.exe", "x");
    batchAdd(tree.path());
    int yields = 0;
    headless::desktop().onYield = [&] {
        // While the step runs, Yes and No are held back.
        EXPECT_FALSE(control("cmdYes").enabled);
        EXPECT_FALSE(headless::userClicks(dialog(), "cmdYes"));
        if (++yields == 20)
            headless::userCloses(dialog());
    };
    headless::userClicks(dialog(), "cmdNo");
    headless::userClicks(dialog(), "cmdNo");
    headless::userClicks(dialog(), "cmdNo"); // the root's files are done: the search goes on
    headless::desktop().onYield = nullptr;
    EXPECT_EQ(yields, 20);
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
    for (const auto& text : messageTexts())
        EXPECT_NE(text, "Search accomplished.");
    EXPECT_EQ(menuNames(0).size(), 3u);
}

} // namespace
} // namespace zv

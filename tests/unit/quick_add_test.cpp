#include "editing/edit_menu.h"
#include "editing/quick_add_dialog.h"
#include "test_support.h"

namespace zv {
namespace {

using headless::userClicks;
using test::messages;
using Names = test::Names;

constexpr int BatchAdd = 12;

class QuickAddTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        for (const char* file : {"Alpha.exe", "Beta.EXE", "tool.exe.exe", "sub/Gamma.exe"})
            tree.write(file, "x");
        // Root: Top1 (menu 1) holding Nested (menu 2); Top2 (menu 3); Plain.
        start(" 3 \r\nTop1, 1 , 0 , 1 ,-1 \r\nNested, 1 , 1 , 2 ,-1 \r\n"
              "Top2, 1 , 0 ,\" 3 \",-1 \r\nPlain, 0 , 0 ,p,-1 \r\n");
        clickTrigger();
        editMenu.editMode = true;
    }
    void batchAdd(const std::string& folderAnswer) {
        headless::dialogs().folderAnswers.push_back(folderAnswer);
        command(root(), 0, BatchAdd);
    }
    platform::Dialog& dialog() { return *headless::openDialogs().at(0)->dialog; }
    const platform::Control& control(const char* name) {
        return quickAddDialog.model.control(name);
    }
    Names menuNames(std::int16_t id) {
        Names names;
        for (std::int16_t slot : listOrder())
            if (items[slot].parentMenu == id)
                names.push_back(items[slot].name);
        return names;
    }
    test::TempFolder tree;
};

TEST_F(QuickAddTest, EmptyNamesAndAFullStoreAreRefusedWithAMessage) {
    batchAdd(tree.path());
    headless::userTypes(dialog(), "lblName", "");
    userClicks(dialog(), "cmdYes");
    EXPECT_EQ(messages().back().text, "Please select a name");
    EXPECT_EQ(control("lblTarget").text, tree.path() + "\\Alpha.exe"); // still on offer
    EXPECT_EQ(menuNames(0).size(), 3u);

    test::fillStore();
    headless::userTypes(dialog(), "lblName", "Alpha");
    userClicks(dialog(), "cmdYes");
    EXPECT_NE(messages().back().text.find("The menu is full"), std::string::npos);
    EXPECT_EQ(control("lblName").text, "Beta"); // moved on, ".EXE" dropped as ".exe" is
}

TEST_F(QuickAddTest, OnlyOneAtATimeAndAnEarlyCloseEndsIt) {
    const int icons = headless::liveIcons();
    batchAdd(tree.path());
    batchAdd(tree.path()); // ignored while open
    EXPECT_EQ(headless::openDialogs().size(), 1u);
    EXPECT_EQ(headless::dialogs().choosers.size(), 1u);
    headless::dialogs().folderAnswers.clear(); // the ignored command asked for no folder

    headless::userCloses(dialog());
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
    EXPECT_EQ(headless::liveIcons(), icons) << "the offered file's icon goes with the dialog";
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Please Save the changes and restart Zelvora.");
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
        EXPECT_FALSE(userClicks(dialog(), "cmdYes"));
        if (++yields == 20)
            headless::userCloses(dialog());
    };
    for (int i = 0; i < 3; ++i) // the root's files are done: the search goes on
        userClicks(dialog(), "cmdNo");
    headless::desktop().onYield = nullptr;
    EXPECT_EQ(yields, 20);
    EXPECT_TRUE(headless::openDialogs().empty());
    EXPECT_FALSE(batchAddOpen);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Please Save the changes and restart Zelvora.");
    EXPECT_EQ(menuNames(0).size(), 3u);
}

} // namespace
} // namespace zv

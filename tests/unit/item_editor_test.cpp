#include "core/app_state.h"
#include "core/item_store.h"
#include "editing/edit_menu.h"
#include "editing/item_editor.h"
#include "graphics/icon_registry.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using headless::userClicks;
using headless::userSelects;
using headless::userTypes;

constexpr int Modify = 2, Insert = 3;

// Catalogue: icon 0 in no group; group Apps holds 1 and 2; group Places holds 3.
const std::string catalogue = "Loose,loose.ico\r\n#,Apps\r\nEditor,editor.ico\r\n"
                              "Shell,shell.ico\r\n#,Places\r\nFolder,folder.ico\r\n";
// Root rows: 0 File with catalogue icon 2, 1 Sub (menu 4) icon taken from its target, 2 Head,
// 3 Quit special, 4 Loose-icon file.
const std::string menu = " 4 \r\n"
                         "Editor, 0 , 0 ,C:\\ed.exe, 2 \r\n"
                         "Sub, 1 , 0 , 4 ,-1 \r\n"
                         "Head, 2 , 0 ,,-1 \r\n"
                         "Quit, 3 , 0 , 0 , 3 \r\n"
                         "Loose, 0 , 0 ,x, 0 \r\n"
                         "Inside, 0 , 4 ,i,-1 \r\n";

class ItemEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* icon : {"loose.ico", "editor.ico", "shell.ico", "folder.ico"})
            folder.write(icon, "icon bytes");
        test::startProgram(folder, menu, catalogue);
        triggerWindow.mouseDown(platform::buttonLeft, 0, 5, 5);
        triggerWindow.mouseUp(platform::buttonLeft, 0, 5, 5);
        editMenu.editMode = true;
    }
    MenuWindow& root() { return menuLevel(0); }
    platform::DialogModel& model() { return itemEditor.model; }
    const platform::Control& control(const char* name) { return itemEditor.model.control(name); }
    // Runs a command whose dialog the script answers as the user.
    void command(int row, int entry, headless::DialogScript script) {
        root().hoverRow = static_cast<std::int16_t>(row);
        headless::dialogs().popupAnswers.push_back(entry);
        if (script)
            headless::dialogs().scripts.push_back(std::move(script));
        root().mouseDown(platform::buttonRight, 0, 10, 10);
    }
    std::vector<std::string> rowNames() {
        std::vector<std::string> names;
        for (int i = 0; i <= root().lastRow; ++i)
            names.push_back(items[root().rowSlots[i]].name);
        return names;
    }
    std::vector<headless::ShownMessage>& messages() { return headless::state().messages; }
    test::TempFolder folder;
};

TEST_F(ItemEditorTest, SetupForANewEntryPicksTheFirstIconOfTheFirstGroup) {
    itemEditor.prepare(nullptr, 7);
    EXPECT_FALSE(itemEditor.editExisting);
    EXPECT_EQ(itemEditor.entry().parentMenu, 7);
    EXPECT_EQ(control("defType").items, (std::vector<std::string>{"Apps", "Places"}));
    EXPECT_EQ(control("defType").selected, 0);
    EXPECT_EQ(control("defIcons").items, (std::vector<std::string>{"Editor", "Shell"}));
    EXPECT_EQ(control("defIcons").selected, 0);
    EXPECT_EQ(itemEditor.entry().iconIndex, 1);
    EXPECT_EQ(control("cmbSpecials").items,
              (std::vector<std::string>{"Quit Zelvora", "Shutdown computer", "Run"}));
    // The loaded state: "Execute file:" chosen with its target enabled; no icon option chosen.
    EXPECT_TRUE(control("opt0").checked);
    EXPECT_TRUE(control("txtTarget").enabled);
    EXPECT_TRUE(control("cmdLoad").enabled);
    EXPECT_FALSE(control("cmbSpecials").enabled);
    EXPECT_FALSE(control("optIco0").checked);
    EXPECT_FALSE(control("optIco1").checked);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(control(("opt" + std::to_string(i)).c_str()).enabled);
    itemEditor.unload();
}

TEST_F(ItemEditorTest, SetupForExistingEntriesShowsTheirTypeAndIcon) {
    // A catalogue icon: its group and position, "Use user icon", the preview drawn.
    itemEditor.prepare(&items[root().slotOfRow(0)], 0);
    EXPECT_TRUE(itemEditor.editExisting);
    EXPECT_EQ(control("txtName").text, "Editor");
    EXPECT_EQ(control("txtTarget").text, "C:\\ed.exe");
    EXPECT_EQ(control("defType").selected, 0);
    EXPECT_EQ(control("defIcons").selected, 1);
    EXPECT_TRUE(control("optIco0").checked);
    EXPECT_EQ(itemEditor.entry().iconIndex, 2);
    EXPECT_FALSE(control("opt1").enabled); // the type cannot change
    EXPECT_TRUE(control("opt0").enabled && control("opt0").checked);
    itemEditor.unload();

    // An icon taken from the target: "Rip the icon", which keeps -1.
    itemEditor.prepare(&items[root().slotOfRow(1)], 0);
    EXPECT_TRUE(control("optIco1").checked);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    EXPECT_FALSE(control("defType").enabled);
    EXPECT_TRUE(control("opt1").checked);
    EXPECT_FALSE(control("txtTarget").enabled);
    itemEditor.unload();

    // A special: its code chosen in the list, the list enabled.
    itemEditor.prepare(&items[root().slotOfRow(3)], 0);
    EXPECT_TRUE(control("opt3").checked);
    EXPECT_EQ(control("cmbSpecials").selected, 0);
    EXPECT_TRUE(control("cmbSpecials").enabled);
    itemEditor.unload();

    // A catalogue icon in no group keeps its number with neither icon option chosen.
    itemEditor.prepare(&items[root().slotOfRow(4)], 0);
    EXPECT_EQ(itemEditor.entry().iconIndex, 0);
    EXPECT_FALSE(control("optIco0").checked || control("optIco1").checked);
    itemEditor.unload();
}

TEST_F(ItemEditorTest, IconControlsChangeTheIconOnlyWhereTheyShould) {
    itemEditor.prepare(&items[root().slotOfRow(1)], 0); // "Rip the icon": -1
    itemEditor.selectIconOption(0);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1); // "Use user icon" alone changes nothing
    EXPECT_TRUE(control("defType").enabled);
    itemEditor.selectGroup(1);
    EXPECT_EQ(control("defIcons").items, (std::vector<std::string>{"Folder"}));
    EXPECT_EQ(control("defIcons").selected, -1);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1); // a group alone changes nothing either
    itemEditor.selectIcon(0);
    EXPECT_EQ(itemEditor.entry().iconIndex, 3);
    itemEditor.selectIconOption(1);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    itemEditor.unload();
}

TEST_F(ItemEditorTest, InsertOnRowTwoAddsAFileEntryAboveIt) {
    command(2, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "Notes");
        userTypes(d, "txtTarget", "C:\\notes.txt");
        userClicks(d, "cmdOK");
    });
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(rowNames(),
              (std::vector<std::string>{"Editor", "Sub", "Notes", "Head", "Quit", "Loose"}));
    EXPECT_EQ(root().heightTwips, (6 * 20 + 2) * 15);
    const MenuEntry& added = items[root().slotOfRow(2)];
    EXPECT_EQ(added.itemType, File);
    EXPECT_EQ(added.target.asText(), "C:\\notes.txt");
    EXPECT_EQ(added.parentMenu, 0);
    ASSERT_EQ(headless::dialogs().shown.size(), 1u);
    EXPECT_EQ(headless::dialogs().shown[0].title, "Edit");
    EXPECT_TRUE(headless::dialogs().shown[0].modal);
}

TEST_F(ItemEditorTest, NewSubmenusGetConsecutiveIdsAndAPlaceholder) {
    auto newMenu = [](const char* name) {
        return [name](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
            userTypes(d, "txtName", name);
            userClicks(d, "opt1");
            userClicks(d, "cmdOK");
        };
    };
    command(0, Insert, newMenu("First"));
    command(0, Insert, newMenu("Second"));
    EXPECT_EQ(lastMenuId, 6);
    EXPECT_EQ(rowNames().front(), "Second");
    EXPECT_EQ(items[root().slotOfRow(0)].target, Target(std::int16_t{6}));
    EXPECT_EQ(items[root().slotOfRow(1)].target, Target(std::int16_t{5}));
    // The placeholder shows only inside the new submenu.
    for (const auto& name : rowNames())
        EXPECT_NE(name, "No program");
    root().hoverRow = 1;
    root().timerTick();
    ASSERT_EQ(topLevel, 1);
    EXPECT_EQ(menuLevel(1).lastRow, 0);
    EXPECT_EQ(items[menuLevel(1).slotOfRow(0)].name, "No program");
    EXPECT_EQ(items[menuLevel(1).slotOfRow(0)].target.asText(), "");

    // Choosing "Menu" and cancelling uses up no id.
    command(0, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userClicks(d, "opt1");
        userClicks(d, "cmdCancel");
    });
    EXPECT_EQ(rowNames().size(), 7u);
    EXPECT_EQ(lastMenuId, 6);
}

TEST_F(ItemEditorTest, OkRefusesBadNamesAndNamesEmptySeparators) {
    int attempts = 0;
    command(0, Insert, [&](platform::Dialog& d, platform::DialogModel& m, platform::DialogEvents&) {
        userTypes(d, "txtName", "a,b");
        userClicks(d, "opt4"); // even a separator may not hold a comma
        userClicks(d, "cmdOK");
        ++attempts;
        EXPECT_TRUE(headless::record(d).open);
        EXPECT_EQ(headless::record(d).focused, "txtName");
        userTypes(d, "txtName", "\"quoted");
        userClicks(d, "cmdOK");
        EXPECT_TRUE(headless::record(d).open);
        userTypes(d, "txtName", "");
        userClicks(d, "cmdOK"); // an empty separator is named "Separator"
        EXPECT_EQ(m.control("txtName").text, "Separator");
    });
    EXPECT_EQ(attempts, 1);
    ASSERT_GE(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "Name cannot contain commas");
    EXPECT_EQ(messages()[0].title, "Zelvora");
    EXPECT_NE(messages()[1].text.find("double quote"), std::string::npos);
    EXPECT_EQ(items[root().slotOfRow(0)].name, "Separator");
    EXPECT_EQ(items[root().slotOfRow(0)].itemType, Separator);

    messages().clear();
    command(0, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userClicks(d, "cmdOK"); // no name, a file entry
        EXPECT_TRUE(headless::record(d).open);
        userClicks(d, "cmdCancel");
    });
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Please select a name");
    EXPECT_EQ(rowNames().size(), 6u);
}

TEST_F(ItemEditorTest, ModifyKeepsTheChainAndTheSubmenuId) {
    command(1, Modify, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "Renamed");
        userClicks(d, "cmdOK");
    });
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"Editor", "Renamed", "Head", "Quit", "Loose"}));
    EXPECT_EQ(items[root().slotOfRow(1)].target.asNumber(), std::optional<std::int16_t>(4));
    EXPECT_EQ(lastMenuId, 4);
    EXPECT_TRUE(unsavedChanges);
}

TEST_F(ItemEditorTest, ChoosersFillTheTargetAndCancelsBehaveAsTheButtonsSay) {
    headless::dialogs().fileAnswers = {std::nullopt, std::string("C:\\chosen.exe")};
    headless::dialogs().folderAnswers = {""};
    command(0, Modify, [](platform::Dialog& d, platform::DialogModel& m, platform::DialogEvents&) {
        userClicks(d, "cmdLoad"); // cancelled: the target stays
        EXPECT_EQ(m.control("txtTarget").text, "C:\\ed.exe");
        userClicks(d, "cmdLoad");
        EXPECT_EQ(m.control("txtTarget").text, "C:\\chosen.exe");
        userClicks(d, "cmdLoadFolder"); // cancelled: the target is emptied
        EXPECT_EQ(m.control("txtTarget").text, "");
        userClicks(d, "cmdCancel");
    });
    const auto& calls = headless::dialogs().choosers;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, "C:\\ed.exe"); // the current target as the initial file
    EXPECT_EQ(calls[2].kind, headless::ChooserCall::Kind::Folder);
    EXPECT_EQ(calls[2].text, "Select the target folder");
    EXPECT_EQ(items[root().slotOfRow(0)].target.asText(), "C:\\ed.exe");
}

TEST_F(ItemEditorTest, ARefusedInsertUsesUpNoSubmenuId) {
    // One free slot left: a new submenu needs two (its entry and its placeholder).
    while (findFreeSlot(0) != -1 && [] {
        int free = 0;
        for (const auto& item : items)
            free += item.name.empty();
        return free > 1;
    }()) {
        append(MenuEntry{"filler", File, 9, Target("f"), -1, -1});
    }
    const auto rowsBefore = rowNames();
    command(0, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "Sub2");
        userClicks(d, "opt1");
        userClicks(d, "cmdOK");
    });
    EXPECT_EQ(lastMenuId, 4);
    EXPECT_EQ(rowNames(), rowsBefore);
    ASSERT_FALSE(messages().empty());
    EXPECT_NE(messages().back().text.find("The menu is full"), std::string::npos);

    // With no slot at all the editor does not even open.
    append(MenuEntry{"filler", File, 9, Target("f"), -1, -1});
    const auto shown = headless::dialogs().shown.size();
    command(0, Insert, {});
    EXPECT_EQ(headless::dialogs().shown.size(), shown);
    EXPECT_EQ(rowNames(), rowsBefore);
}

TEST_F(ItemEditorTest, NoSubmenuIdIsHandedOutPastTheHighest) {
    lastMenuId = 32767;
    const auto rowsBefore = rowNames();
    command(0, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "Sub2");
        userClicks(d, "opt1");
        userClicks(d, "cmdOK");
    });
    EXPECT_EQ(lastMenuId, 32767);
    EXPECT_EQ(rowNames(), rowsBefore);
    ASSERT_FALSE(messages().empty());
    EXPECT_NE(messages().back().text.find("The menu is full"), std::string::npos);
}

TEST_F(ItemEditorTest, AnEditorTheSystemCannotMakeCountsAsCancel) {
    command(0, Insert, [](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "X");
        userClicks(d, "cmdOK");
    });
    const auto rowsBefore = rowNames();
    unsavedChanges = false;
    headless::state().windowsCannotBeMade = true;
    command(1, Modify, {});
    command(1, Insert, {});
    EXPECT_EQ(rowNames(), rowsBefore);
    EXPECT_FALSE(unsavedChanges);
}

TEST_F(ItemEditorTest, EachEditAnswersForItselfAndANewEntryStartsEmpty) {
    auto& scripts = headless::dialogs().scripts;
    scripts.push_back([](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "X");
        userTypes(d, "txtTarget", "C:\\x.exe");
        userClicks(d, "cmdOK");
    });
    const auto first = itemEditor.edit(nullptr, 0, nullptr);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->name, "X");
    EXPECT_EQ(first->target.asText(), "C:\\x.exe");
    // Closed at once: no answer, whatever the edit before said.
    EXPECT_FALSE(itemEditor.edit(nullptr, 0, nullptr).has_value());
    // A new Header carries no target of an earlier edit.
    scripts.push_back([](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) {
        userTypes(d, "txtName", "H");
        userClicks(d, "opt2");
        userClicks(d, "cmdOK");
    });
    const auto header = itemEditor.edit(nullptr, 0, nullptr);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->itemType, Header);
    EXPECT_EQ(header->target.asText(), "");
}

} // namespace
} // namespace zv

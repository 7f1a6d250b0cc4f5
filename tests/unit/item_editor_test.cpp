#include "core/menu_file.h"
#include "editing/edit_menu.h"
#include "editing/item_editor.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

#include <algorithm>

namespace zv {
namespace {

using headless::userClicks;
using headless::userTypes;
using platform::Dialog;
using test::asUser;
using test::messages;
using Names = test::Names;

constexpr int Modify = 2, Insert = 3;

// Catalogue: icon 0 in no group; group Apps holds 1 and 2; group Places holds 3.
const std::string catalogue = "Loose,loose.ico\r\n#,Apps\r\nEditor,editor.ico\r\n"
                              "Shell,shell.ico\r\n#,Places\r\nFolder,folder.ico\r\n";
// Root rows: 0 File with catalogue icon 2, 1 Sub (menu 4) icon taken from its target, 2 Head,
// 3 Quit special, 4 Loose-icon file.
const std::string menu = " 4 \r\nEditor, 0 , 0 ,C:\\ed.exe, 2 \r\nSub, 1 , 0 , 4 ,-1 \r\n"
                         "Head, 2 , 0 ,,-1 \r\nQuit, 3 , 0 , 0 , 3 \r\nLoose, 0 , 0 ,x, 0 \r\n"
                         "Inside, 0 , 4 ,i,-1 \r\n";

class ItemEditorTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        for (const char* icon : {"loose.ico", "editor.ico", "shell.ico", "folder.ico"})
            folder.write(icon, "icon bytes");
        start(menu, catalogue);
        clickTrigger();
        editMenu.editMode = true;
    }
    const platform::Control& control(const char* name) { return itemEditor.model.control(name); }
    // Runs a command on a root row whose dialog the user answers.
    void edit(int row, int entry, std::function<void(Dialog&)> acts) {
        if (acts)
            headless::dialogs().scripts.push_back(asUser(std::move(acts)));
        command(root(), row, entry);
    }
    // Inserts a new submenu named name above row 0.
    void insertSubmenu(const char* name) {
        edit(0, Insert, [name](Dialog& d) {
            userTypes(d, "txtName", name);
            userClicks(d, "opt1");
            userClicks(d, "cmdOK");
        });
    }
    void prepare(int row) {
        itemEditor.unload();
        itemEditor.prepare(&items[root().slotOfRow(row)], 0);
    }
};

TEST_F(ItemEditorTest, SetupShowsTheEntrysTypeAndIconOrForANewOneTheFirstIconOfTheFirstGroup) {
    itemEditor.prepare(nullptr, 7);
    EXPECT_EQ(itemEditor.entry().parentMenu, 7);
    EXPECT_EQ(control("defType").items, (Names{"Apps", "Places"}));
    EXPECT_EQ(control("defIcons").items, (Names{"Editor", "Shell"}));
    EXPECT_EQ(itemEditor.entry().iconIndex, 1);
    EXPECT_EQ(control("cmbSpecials").items, (Names{"Quit Zelvora", "Shutdown computer", "Run"}));
    // "Execute file:" chosen with its target enabled; no icon option chosen; any type possible.
    EXPECT_TRUE(control("opt0").checked && control("txtTarget").enabled &&
                control("cmdLoad").enabled);
    EXPECT_FALSE(control("cmbSpecials").enabled);
    EXPECT_FALSE(control("optIco0").checked || control("optIco1").checked);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(control(("opt" + std::to_string(i)).c_str()).enabled);

    // A catalogue icon: its group and position, "Use user icon"; the type cannot change.
    prepare(0);
    EXPECT_EQ(control("defType").selected, 0);
    EXPECT_EQ(control("defIcons").selected, 1);
    EXPECT_TRUE(control("optIco0").checked);
    EXPECT_EQ(itemEditor.entry().iconIndex, 2);
    EXPECT_FALSE(control("opt1").enabled);
    EXPECT_TRUE(control("opt0").enabled && control("opt0").checked);
    // An icon taken from the target: "Rip the icon", which keeps -1.
    prepare(1);
    EXPECT_TRUE(control("optIco1").checked && control("opt1").checked);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    EXPECT_FALSE(control("defType").enabled || control("txtTarget").enabled);
    // "Use user icon" alone changes nothing, nor does a group alone; an icon of the group does.
    itemEditor.selectIconOption(0);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    EXPECT_TRUE(control("defType").enabled);
    itemEditor.selectGroup(1);
    EXPECT_EQ(control("defIcons").items, (Names{"Folder"}));
    EXPECT_EQ(control("defIcons").selected, -1);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    itemEditor.selectIcon(0);
    EXPECT_EQ(itemEditor.entry().iconIndex, 3);
    itemEditor.selectIconOption(1);
    EXPECT_EQ(itemEditor.entry().iconIndex, -1);
    // A special: its code chosen in the list, the list enabled.
    prepare(3);
    EXPECT_TRUE(control("opt3").checked && control("cmbSpecials").enabled);
    EXPECT_EQ(control("cmbSpecials").selected, 0);
    // A catalogue icon in no group keeps its number with neither icon option chosen.
    prepare(4);
    EXPECT_EQ(itemEditor.entry().iconIndex, 0);
    EXPECT_FALSE(control("optIco0").checked || control("optIco1").checked);
    // A type no option stands for (the menu file takes any number) shows as a file.
    items[root().slotOfRow(4)].itemType = 9;
    prepare(4);
    EXPECT_TRUE(control("opt0").checked && control("opt0").enabled);
}

TEST_F(ItemEditorTest, NewSubmenusGetConsecutiveIdsAndAPlaceholder) {
    insertSubmenu("First");
    insertSubmenu("Second");
    EXPECT_EQ(lastMenuId, 6);
    EXPECT_EQ(items[root().slotOfRow(0)].target, Target(std::int16_t{6}));
    EXPECT_EQ(items[root().slotOfRow(1)].target, Target(std::int16_t{5}));
    // The placeholder shows only inside the new submenu.
    MenuWindow& sub = openSub(1);
    ASSERT_EQ(topLevel, 1);
    EXPECT_EQ(sub.lastRow, 0);
    EXPECT_EQ(items[sub.slotOfRow(0)].name, "No program");
    // It shows the catalogue icon chosen for the submenu, and saves it.
    const std::int16_t chosenIcon = items[root().slotOfRow(1)].iconIndex;
    ASSERT_TRUE(chosenIcon >= 0 && chosenIcon <= iconRegistry.lastCatalogueIcon);
    EXPECT_EQ(items[sub.slotOfRow(0)].iconIndex, chosenIcon);
    EXPECT_NE(menuFileText().find("No program, 0 , 5 ,," + numberForm(chosenIcon) + "\r\n"),
              std::string::npos);

    // Choosing "Menu", then the button or the close box to cancel: no id used, the editor shut.
    for (const bool closeBox : {false, true}) {
        edit(0, Insert, [closeBox](Dialog& d) {
            userClicks(d, "opt1");
            if (closeBox)
                headless::userCloses(d);
            else
                userClicks(d, "cmdCancel");
            EXPECT_FALSE(headless::record(d).open) << closeBox;
        });
        EXPECT_EQ(test::rowNames(root()).size(), 7u);
        EXPECT_EQ(lastMenuId, 6);
    }
}

TEST_F(ItemEditorTest, OkRefusesBadNamesAndNamesEmptySeparators) {
    edit(0, Insert, [](Dialog& d) {
        userTypes(d, "txtName", "a,b");
        userClicks(d, "opt4"); // even a separator may not hold a comma
        userClicks(d, "cmdOK");
        EXPECT_TRUE(headless::record(d).open);
        EXPECT_EQ(headless::record(d).focused, "txtName");
        userTypes(d, "txtName", "\"quoted");
        userClicks(d, "cmdOK");
        EXPECT_TRUE(headless::record(d).open);
        userTypes(d, "txtName", "");
        userClicks(d, "cmdOK"); // an empty separator is named "Separator"
        EXPECT_EQ(itemEditor.model.control("txtName").text, "Separator");
    });
    ASSERT_GE(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "Name cannot contain commas");
    EXPECT_EQ(messages()[0].title, "Zelvora");
    EXPECT_NE(messages()[1].text.find("double quote"), std::string::npos);
    EXPECT_EQ(items[root().slotOfRow(0)].name, "Separator");
    EXPECT_EQ(items[root().slotOfRow(0)].itemType, Separator);

    messages().clear();
    edit(0, Insert, [](Dialog& d) {
        userClicks(d, "cmdOK"); // no name, a file entry
        EXPECT_TRUE(headless::record(d).open);
        userTypes(d, "txtName", "N");
        userTypes(d, "txtTarget", "\"t");
        userClicks(d, "cmdOK");
        EXPECT_EQ(headless::record(d).focused, "txtTarget");
        userClicks(d, "cmdCancel");
    });
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "Please select a name");
    EXPECT_NE(messages()[1].text.find("Target cannot begin"), std::string::npos);
    EXPECT_EQ(test::rowNames(root()).size(), 6u);
}

TEST_F(ItemEditorTest, ChoosersFillTheTargetAndCancelsBehaveAsTheButtonsSay) {
    headless::dialogs().fileAnswers = {std::nullopt, std::string("C:\\chosen.exe")};
    headless::dialogs().folderAnswers = {""};
    edit(0, Modify, [](Dialog& d) {
        const auto& target = itemEditor.model.control("txtTarget");
        userClicks(d, "cmdLoad"); // cancelled: the target stays
        EXPECT_EQ(target.text, "C:\\ed.exe");
        userClicks(d, "cmdLoad");
        EXPECT_EQ(target.text, "C:\\chosen.exe");
        // What the target box shows, which only a sync brings from the model.
        auto shownTarget = [&d] {
            const auto& shown = headless::record(d).onScreen;
            const auto box = std::find_if(shown.begin(), shown.end(),
                                          [](const auto& c) { return c.name == "txtTarget"; });
            return box == shown.end() ? std::string("(none)") : box->text;
        };
        EXPECT_EQ(shownTarget(), "C:\\chosen.exe");
        userClicks(d, "cmdLoadFolder"); // cancelled: the target is emptied
        EXPECT_EQ(target.text, "");
        EXPECT_EQ(shownTarget(), "");
        userClicks(d, "cmdCancel");
    });
    const auto& calls = headless::dialogs().choosers;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, "C:\\ed.exe"); // the current target as the initial file
    EXPECT_EQ(calls[2].kind, headless::ChooserCall::Kind::Folder);
    EXPECT_EQ(calls[2].text, "Select the target folder");
    EXPECT_EQ(items[root().slotOfRow(0)].target.asText(), "C:\\ed.exe");
}

// A new submenu needs two slots (entry and placeholder) and a next id; with no slot, no editor.
TEST_F(ItemEditorTest, ARefusedNewSubmenuUsesUpNoId) {
    const auto rowsBefore = test::rowNames(root());
    for (int last : {32767, 4}) {
        SCOPED_TRACE(last);
        if (last == 4)
            test::fillStore(1);
        lastMenuId = static_cast<std::int16_t>(last);
        messages().clear();
        insertSubmenu("Sub2");
        EXPECT_EQ(lastMenuId, last);
        EXPECT_EQ(test::rowNames(root()), rowsBefore);
        ASSERT_FALSE(messages().empty());
        EXPECT_NE(messages().back().text.find("The menu is full"), std::string::npos);
    }
    test::fillStore();
    const auto shown = headless::dialogs().shown.size();
    command(root(), 0, Insert);
    EXPECT_EQ(headless::dialogs().shown.size(), shown);
    EXPECT_EQ(test::rowNames(root()), rowsBefore);
}

TEST_F(ItemEditorTest, AnEditorTheSystemCannotMakeCountsAsCancel) {
    edit(0, Insert, [](Dialog& d) {
        userTypes(d, "txtName", "X");
        userTypes(d, "txtTarget", "C:\\x.exe");
        userClicks(d, "cmdOK");
    });
    EXPECT_EQ(items[root().slotOfRow(0)].target.asText(), "C:\\x.exe");
    EXPECT_TRUE(unsavedChanges);
    unsavedChanges = false;
    edit(0, Modify, [](Dialog& d) { userClicks(d, "cmdOK"); });
    EXPECT_TRUE(unsavedChanges);
    unsavedChanges = false;
    headless::state().windowsCannotBeMade = true;
    command(root(), 1, Modify);
    command(root(), 1, Insert);
    EXPECT_EQ(test::rowNames(root()), (Names{"X", "Editor", "Sub", "Head", "Quit", "Loose"}));
    EXPECT_FALSE(unsavedChanges);
}

} // namespace
} // namespace zv

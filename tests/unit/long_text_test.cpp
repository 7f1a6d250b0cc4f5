// Texts far longer than any fixed buffer of the system's (MAX_PATH is 260): names, targets,
// catalogue file names and group names of about 5000 characters load, draw, save and run whole.
#include "core/menu_file.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

namespace zv {
namespace {

// `length` characters starting with `head`, then a repeating run that shows where a text was
// cut, and a distinct end.
std::string longText(const std::string& head, std::size_t length) {
    const std::string run = "0123456789abcdefghijklmnopqrstuvwxyz-";
    std::string text = head;
    while (text.size() < length - 4)
        text += run[text.size() % run.size()];
    return text + "#end";
}

const std::string longName = longText("Name ", 5000);
// A name that needs quotes in the file: it holds a comma.
const std::string longQuotedName = longText("Quoted, name ", 5003);
const std::string longTarget = longText("C:\\docs\\", 5011) + ".txt";
const std::string longSubmenuTarget = longText("D:\\deep\\", 4999);
const std::string longIconFile = longText("icons\\", 5007) + ".ico";
const std::string longGroup = longText("Group ", 5002);

// Rows: 0 the long name on the long target, 1 the quoted name (submenu 1), 2 Short. Every
// entry shows catalogue icon 0, so a save writes each line back as it was read.
const std::string menuFile = " 1 \r\n" + longName + ", 0 , 0 ," + longTarget + ", 0 \r\n" + "\"" +
                             longQuotedName + "\", 1 , 0 ,1, 0 \r\n" + "Inner, 0 , 1 ," +
                             longSubmenuTarget + ", 0 \r\n" + "Short, 0 , 0 ,C:\\s.exe, 0 \r\n";
const std::string catalogue = "#," + longGroup + "\r\n" + longName + "," + longIconFile + "\r\n";

class LongTextTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        start(menuFile, catalogue);
        clickTrigger();
        ASSERT_TRUE(root().isOpen());
    }
    const std::vector<headless::TextRecord>& texts(MenuWindow& menu) {
        return headless::record(*menu.window()).surface.texts();
    }
    void openSubmenu() {
        openSub(1);
        ASSERT_EQ(topLevel, 1);
    }
};

TEST_F(LongTextTest, TheFilesLoadWhole) {
    ASSERT_EQ(longName.size(), 5000u);
    ASSERT_GT(longTarget.size(), 5000u);
    const auto entries = test::entriesInList();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, longName);
    EXPECT_EQ(entries[0].target, Target(longTarget));
    EXPECT_EQ(entries[1].name, longQuotedName);
    EXPECT_EQ(entries[2].target, Target(longSubmenuTarget));
    EXPECT_EQ(entries[3].name, "Short");
    // The catalogue's one icon: its whole path, tag and group.
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, 0);
    EXPECT_EQ(iconRegistry.iconPaths[0], folder.path() + "\\" + longIconFile);
    EXPECT_EQ(getIconTag(0), longName);
    EXPECT_EQ(getIconGroupName(0), longGroup);
    EXPECT_TRUE(headless::state().messages.empty());
}

TEST_F(LongTextTest, CaptionsAreDrawnWhole) {
    // The text stays in its row however long it is; DrawTextA clips it there.
    const auto& root0 = texts(root());
    ASSERT_EQ(root0.size(), 3u);
    for (auto [i, text] :
         {std::pair{0, longName}, {1, longQuotedName}, {2, std::string("Short")}}) {
        EXPECT_EQ(root0[i].text, text);
        EXPECT_EQ(root0[i].rect, (Rect{35, 20 * i, 200, 20 * i + 20}));
    }
    // The icon file cannot be read (no file system takes such a name): the row shows no icon,
    // and nothing was drawn with a bad handle.
    EXPECT_EQ(iconHandle(0), nullptr);
    EXPECT_TRUE(headless::desktop().faults.empty());

    openSubmenu();
    const auto& inner = texts(menuLevel(1));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].text, "Inner");
}

TEST_F(LongTextTest, SaveWritesEveryByteBack) {
    openSubmenu(); // every row shown once, so every icon is looked at
    ASSERT_TRUE(saveMenuFile());
    EXPECT_EQ(folder.read("menu.qlf"), menuFile);
    EXPECT_FALSE(folder.exists("menu.qlf.tmp"));
    EXPECT_TRUE(headless::state().messages.empty());
}

TEST_F(LongTextTest, TheShellGetsTheWholePath) {
    void* owner = root().window()->handle();
    root().hoverRow = 0;
    root().keyDown(13, 0);
    ASSERT_EQ(headless::desktop().shellCalls.size(), 1u);
    EXPECT_EQ(headless::desktop().shellCalls[0],
              (headless::ShellCall{headless::ShellCall::Kind::Execute, owner, longTarget}));
    EXPECT_FALSE(root().isOpen());

    clickTrigger();
    openSubmenu();
    menuLevel(1).hoverRow = 0;
    menuLevel(1).keyDown(13, 0);
    ASSERT_EQ(headless::desktop().shellCalls.size(), 2u);
    EXPECT_EQ(headless::desktop().shellCalls[1].file, longSubmenuTarget);
    EXPECT_EQ(topLevel, -1);
}

} // namespace
} // namespace zv

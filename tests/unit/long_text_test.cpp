// Texts far longer than any fixed buffer of the system's (MAX_PATH is 260): names, targets,
// catalogue file names and group names of about 5000 characters load, draw, save and run whole.
#include "core/menu_file.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

namespace zv {
namespace {

// `length` characters: `head`, a run that shows where a text was cut, and a distinct end.
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
};

TEST_F(LongTextTest, TheFilesLoadAndAreDrawnAndSavedWhole) {
    ASSERT_EQ(longName.size(), 5000u);
    // The catalogue's one icon: its whole path, tag and group.
    EXPECT_EQ(iconRegistry.iconPaths[0], folder.path() + "\\" + longIconFile);
    EXPECT_EQ(getIconTag(0), longName);
    EXPECT_EQ(getIconGroupName(0), longGroup);

    // The text stays in its row however long it is; DrawTextA clips it there.
    const auto& texts = headless::record(*root().window()).surface.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, longName);
    EXPECT_EQ(texts[1].text, longQuotedName);
    EXPECT_EQ(texts[1].rect, (Rect{35, 20, 200, 40}));
    // No file system takes such a name: no icon, and nothing drawn with a bad handle.
    EXPECT_EQ(iconHandle(0), nullptr);
    EXPECT_TRUE(headless::desktop().faults.empty());

    openSub(1); // every row shown once, so every icon is looked at
    ASSERT_EQ(topLevel, 1);
    ASSERT_TRUE(saveMenuFile());
    EXPECT_EQ(folder.read("menu.qlf"), menuFile);
    EXPECT_TRUE(headless::state().messages.empty());
}

TEST_F(LongTextTest, TheShellGetsTheWholePath) {
    root().hoverRow = 0;
    root().keyDown(13, 0);
    clickTrigger();
    openSub(1);
    ASSERT_EQ(topLevel, 1);
    menuLevel(1).hoverRow = 0;
    menuLevel(1).keyDown(13, 0);
    const auto& calls = headless::desktop().shellCalls;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].file, longTarget);
    EXPECT_EQ(calls[1].file, longSubmenuTarget);
}

} // namespace
} // namespace zv

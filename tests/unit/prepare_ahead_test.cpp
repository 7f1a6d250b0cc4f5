#include "graphics/icon_registry.h"
#include "test_support.h"

#include <algorithm>

namespace zv {
namespace {

// Root: a program, a row with catalogue icon 1, a submenu with catalogue icon 0, a missing
// program, the same program again; submenu 1: another program. The catalogue has three icons.
class PrepareAheadTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        for (const char* file : {"app.exe", "other.exe", "i0.ico", "i1.ico", "i2.ico"})
            folder.write(file, "bytes");
        const std::string app = folder.path() + "\\app.exe";
        menuFile = " 0 \r\nApp, 0 , 0 ," + app + ",-1 \r\nPictured, 0 , 0 ,x, 1 \r\n" +
                   "Sub, 1 , 0 , 1 , 0 \r\nMissing, 0 , 0 ,missing.exe,-1 \r\nAgain, 0 , 0 ," +
                   app + ",-1 \r\nOther, 0 , 1 ," + folder.path() + "\\other.exe,-1 \r\n";
        catalogue = "# ,Group\r\nzero, i0.ico\r\none, i1.ico\r\ntwo, i2.ico\r\n";
    }

    void start() { ProgramTest::start(menuFile, catalogue); }

    // What the user sees of the root and its submenu, and the icon indexes their rows got.
    struct Seen {
        Picture rootImage, subImage;
        std::vector<std::int16_t> iconIndexes;
        std::int16_t iconCount = 0;
    };
    Seen openRootAndSubmenu() {
        root().hoverRow = 0; // the root keeps its highlighted row between openings
        clickTrigger();
        Seen seen;
        seen.rootImage = headless::record(*root().window()).presented;
        seen.subImage = openSubmenu();
        for (int slot = store.listHead; slot >= 0; slot = items[slot].nextIndex)
            seen.iconIndexes.push_back(items[slot].iconIndex);
        seen.iconCount = iconRegistry.iconCount;
        return seen;
    }

    Picture openSubmenu() {
        root().hoverRow = 2;
        root().keyDown(39, 0); // Right
        return headless::record(*menuLevel(1).window()).presented;
    }

    static std::vector<headless::WindowRecord*> hiddenMenus() {
        auto found = headless::windows();
        std::erase_if(
            found, [](auto* w) { return w->style != platform::WindowStyle::Menu || w->visible; });
        return found;
    }

    std::string menuFile, catalogue;
};

TEST_F(PrepareAheadTest, IdleTimeReadiesTheFirstOpeningWithoutChangingWhatItShows) {
    start();
    const Seen unprepared = openRootAndSubmenu();
    // Painting read app.exe once for its two rows, other.exe and catalogue icons 1 and 0.
    EXPECT_EQ(headless::liveIcons(), 4);

    start();
    const ItemStore before = store;
    EXPECT_TRUE(hiddenMenus().empty());
    EXPECT_GT(headless::runIdle(), 0);
    EXPECT_EQ(headless::runIdle(), 0) << "the work ends";
    // The windows of the root and of the one submenu level are made, each shown once where no
    // monitor shows it, and stay hidden; nothing is registered, the store has not changed, and
    // every icon the rows draw is read, app.exe's once.
    const auto made = hiddenMenus();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_TRUE(made[0]->shownOffScreen == 1 && made[1]->shownOffScreen == 1);
    EXPECT_EQ(iconRegistry.iconCount, 3);
    EXPECT_EQ(store.items, before.items);
    EXPECT_EQ(store.listHead, before.listHead);
    EXPECT_EQ(headless::liveIcons(), 4);

    // Opening reads no file again and shows exactly what it showed unprepared, with the same
    // icon indexes given out in the same order.
    const Seen prepared = openRootAndSubmenu();
    EXPECT_EQ(headless::liveIcons(), 4);
    EXPECT_EQ(prepared.rootImage.pixels(), unprepared.rootImage.pixels());
    EXPECT_EQ(prepared.subImage.pixels(), unprepared.subImage.pixels());
    EXPECT_EQ(prepared.iconIndexes, unprepared.iconIndexes);
    EXPECT_EQ(prepared.iconCount, unprepared.iconCount);
    EXPECT_TRUE(headless::desktop().faults.empty());
}

// One window for each level the deepest path of submenus fills: a shallow branch first and a
// submenu that opens the root again do not stop or loop the walk.
const std::string deepPathMenu = " 3 \r\nShallow, 1 , 0 , 1 ,-1 \r\nDeep, 1 , 0 , 2 ,-1 \r\n"
                                 "Leaf, 0 , 1 ,x,-1 \r\nBack, 1 , 2 , 0 ,-1 \r\n"
                                 "Deeper, 1 , 2 , 3 ,-1 \r\nEnd, 0 , 3 ,x,-1 \r\n";

TEST_F(PrepareAheadTest, EveryLevelOfTheDeepestPathIsReadiedOnce) {
    ProgramTest::start(deepPathMenu);
    headless::runIdle();
    const auto made = hiddenMenus();
    ASSERT_EQ(made.size(), 3u);
    for (const auto* w : made)
        EXPECT_EQ(w->shownOffScreen, 1);
    EXPECT_EQ(menuLevel(2).menuId, 3);
}

// The user opens the root and the shallow submenu before the work reaches them (slow icon files):
// the open levels keep what the user opened, and only the closed ones below are readied.
TEST_F(PrepareAheadTest, LevelsTheUserHasOpenAreLeftAlone) {
    ProgramTest::start(deepPathMenu);
    clickTrigger();
    MenuWindow& shallow = openSub(0);
    const Rect place = headless::record(*shallow.window()).pixels;
    headless::runIdle();
    ASSERT_TRUE(shallow.isOpen());
    EXPECT_EQ(shallow.menuId, 1);
    EXPECT_EQ(test::rowNames(shallow), test::Names{"Leaf"});
    EXPECT_EQ(headless::record(*shallow.window()).pixels, place);
    EXPECT_EQ(test::rowNames(root()), (test::Names{"Shallow", "Deep"}));
    EXPECT_EQ(root().hoverRow, 0);
}

// Ten menus, each opening the next from nine rows: walking every path would never end.
TEST_F(PrepareAheadTest, ManyRowsOpeningTheSameSubmenusAreWalkedOnce) {
    std::string menuText = " 10 \r\n";
    for (int menu = 0; menu < 10; ++menu)
        for (int row = 0; row < 9; ++row)
            menuText +=
                "M, 1 , " + std::to_string(menu) + " , " + std::to_string(menu + 1) + " ,-1 \r\n";
    menuText += "Leaf, 0 , 10 ,x,-1 \r\n";
    ProgramTest::start(menuText);
    EXPECT_LT(headless::runIdle(), 1000) << "the work ends at the deepest level";
    EXPECT_EQ(hiddenMenus().size(), 11u);
}

TEST_F(PrepareAheadTest, AClosedLevelKeepsItsNativeWindowHiddenForTheNextOpening) {
    start();
    const Seen first = openRootAndSubmenu();
    MenuWindow& sub = menuLevel(1);
    void *rootHandle = root().window()->handle(), *subHandle = sub.window()->handle();
    // Moving off the highlighted row starts the hover timer (the first move is ignored).
    sub.mouseMove(0, 0, 50, 10);
    sub.mouseMove(0, 0, 50, 500);
    ASSERT_TRUE(headless::record(*sub.window()).timer.running);

    clickTrigger(); // closes everything
    EXPECT_FALSE(root().isOpen());
    EXPECT_FALSE(sub.isOpen());
    EXPECT_EQ(root().window(), nullptr);
    const auto hidden = hiddenMenus();
    ASSERT_EQ(hidden.size(), 2u);
    for (auto* w : hidden)
        EXPECT_FALSE(w->timer.running) << "a hidden level's hover timer still runs";

    const Seen again = openRootAndSubmenu();
    EXPECT_EQ(root().window()->handle(), rootHandle);
    EXPECT_EQ(sub.window()->handle(), subHandle);
    EXPECT_EQ(again.rootImage.pixels(), first.rootImage.pixels());
    EXPECT_EQ(again.subImage.pixels(), first.subImage.pixels());
}

TEST_F(PrepareAheadTest, AnIconOnASlowDriveIsReadAwayAndTheKeysDoNotWaitForIt) {
    start();
    headless::desktop().slowFolders = {folder.path()};
    clickTrigger();
    root().hoverRow = 0;
    root().keyDown(40, 0); // Down, while the worker has not read the row's icon
    EXPECT_EQ(root().hoverRow, 1);
    const headless::WindowRecord& shown = headless::record(*root().window());
    // The root's pixels start with the 28-pixel strip.
    const Rgb highlighted = shown.presented.at(28 + 100, 25);
    EXPECT_NE(highlighted, shown.presented.at(28 + 100, 5));
    const std::int16_t icon = items[root().slotOfRow(0)].iconIndex;
    EXPECT_EQ(iconHandle(icon), nullptr);
    const auto& away = headless::desktop().iconReadsAway;
    EXPECT_EQ(std::ranges::count(away, std::pair(folder.path() + "\\app.exe", 16)), 1);

    // The read arrives: the row is painted again with its icon, the highlight where it was.
    headless::finishIconReads();
    const headless::IconImage* image = headless::iconImage(iconHandle(icon));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(shown.presented.at(28 + 7 + 10, 3 + 10), image->at(10, 10));
    EXPECT_EQ(shown.presented.at(28 + 100, 25), highlighted);

    // One that arrives while its menu is closed shows when the menu opens again.
    openSubmenu();
    const std::int16_t other = items[menuLevel(1).slotOfRow(0)].iconIndex;
    clickTrigger(); // closes both
    headless::finishIconReads();
    clickTrigger();
    ASSERT_NE(headless::iconImage(iconHandle(other)), nullptr);
    EXPECT_EQ(openSubmenu().at(7 + 10, 3 + 10), headless::iconImage(iconHandle(other))->at(10, 10));
}

// The trigger moves to a 150 % monitor while the worker still reads the rows' icons at 16
// pixels: those reads are dropped and made again at 24, never drawn stretched.
TEST_F(PrepareAheadTest, IconsReadAwayBeforeAScaleChangeAreReadAgainAtTheNewSize) {
    start();
    headless::desktop().slowFolders = {folder.path()};
    clickTrigger();
    const std::int16_t icon = items[root().slotOfRow(0)].iconIndex;
    ASSERT_EQ(iconHandle(icon), nullptr);
    useMenuScale(platform::DisplayScale{144});
    headless::finishIconReads();
    EXPECT_EQ(iconHandle(icon), nullptr);
    const auto& away = headless::desktop().iconReadsAway;
    EXPECT_EQ(std::ranges::count(away, std::pair(folder.path() + "\\app.exe", 24)), 1);
    headless::finishIconReads();
    ASSERT_NE(headless::iconImage(iconHandle(icon)), nullptr);
    EXPECT_EQ(headless::iconImage(iconHandle(icon))->size, 24);
}

} // namespace
} // namespace zv

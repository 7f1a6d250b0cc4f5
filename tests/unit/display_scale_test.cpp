// The menus at another display scale and on a second monitor: sizes scaled once, the trigger
// redrawn when it reaches a monitor of another scale, edges taken from the trigger's monitor.
#include "app/startup.h"
#include "graphics/icon_registry.h"
#include "graphics/skin_pictures.h"
#include "graphics/trigger_picture.h"
#include "test_support.h"

namespace zv {
namespace {

// Root: A (catalogue icon 0), Sub (menu 1), a separator, B; menu 1: S0, S1.
const std::string menuFile = " 1 \r\nA, 0 , 0 ,x, 0 \r\nSub, 1 , 0 , 1 ,-1 \r\n"
                             "Separator, 4 , 0 ,,-1 \r\nB, 0 , 0 ,y,-1 \r\n"
                             "S0, 0 , 1 ,z,-1 \r\nS1, 0 , 1 ,z,-1 \r\n";

// A 1920 x 1080 monitor at 144 DPI right of the 1024 x 768 primary one at 96.
class DisplayScaleTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        folder.write("a.ico", "icon");
        start(menuFile, "#,G\r\nA,a.ico\r\n");
        headless::desktop().monitors.push_back({{1024, 0, 2944, 1080}, 144});
    }
    headless::WindowRecord& record(platform::Window* w) { return headless::record(*w); }
    void moveTrigger(int dpi, const Rect& suggested) {
        headless::changeScale(record(triggerWindow.window()), dpi, suggested);
    }
};

TEST_F(DisplayScaleTest, TheTriggerTakesTheSuggestedPlaceAndIsRedrawnAtTheNewScale) {
    clickTrigger();
    moveTrigger(144, {2000, 900, 2072, 972});
    EXPECT_FALSE(triggerWindow.menuShown) << "a move to another monitor closes the menus";
    EXPECT_EQ(record(triggerWindow.window()).pixels, (Rect{2000, 900, 2072, 972}));
    EXPECT_EQ(triggerWindow.widthTwips, platform::Twips(720)) << "the same physical size";
    const Picture face = record(triggerWindow.window()).presented;
    EXPECT_EQ(face.width(), 72);
    EXPECT_EQ(face.pixels(), makeTriggerPicture({144}).pixels()) << "drawn at 72, not stretched";

    moveTrigger(96, {20, 600, 68, 648});
    EXPECT_EQ(record(triggerWindow.window()).presented.pixels(), makeTriggerPicture().pixels());
}

TEST_F(DisplayScaleTest, MenusOpenAtTheScaleOfTheTriggersMonitor) {
    clickTrigger(); // the catalogue icon is read at 16 pixels
    ASSERT_EQ(headless::iconImage(iconHandle(0))->size, 16);
    moveTrigger(144, {2000, 900, 2072, 972});
    clickTrigger();
    ASSERT_TRUE(root().isOpen());
    const auto& menu = record(root().window());
    // 300 + 2 x 2 wide; three 30-pixel rows, a 9-pixel separator and the frame.
    EXPECT_EQ(menu.dpi, 144);
    EXPECT_EQ(menu.pixels, (Rect{2072, 869, 2418, 972})) << "the strip, 42 pixels, then the menu";
    EXPECT_EQ(root().rowBounds[3], (Rect{0, 69, 300, 99}));
    EXPECT_EQ(skinPictures.highlight().bitmap.height(), 30);
    EXPECT_EQ(iconRegistry.iconSize, 24);
    EXPECT_EQ(headless::iconImage(iconHandle(0))->size, 24);

    // The submenu stays below its row: the second monitor reaches lower than the primary one.
    MenuWindow& sub = openSub(1);
    EXPECT_EQ(sub.topTwips, root().topTwips + platform::Twips(30 * 10 + 50));
    EXPECT_EQ(record(sub.window()).pixels.left, 2418 - 10);
}

// The primary monitor at 150 % while the user signed in at 100 % (a laptop's panel after its
// 100 % screen was undocked): every scale comes from a monitor, so the trigger and the root are
// laid out at the same one, and the root's strip touches the trigger with their bottoms level.
TEST_F(DisplayScaleTest, TheRootTouchesTheTriggerOnAPrimaryMonitorOfAnotherScale) {
    test::resetProgram(folder.path()); // started again on the files SetUp wrote
    headless::desktop().monitors.front().dpi = 144;
    startUp();
    clickTrigger();
    ASSERT_TRUE(root().isOpen());
    const headless::WindowRecord& trigger = record(triggerWindow.window());
    const headless::WindowRecord& menu = record(root().window());
    EXPECT_EQ(trigger.dpi, 144);
    EXPECT_EQ(menu.dpi, 144);
    EXPECT_EQ(trigger.pixels.right - trigger.pixels.left, 72);
    EXPECT_EQ(menu.pixels.left, trigger.pixels.right);
    EXPECT_EQ(menu.pixels.bottom, trigger.pixels.bottom);
}

} // namespace
} // namespace zv

#include "app/startup.h"
#include "core/app_state.h"
#include "graphics/trigger_picture.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using platform::buttonLeft;
using platform::buttonRight;

class TriggerTest : public ::testing::Test {
  protected:
    void SetUp() override { test::startProgram(folder, " 0 \r\nA, 0 , 0 ,x,-1 \r\n"); }
    headless::WindowRecord& rec() { return headless::record(*triggerWindow.window()); }
    void click(int button, double x = 10, double y = 10) {
        triggerWindow.mouseDown(button, 0, x, y);
        triggerWindow.mouseUp(button, 0, x, y);
    }
    MenuWindow& root() { return menuLevel(0); }
    test::TempFolder folder;
};

TEST_F(TriggerTest, PlacedLowLeftTopmostWithItsFace) {
    EXPECT_EQ(rec().pixels, (Rect{1, 680, 49, 728}));
    EXPECT_TRUE(rec().visible);
    EXPECT_TRUE(rec().topmost);
    EXPECT_EQ(rec().style, platform::WindowStyle::Trigger);
    const Picture face = makeTriggerPicture();
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 48; x += 5)
            ASSERT_EQ(rec().presented.at(x, y), face.at(x, y));
    EXPECT_FALSE(root().isOpen());
}

TEST_F(TriggerTest, ClickOpensAndClosesTheRootMenu) {
    click(buttonLeft);
    EXPECT_TRUE(root().isOpen());
    EXPECT_TRUE(triggerWindow.menuShown);
    EXPECT_FALSE(rec().topmost);
    click(buttonLeft);
    EXPECT_FALSE(root().isOpen());
    EXPECT_FALSE(triggerWindow.menuShown);
    EXPECT_EQ(topLevel, -1);
    EXPECT_TRUE(rec().topmost);
}

// A second start from the same folder ends at once; the launcher answers as a click would, or
// brings forward what already shows.
TEST_F(TriggerTest, SecondStartEndsAndTheLauncherComesForward) {
    const std::string fileBefore = folder.read("menu.qlf");
    auto secondStartEnds = [] {
        try {
            startUp();
            return false;
        } catch (const headless::ProcessEnded&) {
            return true;
        }
    };
    auto triggers = [] {
        int n = 0;
        for (const headless::WindowRecord* w : headless::windows())
            n += w->style == platform::WindowStyle::Trigger;
        return n;
    };

    // Nothing open: the root opens as a click would.
    EXPECT_TRUE(secondStartEnds());
    EXPECT_TRUE(root().isOpen());
    EXPECT_TRUE(triggerWindow.menuShown);
    EXPECT_EQ(headless::focusedWindow(), &headless::record(*root().window()));

    // The root open: it stays open and keeps the focus, where a click would close it.
    EXPECT_TRUE(secondStartEnds());
    EXPECT_TRUE(root().isOpen());
    EXPECT_EQ(headless::focusedWindow(), &headless::record(*root().window()));

    // A modal dialog waits for an answer: it comes forward and no menu opens behind it.
    click(buttonLeft);
    ASSERT_FALSE(root().isOpen());
    platform::DialogModel model;
    struct NoEvents : platform::DialogEvents {
    } events;
    platform::Dialog dialog(model, events);
    bool endedInside = false;
    headless::dialogs().scripts.push_back(
        [&](platform::Dialog&, platform::DialogModel&, platform::DialogEvents&) {
            endedInside = secondStartEnds();
        });
    dialog.showModal(triggerWindow.window()->handle());
    EXPECT_TRUE(endedInside);
    EXPECT_EQ(headless::state().waitingWindowsBroughtForward, 1);
    EXPECT_FALSE(root().isOpen());

    EXPECT_EQ(triggers(), 1);
    EXPECT_TRUE(headless::state().messages.empty());
    EXPECT_EQ(folder.read("menu.qlf"), fileBefore);
    EXPECT_FALSE(folder.exists("menu.qlf.bak"));
}

TEST_F(TriggerTest, DragMovesTheTriggerOpensNothingAndClosesAnOpenMenu) {
    // One pixel with the left button down is a drag (the threshold is under a pixel).
    triggerWindow.mouseDown(buttonLeft, 0, 10, 10);
    triggerWindow.mouseMove(buttonLeft, 0, 11, 10);
    triggerWindow.mouseUp(buttonLeft, 0, 11, 10);
    EXPECT_EQ(triggerWindow.leftTwips, 20 + 15);
    EXPECT_EQ(rec().pixels.left, 2);
    EXPECT_FALSE(root().isOpen());
    // Moving with another button, or with none, changes nothing.
    triggerWindow.mouseMove(buttonRight, 0, 30, 30);
    triggerWindow.mouseMove(0, 0, 30, 30);
    EXPECT_EQ(triggerWindow.leftTwips, 35);
    // The next click without movement opens the menu.
    click(buttonLeft);
    EXPECT_TRUE(root().isOpen());

    // Dragging with the menu open closes it at the first movement; the release opens nothing.
    triggerWindow.mouseDown(buttonLeft, 0, 10, 10);
    triggerWindow.mouseMove(buttonLeft, 0, 10, 30);
    EXPECT_FALSE(root().isOpen());
    EXPECT_FALSE(triggerWindow.menuShown);
    triggerWindow.mouseUp(buttonLeft, 0, 10, 30);
    EXPECT_FALSE(root().isOpen());

    // Offsets follow the dragged position.
    triggerWindow.leftTwips = 3000;
    triggerWindow.topTwips = 2000;
    EXPECT_EQ(triggerWindow.rightEdge(), 3000 + 48 * 15);
    EXPECT_EQ(triggerWindow.bottomEdge(), 2000 + 48 * 15);
}

TEST_F(TriggerTest, RightClickAsksBeforeQuitting) {
    click(buttonLeft);
    headless::state().answers = {platform::Answer::No};
    click(buttonRight);
    ASSERT_EQ(headless::state().messages.size(), 1u);
    EXPECT_EQ(headless::state().messages[0].text, "Are you sure you want to quit?");
    EXPECT_EQ(headless::state().messages[0].title, "Zelvora");
    EXPECT_EQ(headless::state().messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(root().isOpen()); // No leaves the menus open

    headless::state().answers = {platform::Answer::Yes};
    EXPECT_THROW(click(buttonRight), headless::ProcessEnded);
}

} // namespace
} // namespace zv

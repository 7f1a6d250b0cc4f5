#include "app/startup.h"
#include "graphics/trigger_picture.h"
#include "test_support.h"

namespace zv {
namespace {

using platform::buttonLeft;
using platform::buttonRight;
using test::endsProcess;

class TriggerTest : public test::ProgramTest {
  protected:
    void SetUp() override { start(" 0 \r\nA, 0 , 0 ,x,-1 \r\n"); }
    headless::WindowRecord& rec() { return headless::record(*triggerWindow.window()); }
    void click(int button) {
        triggerWindow.mouseDown(button, 0, 10, 10);
        triggerWindow.mouseUp(button, 0, 10, 10);
    }
    bool rootFocused() { return headless::focusedWindow() == &headless::record(*root().window()); }
};

TEST_F(TriggerTest, PlacedLowLeftTopmostWithItsFaceAndAClickOpensAndClosesTheRoot) {
    EXPECT_EQ(rec().pixels, (Rect{1, 680, 49, 728}));
    EXPECT_TRUE(rec().visible && rec().topmost);
    EXPECT_EQ(rec().presented.pixels(), makeTriggerPicture().pixels());
    EXPECT_FALSE(root().isOpen());

    click(buttonLeft);
    EXPECT_TRUE(root().isOpen() && triggerWindow.menuShown);
    EXPECT_FALSE(rec().topmost);
    click(buttonLeft);
    EXPECT_FALSE(root().isOpen() || triggerWindow.menuShown);
    EXPECT_EQ(topLevel, -1);
    EXPECT_TRUE(rec().topmost);
}

// A second start from the same folder ends at once; the launcher answers as a click would, or
// brings forward what already shows.
TEST_F(TriggerTest, SecondStartEndsAndTheLauncherComesForward) {
    const std::string fileBefore = folder.read("menu.qlf");
    // Nothing open: the root opens as a click would.
    EXPECT_TRUE(endsProcess(startUp));
    EXPECT_TRUE(root().isOpen() && triggerWindow.menuShown);
    EXPECT_TRUE(rootFocused());
    // The root open: it stays open and takes the focus back, where a click would close it.
    triggerWindow.window()->focus();
    ASSERT_FALSE(rootFocused());
    EXPECT_TRUE(endsProcess(startUp));
    EXPECT_TRUE(root().isOpen() && rootFocused());

    // A modal dialog waits for an answer: it comes forward and no menu opens behind it.
    click(buttonLeft);
    ASSERT_FALSE(root().isOpen());
    platform::DialogModel model;
    struct NoEvents : platform::DialogEvents {
    } events;
    platform::Dialog dialog(model, events);
    bool endedInside = false;
    headless::dialogs().scripts.push_back(
        test::asUser([&](platform::Dialog&) { endedInside = endsProcess(startUp); }));
    dialog.showModal(triggerWindow.window()->handle());
    EXPECT_TRUE(endedInside);
    EXPECT_EQ(headless::state().waitingWindowsBroughtForward, 1);
    EXPECT_FALSE(root().isOpen());

    int triggers = 0;
    for (const headless::WindowRecord* w : headless::windows())
        triggers += w->style == platform::WindowStyle::Trigger;
    EXPECT_EQ(triggers, 1);
    EXPECT_TRUE(test::messages().empty());
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
    EXPECT_FALSE(root().isOpen() || triggerWindow.menuShown);
    triggerWindow.mouseUp(buttonLeft, 0, 10, 30);
    EXPECT_FALSE(root().isOpen());
}

TEST_F(TriggerTest, RightClickAsksBeforeQuitting) {
    click(buttonLeft);
    headless::state().answers = {platform::Answer::No};
    click(buttonRight);
    ASSERT_EQ(test::messages().size(), 1u);
    EXPECT_EQ(test::messages()[0].text, "Are you sure you want to quit?");
    EXPECT_EQ(test::messages()[0].title, "Zelvora");
    EXPECT_EQ(test::messages()[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(root().isOpen()); // No leaves the menus open
    headless::state().answers = {platform::Answer::Yes};
    EXPECT_TRUE(endsProcess([&] { click(buttonRight); }));
}

} // namespace
} // namespace zv

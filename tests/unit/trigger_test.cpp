#include "app/startup.h"
#include "test_support.h"

namespace zv {
namespace {

using test::endsProcess;

class TriggerTest : public test::ProgramTest {
  protected:
    void SetUp() override { start(" 0 \r\nA, 0 , 0 ,x,-1 \r\n"); }
    bool rootFocused() { return headless::focusedWindow() == &headless::record(*root().window()); }
};

// A second start from the same folder ends at once; the launcher answers as a click would, or
// brings forward what already shows.
TEST_F(TriggerTest, SecondStartEndsAndTheLauncherComesForwardOrIsNamed) {
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
    clickTrigger();
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

    // One that holds the folder but cannot answer (hung, elevated or still ending) is named, and
    // the second start still ends touching nothing.
    triggerWindow.unload();
    EXPECT_TRUE(endsProcess(startUp));
    ASSERT_EQ(test::messages().size(), 1u);
    EXPECT_EQ(test::messages()[0].text,
              "Zelvora is already running from this folder but does not answer.");
    EXPECT_EQ(test::messages()[0].title, "Zelvora");
    EXPECT_FALSE(triggerWindow.window());
    EXPECT_EQ(folder.read("menu.qlf"), fileBefore);
    EXPECT_FALSE(folder.exists("menu.qlf.bak"));
}

} // namespace
} // namespace zv

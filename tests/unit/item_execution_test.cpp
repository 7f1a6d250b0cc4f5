#include "test_support.h"
#include "trigger/focus_watcher.h"

namespace zv {
namespace {

// Rows: 0 sub (one row inside), 1 quit, 2 a file entry with no target.
const std::string executionMenu = " 1 \r\nSub, 1 , 0 , 1 ,-1 \r\nQuit, 3 , 0 , 0 ,-1 \r\n"
                                  "Inside, 0 , 1 ,x,-1 \r\nNo program, 0 , 0 ,,-1\r\n";

class ItemExecutionTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        start(executionMenu);
        clickTrigger();
    }
    void enterOn(int row) {
        root().hoverRow = static_cast<std::int16_t>(row);
        root().keyDown(13, 0);
    }
};

TEST_F(ItemExecutionTest, QuitDetachesTheWatcherAndUnloadsTheWindows) {
    enterOn(0);
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(test::endsProcess([&] { enterOn(1); }));
    EXPECT_TRUE(test::messages().empty()); // nothing changed: no save question
    EXPECT_FALSE(triggerHooked());
    EXPECT_FALSE(triggerWindow.loaded());
    EXPECT_EQ(topLevel, -1);
    // Menu windows stay made, hidden, until the process ends.
    for (auto* w : headless::windows())
        EXPECT_FALSE(w->style == platform::WindowStyle::Menu && w->visible)
            << "a menu window is still open";
}

TEST_F(ItemExecutionTest, AnEntryWithoutTargetStartsNothingAndClosesTheMenusSilently) {
    // The shell would refuse an empty name; it must never be asked.
    headless::desktop().executeFailure = "The file is not a program Windows can run.";
    enterOn(2);
    EXPECT_TRUE(headless::desktop().shellCalls.empty());
    EXPECT_TRUE(test::messages().empty());
    EXPECT_EQ(topLevel, -1);
}

} // namespace
} // namespace zv

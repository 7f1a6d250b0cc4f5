// A running launcher for end-to-end tests: start it on a prepared program folder, find its
// windows by class through the probe, open menus and wait for what the screen shows.
#pragma once

#include "e2e.h"

#include <optional>
#include <string>

namespace zv::e2e {

using namespace std::chrono_literals;

inline constexpr Color menuBackground{245, 244, 243};
inline constexpr Color frameDark{64, 64, 64};
inline constexpr Color white{255, 255, 255};

// The trigger's place at start on the 1024 x 768 desktop: 20 twips from the left edge, its
// bottom 600 twips above the screen's bottom.
inline constexpr Rect triggerAtStart{1, 680, 49, 728};

class LauncherTest : public WineTest {
  protected:
    // Writes both data files, starts the program and waits for the trigger to show.
    ProgramInstance& start(const std::string& menuFile, const std::string& catalogue = "");

    // The program's visible windows of a class ("ZelvoraTrigger", "ZelvoraMenu",
    // "ZelvoraSideStrip", "#32770", ...), top of the z-order first.
    std::vector<Window> visible(const std::string& className);
    std::optional<Window> trigger();
    // Waits until exactly `count` menu windows show; false on a time-out.
    ::testing::AssertionResult menusShown(std::size_t count);
    // Menu windows ordered left to right is no help when they flip; these come by size order
    // of creation: the probe lists them in z-order, the newest level on top.
    std::vector<Window> menus() { return visible("ZelvoraMenu"); }

    void clickTrigger();
    // Drags the trigger by (dx, dy) pixels in small steps, each waited for as a hand that
    // watches the window would; the button is released at the end.
    ::testing::AssertionResult dragTrigger(int dx, int dy);
    ::testing::AssertionResult pixelBecomes(int x, int y, Color colour,
                                            std::chrono::milliseconds timeout = 5s);
    // Waits for a visible message box of the program with this text.
    std::optional<Window> messageBox(const std::string& text, std::chrono::milliseconds timeout);
    void clickButton(const Window& dialog, const std::string& caption);

    // The open menu at a level, read afresh (menus that do not flip go left to right).
    Rect menuLevel(std::size_t depth);
    std::vector<Window> popups() { return visible("#32768"); }
    // A right click on a row of an open menu, then the pop-up entry chosen with the keyboard as
    // a user would: Down `downs` times from nothing (separators are skipped), then Return.
    void command(std::size_t depth, int row, int downs);
    // Waits until the program has handled what it was sent and waits for input again.
    ::testing::AssertionResult idle();
    // Edit mode on: "&Enable Edit mode" in the short pop-up of the root's first row.
    void enableEditMode();
    // The program's visible window with this title, waited for up to `wait`.
    std::optional<Window> windowTitled(const std::string& title, std::chrono::milliseconds wait);

    ProgramInstance* program_ = nullptr;
};

} // namespace zv::e2e

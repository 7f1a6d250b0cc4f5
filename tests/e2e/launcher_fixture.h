// A running launcher for end-to-end tests: start it on a prepared program folder, find its
// windows by class through the probe, open menus and wait for what the screen shows.
#pragma once

#include "e2e.h"

#include <functional>
#include <optional>
#include <string>

namespace zv::e2e {

using namespace std::chrono_literals;

inline constexpr Color menuBackground{245, 244, 243};
inline constexpr Color frameDark{64, 64, 64};
inline constexpr Color white{255, 255, 255};
// The default skin's highlight: its first line is a frame, the line below the top of its fill.
inline constexpr Color highlightFrame{130, 160, 194};
inline constexpr Color highlightFill{205, 231, 248};

// The trigger's place at start on the 1024 x 768 desktop: 20 twips from the left edge, its
// bottom 600 twips above the screen's bottom.
inline constexpr Rect triggerAtStart{1, 680, 49, 728};

// Menus whose rows are all entries (no separators) have rows of 20 pixels under a one-pixel
// frame. A row's highlight starts one pixel below the row's top on the screen.
inline constexpr int rowHeight = 20;
inline int rowTop(const Rect& menu, int row) {
    return menu.top + rowHeight * row;
}
inline int rowY(const Rect& menu, int row) {
    return rowTop(menu, row) + rowHeight / 2;
}
// Where the tests point at and look at a row: right of the icons, left of the submenu arrow.
inline int rowX(const Rect& menu) {
    return menu.left + 100;
}

// Entries of the full pop-up menu counted as Down presses from nothing (separators skipped).
enum PopupEntry {
    Modify = 2,
    Insert,
    Delete,
    Cut,
    Copy,
    Paste,
    MoveUp,
    MoveDown,
    BatchAdd,
    Save,
    Quit
};

// Every input whose effect the next step depends on is followed by a wait for that effect (see
// README.md): Wine merges pointer moves that come faster than the program takes them, and a
// menu ignores the first move after it closed a deeper level, opened a submenu or ran a pop-up
// command.
class LauncherTest : public WineTest {
  protected:
    // Writes both data files, starts the program and waits for the trigger to show.
    ProgramInstance& start(const std::string& menuFile, const std::string& catalogue = "");
    // The program's visible windows of a class, top of the z-order first.
    std::vector<Window> visible(const std::string& className);
    std::optional<Window> trigger();
    void clickTrigger();
    // Drags the trigger in steps of 40 pixels, each waited for; the button is released at the end.
    ::testing::AssertionResult dragTrigger(int dx, int dy);
    // The open menus, the newest level first (the probe lists windows in z-order), each with
    // the rectangle of the menu itself: the root's window also holds the side strip, on the
    // side that faces the trigger, and that part is cut off here.
    std::vector<Window> menus();
    ::testing::AssertionResult menusShown(std::size_t count);
    // The open menu at a level, read afresh (menus that do not flip go left to right).
    std::optional<Window> menuWindow(std::size_t depth);
    Rect menuLevel(std::size_t depth);
    // The root's place, opened from the trigger when no menu shows (a message closes them).
    Rect root();
    // Waits until the menu at a level shows `rows` rows of 20 pixels (a rebuilt menu keeps its
    // bottom edge, the root, or its top).
    ::testing::AssertionResult menuRows(std::size_t depth, int rows);

    // Polls the pixel every few milliseconds until it is (or, `equal` false, is not) the colour.
    ::testing::AssertionResult pixelIs(int x, int y, Color colour, bool equal,
                                       std::chrono::milliseconds timeout = 10s);
    ::testing::AssertionResult pixelBecomes(int x, int y, Color colour,
                                            std::chrono::milliseconds timeout = 5s) {
        return pixelIs(x, y, colour, true, timeout);
    }
    // Moves the pointer to (x, y), and again two pixels aside and back while `shown` is false;
    // the pointer is left at (x, y).
    ::testing::AssertionResult pointUntil(int x, int y, const std::function<bool()>& shown,
                                          std::chrono::milliseconds timeout = 10s);
    bool rowLit(const Rect& menu, int row);
    // pointUntil the row's highlight shows: the program acts on the highlighted row.
    ::testing::AssertionResult hoverRow(const Rect& menu, int row,
                                        std::chrono::milliseconds timeout = 10s);
    ::testing::AssertionResult hoverRow(std::size_t depth, int row);

    std::vector<Window> popups() { return visible("#32768"); }
    // Lights a row of an open menu (the root opens if no menu shows), right-clicks where the
    // pointer is and waits for the pop-up menu of edit commands.
    void popupOnRow(std::size_t depth, int row);
    // popupOnRow, then Down `downs` times and Return; returns when the pop-up has closed and the
    // program waits for input again.
    void command(std::size_t depth, int row, int downs);
    // Edit mode on: "&Enable Edit mode" in the short pop-up of the root's first row.
    void enableEditMode();
    // Waits until the program waits for input.
    ::testing::AssertionResult idle();

    std::optional<Window> windowTitled(const std::string& title, std::chrono::milliseconds wait);
    std::optional<Window> messageBox(const std::string& text, std::chrono::milliseconds timeout);
    // Answers the program's message box with this text and waits for it to go.
    void answer(const std::string& text, const std::string& button);
    void clickButton(const Window& dialog, const std::string& caption);
    // Waits until this window is active, so that keys sent next go to it.
    ::testing::AssertionResult activated(const Window& window);
    std::optional<Control> controlNow(Hwnd hwnd);
    // Clicks into an edit field and waits until it has the keyboard focus.
    void focusField(const Control& field);
    ::testing::AssertionResult fieldHolds(const Control& field, const std::string& text);
    // Types into an empty field and waits until the field shows it.
    void typeInto(const Control& field, const std::string& text);
    // Waits until the program folder's menu.qlf holds these bytes.
    ::testing::AssertionResult fileBecomes(const std::string& bytes);

    ProgramInstance* program_ = nullptr;
};

} // namespace zv::e2e

// A running launcher for end-to-end tests: start it on a prepared program folder, find its
// windows by class through the probe, open menus and wait for what the screen shows.
//
// Every input whose effect the next step depends on is followed by a wait for that effect on
// the screen or in the probe's report: Wine merges pointer moves that come faster than the
// program takes them, and a menu ignores the first move after it closed a deeper level, opened
// a submenu or ran a pop-up command, so a move is never assumed to have been seen.
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

class LauncherTest : public WineTest {
  protected:
    // Writes both data files, starts the program and waits for the trigger to show.
    ProgramInstance& start(const std::string& menuFile, const std::string& catalogue = "");

    // The program's visible windows of a class ("ZelvoraTrigger", "ZelvoraMenu", "#32770",
    // ...), top of the z-order first.
    std::vector<Window> visible(const std::string& className);
    std::optional<Window> trigger();
    // Waits until exactly `count` menu windows show; false on a time-out.
    ::testing::AssertionResult menusShown(std::size_t count);
    // The open menus, the newest level first (the probe lists windows in z-order), each with
    // the rectangle of the menu itself: the root's window also holds the side strip, on the
    // side that faces the trigger, and that part is cut off here.
    std::vector<Window> menus();

    void clickTrigger();
    // Drags the trigger by (dx, dy) pixels in small steps, each waited for as a hand that
    // watches the window would; the button is released at the end.
    ::testing::AssertionResult dragTrigger(int dx, int dy);
    ::testing::AssertionResult pixelBecomes(int x, int y, Color colour,
                                            std::chrono::milliseconds timeout = 5s);
    // Like pixelBecomes (or, with `equal` false, waits for the pixel to differ), but looks every
    // few milliseconds: for loops that wait on the screen hundreds of times.
    ::testing::AssertionResult pixelIs(int x, int y, Color colour, bool equal,
                                       std::chrono::milliseconds timeout = 10s);
    // Waits for a visible message box of the program with this text.
    std::optional<Window> messageBox(const std::string& text, std::chrono::milliseconds timeout);
    void clickButton(const Window& dialog, const std::string& caption);

    // The open menu at a level, read afresh (menus that do not flip go left to right).
    std::optional<Window> menuWindow(std::size_t depth);
    Rect menuLevel(std::size_t depth);
    // Waits until the menu at a level shows `rows` rows of 20 pixels: a command that adds or
    // removes a row rebuilds the menu, which then keeps its bottom edge (the root) or its top.
    ::testing::AssertionResult menuRows(std::size_t depth, int rows);

    // Moves the pointer to (x, y), and again two pixels aside and back while `shown` is false,
    // until it is true or the time-out passes; the pointer is left at (x, y).
    ::testing::AssertionResult pointUntil(int x, int y, const std::function<bool()>& shown,
                                          std::chrono::milliseconds timeout = 10s);
    // Whether the highlight is painted on this row of the menu.
    bool rowLit(const Rect& menu, int row);
    // Points at a row until its highlight shows: the program acts on the highlighted row, and a
    // move it ignored or never saw leaves the highlight where it was, so the pointer moves again,
    // two pixels aside (a move to where it already is makes no event), until the row lights.
    // The pointer is left at (rowX, rowY) of the row.
    ::testing::AssertionResult hoverRow(const Rect& menu, int row,
                                        std::chrono::milliseconds timeout = 10s);
    ::testing::AssertionResult hoverRow(std::size_t depth, int row);

    std::vector<Window> popups() { return visible("#32768"); }
    // Points at a row of an open menu until it lights, right-clicks where the pointer is and
    // waits for the pop-up menu of edit commands.
    void popupOnRow(std::size_t depth, int row);
    // popupOnRow, then the pop-up entry chosen with the keyboard as a user would: Down `downs`
    // times from nothing (separators are skipped), then Return. Returns once the pop-up has
    // closed and the program waits for input again; a command that changes the menu's size is
    // waited for with menuRows.
    void command(std::size_t depth, int row, int downs);
    // Waits until the program has handled what it was sent and waits for input again.
    ::testing::AssertionResult idle();
    // Edit mode on: "&Enable Edit mode" in the short pop-up of the root's first row.
    void enableEditMode();
    // The program's visible window with this title, waited for up to `wait`.
    std::optional<Window> windowTitled(const std::string& title, std::chrono::milliseconds wait);

    // Waits until this window is the active one, so that keys sent next go to it.
    ::testing::AssertionResult activated(const Window& window);
    // A control of the program's windows as the probe sees it now, by handle.
    std::optional<Control> controlNow(Hwnd hwnd);
    // Clicks into an edit field and waits until it has the keyboard focus, so that keys typed
    // next reach it.
    void focusField(const Control& field);
    // Waits until the field holds exactly this text.
    ::testing::AssertionResult fieldHolds(const Control& field, const std::string& text);
    // Types into an empty field at the pointer's click and waits until the field shows it.
    void typeInto(const Control& field, const std::string& text);

    ProgramInstance* program_ = nullptr;
};

} // namespace zv::e2e

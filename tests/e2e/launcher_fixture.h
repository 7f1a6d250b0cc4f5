// A running launcher for end-to-end tests: start it on a prepared program folder, find its
// windows by class through the probe, open menus and wait for what the screen shows.
#pragma once

#include "wine_test.h"

#include <algorithm>
#include <cstdlib>
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
// README.md for why).
class LauncherTest : public WineTest {
  protected:
    using Clock = std::chrono::steady_clock;
    using Result = ::testing::AssertionResult;

    // Writes both data files into the test's folder (or another), starts the program and waits
    // for a trigger to show.
    ProgramInstance& start(const std::string& menuFile, const std::string& catalogue = "",
                           const ProgramFolder* in = nullptr) {
        (in ? *in : folder()).write("menu.qlf", menuFile);
        (in ? *in : folder()).write("kde.qls", catalogue);
        program_ = &launchUntil([&] { return trigger().has_value(); }, "a trigger", in);
        return *program_;
    }
    // The program's visible (or, `shown` false, hidden) windows of a class, top of the z-order
    // first.
    std::vector<Window> visible(const std::string& className, bool shown = true) {
        std::vector<Window> found;
        for (const auto& w : programWindows())
            if (w.visible == shown && w.className == className)
                found.push_back(w);
        return found;
    }
    std::optional<Window> trigger() {
        auto found = visible("ZelvoraTrigger");
        return found.empty() ? std::nullopt : std::optional(found.front());
    }
    void clickTrigger() {
        auto t = trigger();
        ASSERT_TRUE(t.has_value());
        screen().click(t->rect.centerX(), t->rect.centerY());
    }
    // Drags the trigger in steps of 40 pixels, each moved again until the trigger follows (a
    // busy program may miss a move); the button goes up at the end.
    Result dragTrigger(int dx, int dy) {
        const Rect from = trigger().value_or(Window{}).rect;
        screen().move(from.centerX(), from.centerY());
        screen().press();
        const int steps = std::max(1, std::max(std::abs(dx), std::abs(dy)) / 40);
        auto moved = ::testing::AssertionSuccess();
        for (int i = 1; i <= steps && moved; ++i) {
            const int sx = dx * i / steps, sy = dy * i / steps;
            moved = pointUntil(from.centerX() + sx, from.centerY() + sy, [&] {
                auto now = trigger();
                return now && now->rect.left == from.left + sx && now->rect.top == from.top + sy;
            });
        }
        screen().release();
        return moved;
    }
    // The open menus, the newest level first (the probe lists windows in z-order), each with
    // the rectangle of the menu itself: the root's window also holds the side strip, on the
    // side that faces the trigger, and that part is cut off here.
    std::vector<Window> menus() {
        std::vector<Window> found;
        std::optional<Rect> t;
        for (const auto& w : programWindows())
            if (w.visible && w.className == "ZelvoraMenu")
                found.push_back(w);
            else if (w.visible && w.className == "ZelvoraTrigger")
                t = w.rect;
        // 28 pixels at the scale the trigger's 48 are drawn at.
        const int strip = t ? (t->width() * 28 + 24) / 48 : 0;
        for (auto& menu : found) {
            if (t && menu.rect.left == t->right)
                menu.rect.left += strip;
            else if (t && menu.rect.right == t->left)
                menu.rect.right -= strip;
        }
        return found;
    }
    Result menusShown(std::size_t count) {
        return waitUntil([&] { return menus().size() == count; }, 10s,
                         std::to_string(count) + " menu windows");
    }
    // The open menu at a level, read afresh (menus that do not flip go left to right).
    std::optional<Window> menuWindow(std::size_t depth) {
        auto shown = menus();
        std::sort(shown.begin(), shown.end(),
                  [](const Window& a, const Window& b) { return a.rect.left < b.rect.left; });
        return depth < shown.size() ? std::optional(shown[depth]) : std::nullopt;
    }
    Rect menuLevel(std::size_t depth) { return menuWindow(depth).value_or(Window{}).rect; }
    // The root's place, opened from the trigger when no menu shows (a message closes them).
    Rect root() {
        if (menus().empty()) {
            clickTrigger();
            EXPECT_TRUE(menusShown(1));
        }
        return menuLevel(0);
    }
    // Waits until the menu at a level shows `rows` rows under its frame.
    Result menuRows(std::size_t depth, int rows) {
        Rect seen;
        auto result =
            waitUntil([&] { return (seen = menuLevel(depth)).height() == rows * 20 + 2; }, 10s,
                      std::to_string(rows) + " rows at level " + std::to_string(depth));
        return result ? result : result << " (it is " << seen.height() << " pixels high)";
    }

    // Waits for the pixel to be (or, `equal` false, to differ from) the colour, looking every
    // 2 ms (pixels are cheap to read).
    Result pixelIs(int x, int y, Color colour, bool equal,
                   std::chrono::milliseconds timeout = 10s) {
        Color seen;
        auto result =
            waitUntil([&] { return ((seen = screen().pixel(x, y)) == colour) == equal; }, timeout,
                      "pixel " + std::to_string(x) + "," + std::to_string(y), 2ms);
        return result ? result
                      : result << (equal ? " to be " : " to change from ") << colour.text()
                               << " (it is " << seen.text() << ")";
    }
    Result pixelBecomes(int x, int y, Color colour) { return pixelIs(x, y, colour, true, 5s); }
    // Moves the pointer to (x, y), and again two pixels aside and back while `shown` is false;
    // the pointer is left at (x, y). A move while the last one is unanswered costs nothing (it
    // points at the same place), so the next one need not wait long.
    Result pointUntil(int x, int y, const std::function<bool()>& shown) {
        const auto deadline = Clock::now() + 10s;
        for (int move = 0; Clock::now() < deadline; ++move) {
            screen().move(x + move % 2 * 2, y);
            if (waitUntil(shown, 150ms, "", 2ms)) {
                // Callers right-click where the pointer is, and the pop-up opens there.
                if (move % 2)
                    screen().move(x, y);
                return ::testing::AssertionSuccess();
            }
        }
        return ::testing::AssertionFailure() << "nothing showed after moves to " << x << "," << y;
    }
    bool rowLit(const Rect& menu, int row) {
        const int x = rowX(menu), top = rowTop(menu, row);
        return screen().pixel(x, top + 1) == highlightFrame &&
               screen().pixel(x, top + 2) == highlightFill;
    }
    // pointUntil the row's highlight shows: the program acts on the highlighted row.
    Result hoverRow(const Rect& menu, int row) {
        auto lit = pointUntil(rowX(menu), rowY(menu, row), [&] { return rowLit(menu, row); });
        return lit ? lit
                   : lit << ": row " << row << " of the menu at " << menu.left << "," << menu.top;
    }

    std::vector<Window> popups() { return visible("#32768"); }
    // The pop-up menu opened by `open` (by default a right click where the pointer is: no move,
    // so on the row it lights), then Down `downs` times and `key`; returns when the pop-up has
    // closed and the program waits for input again.
    void choose(int downs, const char* key = "Return", const std::function<void()>& open = {}) {
        if (open) {
            open();
        } else {
            screen().press(MouseButton::Right);
            screen().release(MouseButton::Right);
        }
        ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the pop-up menu"));
        for (int i = 0; i < downs; ++i)
            screen().key("Down");
        screen().key(key);
        ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, 10s, "the pop-up to close"));
        ASSERT_TRUE(idle());
    }
    // choose on a row of an open menu (the root opens if no menu shows).
    void command(std::size_t depth, int row, int downs, const char* key = "Return") {
        if (depth == 0)
            root();
        // A menu that a closing dialog has not enabled yet would not see the pointer or the click.
        ASSERT_TRUE(idle());
        std::optional<Window> menu;
        ASSERT_TRUE(waitUntil([&] { return (menu = menuWindow(depth)) && menu->enabled; }, 10s,
                              "an enabled menu at level " + std::to_string(depth)));
        ASSERT_TRUE(hoverRow(menu->rect, row));
        choose(downs, key);
    }
    // Edit mode on: "&Enable Edit mode" in the short pop-up of the root's first row.
    void enableEditMode() { command(0, 0, 0, "e"); }
    Result idle() {
        return waitUntil(
            [&] {
                auto states = session().idle(ProgramFolder::exeName, 200ms);
                return !states.empty() && states.front() == IdleResult::Idle;
            },
            10s, "zelvora.exe to wait for input");
    }

    // The program's last visible window for which `match` holds, waited for up to `wait`.
    std::optional<Window> shown(const std::function<bool(const Window&)>& match,
                                std::chrono::milliseconds wait, const std::string& what) {
        std::optional<Window> found;
        waitUntil(
            [&] {
                for (const auto& w : programWindows())
                    if (w.visible && match(w))
                        found = w;
                return found.has_value();
            },
            wait, what);
        return found;
    }
    std::optional<Window> windowTitled(const std::string& title, std::chrono::milliseconds wait) {
        return shown([&](const Window& w) { return w.title == title; }, wait, title);
    }
    // Waits until no window of the program has this title, or this window is gone.
    Result closed(const std::string& title) {
        return waitUntil([&] { return !windowTitled(title, 0ms); }, 10s, title + " to close");
    }
    Result closed(const Window& window) {
        return waitUntil(
            [&] { return !shown([&](const Window& w) { return w.hwnd == window.hwnd; }, 0ms, ""); },
            10s, "\"" + window.title + "\" to close");
    }
    void clickButton(const Window& dialog, const std::string& caption) {
        const Control* button = dialog.control("Button", caption);
        ASSERT_NE(button, nullptr) << describe(dialog);
        screen().click(button->rect.centerX(), button->rect.centerY());
    }
    // Answers the program's message box with this text and waits for it to go.
    void answer(const std::string& text, const std::string& button) {
        auto box = shown([&](const Window& w) { return w.isDialog() && w.messageText() == text; },
                         15s, "a message box saying " + text);
        ASSERT_TRUE(box) << describe(programWindows());
        EXPECT_EQ(box->title, "Zelvora");
        clickButton(*box, button);
        ASSERT_TRUE(closed(*box));
    }
    // Waits for Notepad titled with the file's name and showing its text: the shell found it.
    Result notepadShows(const std::string& fileName, const std::string& text) {
        return waitUntil(
            [&] {
                for (const auto& w : windows().visibleOf("notepad.exe"))
                    if (w.title.find(fileName) != std::string::npos && w.control("Edit", text))
                        return true;
                return false;
            },
            30s, "Notepad showing " + fileName);
    }
    // Chooses the drive Y: in the batch add's folder browser.
    void chooseScratchDrive() {
        auto browser = shown(
            [&](const Window& w) {
                return w.isDialog() && w.control("Static", "Please select a folder to search");
            },
            15s, "the folder browser");
        ASSERT_TRUE(browser && browser->control("SysTreeView32", ""));
        // Desktop, "/", Documents, My Computer: open My Computer, whose drives are (C:), (Y:),
        // (Z:), wait until they show, then go down to (Y:) and wait for OK to take it.
        const Rect view = browser->control("SysTreeView32", "")->rect;
        screen().click(view.left + 60, view.top + 57);
        const Image collapsed = screen().capture(view);
        screen().key("Right");
        ASSERT_TRUE(waitUntil([&] { return !(screen().capture(view) == collapsed); }, 10s,
                              "My Computer to open"));
        screen().key("Down");
        screen().key("Down");
        ASSERT_TRUE(waitUntil(
            [&] {
                return controlNow(browser->control("Button", "OK")->hwnd)
                    .value_or(Control{})
                    .enabled;
            },
            10s, "a drive chosen (OK enabled)"));
        screen().key("Return");
    }
    // Waits until this window is active, so that keys sent next go to it.
    Result activated(const Window& window) {
        return waitUntil([&] { return windows().active == window.hwnd; }, 10s,
                         "\"" + window.title + "\" (" + window.className + ") to be active");
    }
    std::optional<Control> controlNow(Hwnd hwnd) {
        for (const auto& w : programWindows())
            for (const auto& c : w.controls)
                if (c.hwnd == hwnd)
                    return c;
        return std::nullopt;
    }
    Result hasTheFocus(Hwnd window, const std::string& what) {
        return waitUntil([&] { return windows().focus == window; }, 10s,
                         what + " to have the focus");
    }
    void focusField(const Control& field) {
        screen().click(field.rect.centerX(), field.rect.centerY());
        ASSERT_TRUE(hasTheFocus(field.hwnd, "the field"));
    }
    Result fieldHolds(const Control& field, const std::string& text) {
        std::string seen;
        auto result = waitUntil(
            [&] { return (seen = controlNow(field.hwnd).value_or(Control{}).text) == text; }, 10s,
            "the field to hold \"" + text + "\"");
        return result ? result : result << " (it holds \"" << seen << "\")";
    }
    // Types into an empty field and waits until the field shows it.
    void typeInto(const Control& field, const std::string& text) {
        ASSERT_NO_FATAL_FAILURE(focusField(field));
        screen().typeText(text);
        ASSERT_TRUE(fieldHolds(field, text));
    }
    // A save's replace moves the old file aside before the new one takes its name, so the file
    // may be missing for a moment: that is "not yet", not a failure.
    Result fileBecomes(const std::string& bytes) {
        std::string seen;
        auto r = waitUntil([&] { return (seen = readFile(folder().path() / "menu.qlf")) == bytes; },
                           10s, "menu.qlf to be written");
        return r ? r : r << "\nit holds:\n" << seen;
    }

    // Each edit and combo box of a dialog as "class=name", in the order they were made: the
    // name is the text of the static made right before the box, which screen readers read as
    // its name ("?" where no static stands there).
    static std::vector<std::string> fieldNames(const Window& dialog) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const Control& c = dialog.controls[i];
            if (c.className != "Edit" && c.className != "ComboBox")
                continue;
            const Control* label = i > 0 ? &dialog.controls[i - 1] : nullptr;
            names.push_back(c.className + "=" +
                            (label && label->className == "Static" ? label->text : "?"));
        }
        return names;
    }

    ProgramInstance* program_ = nullptr;
};

} // namespace zv::e2e

#include "launcher_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace zv::e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Pixels are cheap to read: loops that wait on the screen look this often.
constexpr auto pixelPoll = 2ms;

} // namespace

ProgramInstance& LauncherTest::start(const std::string& menuFile, const std::string& catalogue) {
    folder().write("menu.qlf", menuFile);
    folder().write("kde.qls", catalogue);
    program_ = &launch();
    EXPECT_TRUE(waitUntil([&] { return trigger().has_value() || !program_->running(); }, 30s,
                          "the trigger window"));
    return *program_;
}

std::vector<Window> LauncherTest::visible(const std::string& className) {
    std::vector<Window> found;
    for (const auto& w : programWindows())
        if (w.visible && w.className == className)
            found.push_back(w);
    return found;
}

std::optional<Window> LauncherTest::trigger() {
    auto found = visible("ZelvoraTrigger");
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::vector<Window> LauncherTest::menus() {
    std::vector<Window> found;
    std::optional<Rect> triggerRect;
    for (const auto& w : programWindows()) {
        if (w.visible && w.className == "ZelvoraMenu")
            found.push_back(w);
        else if (w.visible && w.className == "ZelvoraTrigger")
            triggerRect = w.rect;
    }
    if (!triggerRect)
        return found;
    // 28 pixels at the scale the trigger's 48 are drawn at.
    const int strip = (triggerRect->width() * 28 + 24) / 48;
    for (auto& menu : found) {
        if (menu.rect.left == triggerRect->right)
            menu.rect.left += strip;
        else if (menu.rect.right == triggerRect->left)
            menu.rect.right -= strip;
    }
    return found;
}

::testing::AssertionResult LauncherTest::menusShown(std::size_t count) {
    return waitUntil([&] { return menus().size() == count; }, 10s,
                     std::to_string(count) + " menu windows");
}

void LauncherTest::clickTrigger() {
    auto t = trigger();
    ASSERT_TRUE(t.has_value());
    screen().click(t->rect.centerX(), t->rect.centerY());
}

::testing::AssertionResult LauncherTest::dragTrigger(int dx, int dy) {
    auto t = trigger();
    if (!t)
        return ::testing::AssertionFailure() << "no trigger to drag";
    const Rect from = t->rect;
    const int x = from.centerX(), y = from.centerY();
    screen().move(x, y);
    screen().press();
    const int steps = std::max(1, std::max(std::abs(dx), std::abs(dy)) / 40);
    for (int i = 1; i <= steps; ++i) {
        const int sx = dx * i / steps, sy = dy * i / steps;
        screen().move(x + sx, y + sy);
        auto moved = waitUntil(
            [&] {
                auto now = trigger();
                return now && now->rect.left == from.left + sx && now->rect.top == from.top + sy;
            },
            5s, "the trigger to follow the pointer");
        if (!moved) {
            screen().release();
            return moved;
        }
    }
    screen().release();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult LauncherTest::pixelBecomes(int x, int y, Color colour,
                                                      std::chrono::milliseconds timeout) {
    Color seen;
    auto result = waitUntil(
        [&] {
            seen = screen().pixel(x, y);
            return seen == colour;
        },
        timeout,
        "pixel " + std::to_string(x) + "," + std::to_string(y) + " to be " + colour.text());
    if (!result)
        result << " (it is " << seen.text() << ")";
    return result;
}

std::optional<Window> LauncherTest::messageBox(const std::string& text,
                                               std::chrono::milliseconds timeout) {
    std::optional<Window> box;
    waitUntil(
        [&] {
            for (const auto& w : visible("#32770"))
                if (w.messageText() == text) {
                    box = w;
                    return true;
                }
            return false;
        },
        timeout, "a message box saying " + text);
    return box;
}

std::optional<Window> LauncherTest::menuWindow(std::size_t depth) {
    auto shown = menus();
    std::sort(shown.begin(), shown.end(),
              [](const Window& a, const Window& b) { return a.rect.left < b.rect.left; });
    if (depth >= shown.size())
        return std::nullopt;
    return shown[depth];
}

Rect LauncherTest::menuLevel(std::size_t depth) {
    auto menu = menuWindow(depth);
    return menu ? menu->rect : Rect{};
}

::testing::AssertionResult LauncherTest::menuRows(std::size_t depth, int rows) {
    Rect seen;
    auto result = waitUntil(
        [&] {
            seen = menuLevel(depth);
            return seen.height() == rows * rowHeight + 2;
        },
        10s,
        "the menu at level " + std::to_string(depth) + " to show " + std::to_string(rows) +
            " rows");
    if (!result)
        result << " (it is " << seen.height() << " pixels high)";
    return result;
}

::testing::AssertionResult LauncherTest::pixelIs(int x, int y, Color colour, bool equal,
                                                 std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    Color seen;
    for (;;) {
        seen = screen().pixel(x, y);
        if ((seen == colour) == equal)
            return ::testing::AssertionSuccess();
        if (Clock::now() >= deadline)
            return ::testing::AssertionFailure()
                   << "pixel " << x << "," << y << (equal ? " never became " : " stayed ")
                   << colour.text() << " (it is " << seen.text() << ")";
        std::this_thread::sleep_for(pixelPoll);
    }
}

bool LauncherTest::rowLit(const Rect& menu, int row) {
    const int x = rowX(menu);
    const int top = rowTop(menu, row);
    return screen().pixel(x, top + 1) == highlightFrame &&
           screen().pixel(x, top + 2) == highlightFill;
}

::testing::AssertionResult LauncherTest::pointUntil(int x, int y,
                                                    const std::function<bool()>& shown,
                                                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    // A move sent while the last one is still unanswered costs nothing, as it points at the
    // same place, so the next one need not wait long.
    constexpr auto perMove = 150ms;
    int moves = 0;
    for (;;) {
        screen().move(x + moves % 2 * 2, y);
        ++moves;
        const auto moveDeadline = std::min(deadline, Clock::now() + perMove);
        for (;;) {
            if (shown()) {
                // Callers right-click where the pointer is, and a pop-up opens there: it ends on
                // the same spot every time. Two pixels aside is the same place, so the move
                // changes nothing.
                if (moves % 2 == 0)
                    screen().move(x, y);
                return ::testing::AssertionSuccess();
            }
            if (Clock::now() >= moveDeadline)
                break;
            std::this_thread::sleep_for(pixelPoll);
        }
        if (Clock::now() >= deadline)
            return ::testing::AssertionFailure()
                   << "nothing showed after " << moves << " moves to " << x << "," << y;
    }
}

::testing::AssertionResult LauncherTest::hoverRow(const Rect& menu, int row,
                                                  std::chrono::milliseconds timeout) {
    auto result = pointUntil(
        rowX(menu), rowY(menu, row), [&] { return rowLit(menu, row); }, timeout);
    if (!result) {
        result << ": row " << row << " of the menu at " << menu.left << "," << menu.top
               << " never lit; lit rows:";
        for (int other = 0; rowTop(menu, other) + rowHeight <= menu.bottom; ++other)
            if (rowLit(menu, other))
                result << " " << other;
    }
    return result;
}

::testing::AssertionResult LauncherTest::hoverRow(std::size_t depth, int row) {
    const Rect menu = menuLevel(depth);
    if (menu.width() <= 0)
        return ::testing::AssertionFailure() << "no menu open at level " << depth;
    return hoverRow(menu, row);
}

void LauncherTest::popupOnRow(std::size_t depth, int row) {
    // A menu that a closing dialog has not enabled yet would not see the pointer or the click.
    ASSERT_TRUE(idle());
    std::optional<Window> menu;
    ASSERT_TRUE(waitUntil(
        [&] {
            menu = menuWindow(depth);
            return menu && menu->enabled;
        },
        10s, "an enabled menu at level " + std::to_string(depth)));
    ASSERT_TRUE(hoverRow(menu->rect, row));
    // The pop-up acts on the highlighted row: the button goes down where the pointer already
    // is, so no further move reaches the program.
    screen().press(MouseButton::Right);
    screen().release(MouseButton::Right);
    ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the pop-up menu"));
}

void LauncherTest::command(std::size_t depth, int row, int downs) {
    ASSERT_NO_FATAL_FAILURE(popupOnRow(depth, row));
    for (int i = 0; i < downs; ++i)
        screen().key("Down");
    screen().key("Return");
    ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, 10s, "the pop-up to close"));
    // The command runs after the pop-up has gone (and may move the menu: a rebuilt menu keeps
    // its bottom edge); the next step must see what it left.
    ASSERT_TRUE(idle());
}

::testing::AssertionResult LauncherTest::idle() {
    return waitUntil(
        [&] {
            auto states = session().idle(ProgramFolder::exeName, 200ms);
            return !states.empty() && states.front().result == IdleResult::Idle;
        },
        10s, "zelvora.exe to wait for input");
}

void LauncherTest::enableEditMode() {
    ASSERT_NO_FATAL_FAILURE(popupOnRow(0, 0));
    screen().key("e");
    ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, 10s, "the pop-up to close"));
    ASSERT_TRUE(idle());
}

std::optional<Window> LauncherTest::windowTitled(const std::string& title,
                                                 std::chrono::milliseconds wait) {
    std::optional<Window> found;
    waitUntil(
        [&] {
            for (const auto& w : programWindows())
                if (w.visible && w.title == title)
                    found = w;
            return found.has_value();
        },
        wait, "a window titled " + title);
    return found;
}

::testing::AssertionResult LauncherTest::activated(const Window& window) {
    return waitUntil([&] { return windows().desktop.active == window.hwnd; }, 10s,
                     "\"" + window.title + "\" (" + window.className + ") to be active");
}

std::optional<Control> LauncherTest::controlNow(Hwnd hwnd) {
    for (const auto& w : programWindows())
        for (const auto& c : w.controls)
            if (c.hwnd == hwnd)
                return c;
    return std::nullopt;
}

void LauncherTest::focusField(const Control& field) {
    screen().click(field.rect.centerX(), field.rect.centerY());
    ASSERT_TRUE(waitUntil([&] { return windows().desktop.focus == field.hwnd; }, 10s,
                          "the keyboard focus in the field at " + std::to_string(field.rect.left) +
                              "," + std::to_string(field.rect.top)));
}

::testing::AssertionResult LauncherTest::fieldHolds(const Control& field, const std::string& text) {
    std::string seen;
    auto result = waitUntil(
        [&] {
            auto now = controlNow(field.hwnd);
            seen = now ? now->text : "(no such control)";
            return seen == text;
        },
        10s, "the field to hold \"" + text + "\"");
    if (!result)
        result << " (it holds \"" << seen << "\")";
    return result;
}

void LauncherTest::typeInto(const Control& field, const std::string& text) {
    ASSERT_NO_FATAL_FAILURE(focusField(field));
    screen().typeText(text);
    ASSERT_TRUE(fieldHolds(field, text));
}

void LauncherTest::clickButton(const Window& dialog, const std::string& caption) {
    const Control* button = dialog.control("Button", caption);
    ASSERT_NE(button, nullptr) << describe(dialog);
    screen().click(button->rect.centerX(), button->rect.centerY());
}

} // namespace zv::e2e

#include "launcher_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace zv::e2e {

using Clock = std::chrono::steady_clock;

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
    return found.empty() ? std::nullopt : std::optional(found.front());
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

Rect LauncherTest::root() {
    if (menus().empty()) {
        clickTrigger();
        EXPECT_TRUE(menusShown(1));
    }
    return menuLevel(0);
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
    auto moved = ::testing::AssertionSuccess();
    for (int i = 1; i <= steps && moved; ++i) {
        const int sx = dx * i / steps, sy = dy * i / steps;
        screen().move(x + sx, y + sy);
        moved = waitUntil(
            [&] {
                auto now = trigger();
                return now && now->rect.left == from.left + sx && now->rect.top == from.top + sy;
            },
            5s, "the trigger to follow the pointer");
    }
    screen().release();
    return moved;
}

::testing::AssertionResult LauncherTest::pixelIs(int x, int y, Color colour, bool equal,
                                                 std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const Color seen = screen().pixel(x, y);
        if ((seen == colour) == equal)
            return ::testing::AssertionSuccess();
        if (Clock::now() >= deadline)
            return ::testing::AssertionFailure()
                   << "pixel " << x << "," << y << (equal ? " never became " : " stayed ")
                   << colour.text() << " (it is " << seen.text() << ")";
        std::this_thread::sleep_for(2ms);
    }
}

std::optional<Window> LauncherTest::messageBox(const std::string& text,
                                               std::chrono::milliseconds timeout) {
    std::optional<Window> box;
    waitUntil(
        [&] {
            for (const auto& w : visible("#32770"))
                if (w.messageText() == text)
                    box = w;
            return box.has_value();
        },
        timeout, "a message box saying " + text);
    return box;
}

void LauncherTest::answer(const std::string& text, const std::string& button) {
    auto box = messageBox(text, 15s);
    ASSERT_TRUE(box) << describe(programWindows());
    EXPECT_EQ(box->title, "Zelvora");
    clickButton(*box, button);
    ASSERT_TRUE(waitUntil(
        [&] {
            auto shown = visible("#32770");
            return std::none_of(shown.begin(), shown.end(),
                                [&](const Window& w) { return w.hwnd == box->hwnd; });
        },
        10s, "the message to close"));
}

::testing::AssertionResult LauncherTest::fileBecomes(const std::string& bytes) {
    std::string seen;
    auto r = waitUntil([&] { return (seen = folder().read("menu.qlf")) == bytes; }, 10s,
                       "menu.qlf to be written");
    return r ? r : r << "\nit holds:\n" << seen;
}

void LauncherTest::clickButton(const Window& dialog, const std::string& caption) {
    const Control* button = dialog.control("Button", caption);
    ASSERT_NE(button, nullptr) << describe(dialog);
    screen().click(button->rect.centerX(), button->rect.centerY());
}

std::optional<Window> LauncherTest::menuWindow(std::size_t depth) {
    auto shown = menus();
    std::sort(shown.begin(), shown.end(),
              [](const Window& a, const Window& b) { return a.rect.left < b.rect.left; });
    return depth < shown.size() ? std::optional(shown[depth]) : std::nullopt;
}

Rect LauncherTest::menuLevel(std::size_t depth) {
    auto menu = menuWindow(depth);
    return menu ? menu->rect : Rect{};
}

::testing::AssertionResult LauncherTest::menuRows(std::size_t depth, int rows) {
    Rect seen;
    auto result =
        waitUntil([&] { return (seen = menuLevel(depth)).height() == rows * 20 + 2; }, 10s,
                  "the menu at level " + std::to_string(depth) + " to show " +
                      std::to_string(rows) + " rows");
    if (!result)
        result << " (it is " << seen.height() << " pixels high)";
    return result;
}

bool LauncherTest::rowLit(const Rect& menu, int row) {
    const int x = rowX(menu), top = rowTop(menu, row);
    return screen().pixel(x, top + 1) == highlightFrame &&
           screen().pixel(x, top + 2) == highlightFill;
}

::testing::AssertionResult LauncherTest::pointUntil(int x, int y,
                                                    const std::function<bool()>& shown,
                                                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    int moves = 0;
    for (;;) {
        screen().move(x + moves % 2 * 2, y);
        ++moves;
        // A move sent while the last one is still unanswered costs nothing, as it points at the
        // same place, so the next one need not wait long.
        const auto moveDeadline = std::min(deadline, Clock::now() + 150ms);
        for (;;) {
            if (shown()) {
                // Callers right-click where the pointer is and a pop-up opens there: it ends on
                // the same spot every time. Two pixels aside is the same row, so this changes
                // nothing.
                if (moves % 2 == 0)
                    screen().move(x, y);
                return ::testing::AssertionSuccess();
            }
            if (Clock::now() >= moveDeadline)
                break;
            std::this_thread::sleep_for(2ms);
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
    if (depth == 0)
        root();
    // A menu that a closing dialog has not enabled yet would not see the pointer or the click.
    ASSERT_TRUE(idle());
    std::optional<Window> menu;
    ASSERT_TRUE(waitUntil([&] { return (menu = menuWindow(depth)) && menu->enabled; }, 10s,
                          "an enabled menu at level " + std::to_string(depth)));
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
            return !states.empty() && states.front() == IdleResult::Idle;
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
    return waitUntil([&] { return windows().active == window.hwnd; }, 10s,
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
    ASSERT_TRUE(waitUntil([&] { return windows().focus == field.hwnd; }, 10s,
                          "the keyboard focus in the field"));
}

::testing::AssertionResult LauncherTest::fieldHolds(const Control& field, const std::string& text) {
    std::string seen;
    auto result = waitUntil(
        [&] {
            auto now = controlNow(field.hwnd);
            return (seen = now ? now->text : "(no such control)") == text;
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

} // namespace zv::e2e

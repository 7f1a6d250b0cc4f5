#include "launcher_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace zv::e2e {

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

Rect LauncherTest::menuLevel(std::size_t depth) {
    auto shown = menus();
    std::sort(shown.begin(), shown.end(),
              [](const Window& a, const Window& b) { return a.rect.left < b.rect.left; });
    return depth < shown.size() ? shown[depth].rect : Rect{};
}

void LauncherTest::command(std::size_t depth, int row, int downs) {
    const Rect menu = menuLevel(depth);
    ASSERT_GT(menu.width(), 0) << "no menu open at level " << depth;
    const int y = menu.top + 20 * row + 10;
    // Two moves, as a hand makes: the first move after a menu change may be swallowed.
    screen().move(menu.left + 100, y);
    screen().move(menu.left + 102, y);
    screen().click(menu.left + 102, y, MouseButton::Right);
    ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the pop-up menu"));
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
    const Rect root = menuLevel(0);
    ASSERT_GT(root.width(), 0) << "the root menu is not open";
    screen().click(root.left + 100, root.top + 10, MouseButton::Right);
    ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the short pop-up"));
    screen().key("e");
    ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, 10s, "the pop-up to close"));
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

void LauncherTest::clickButton(const Window& dialog, const std::string& caption) {
    const Control* button = dialog.control("Button", caption);
    ASSERT_NE(button, nullptr) << describe(dialog);
    screen().click(button->rect.centerX(), button->rect.centerY());
}

} // namespace zv::e2e
